#include "ui/report/exportfilechoice.h"

#include "ui/prompt/prompt.h"

#include <QDir>
#include <QFileInfo>

namespace movilibro::report {

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
