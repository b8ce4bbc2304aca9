#include "report/exportfilechoice.h"

#include "app/mainmod.h"
#include "app/prompt.h"
#include "settings/registryerror.h"
#include "settings/registrywrappers.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace movilibro::report {

namespace {
const QString LastFolderKey = QStringLiteral("appset_exportfolder");
}

QString exportStartFolder()
{
    const QString last =
        ReadRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, LastFolderKey, QString())
            .toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberExportFolder(const QString& writtenPath)
{
    try {
        WriteRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, LastFolderKey,
                           QFileInfo(writtenPath).absolutePath());
    } catch (const RegistryError&) {
        // Only where the next dialog opens: the export itself is done.
    }
}

std::optional<ChosenFile> askExportFile(QWidget* parent, const QStringList& filters, QString proposed,
                                        const std::function<QString(const QString&, const QString&)>& pathFor)
{
    for (;;) {
        QString filter;
        const QString chosen = Prompt::instance().saveFile(parent, filters, proposed, &filter);
        if (chosen.isEmpty())
            return std::nullopt;
        const QString path = pathFor(chosen, filter);
        if (!QFileInfo(path).isFile()) // new, or a pipe or device written into
            return ChosenFile{path, filter};
        const QString question =
            QStringLiteral("Il file %1 esiste già.\r\nSostituirlo?").arg(QDir::toNativeSeparators(path));
        if (Prompt::instance().message(parent, question, MsgStyle::YesNo) == Answer::Yes)
            return ChosenFile{path, filter};
        proposed = path;
    }
}

} // namespace movilibro::report
