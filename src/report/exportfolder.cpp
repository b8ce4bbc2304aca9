#include "report/exportfolder.h"

#include "settings/registryerror.h"
#include "settings/registrywrappers.h"
#include "settings/settingskey.h"

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
        ReadRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, LastFolderKey, QString()).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberExportFolder(const QString& writtenPath)
{
    try {
        WriteRegistryValue(HKEY_CURRENT_USER, SettingsKey, REG_SZ, LastFolderKey,
                           QFileInfo(writtenPath).absolutePath());
    } catch (const RegistryError&) {
        // Only where the next dialog opens: the export itself is done.
    }
}

} // namespace movilibro::report
