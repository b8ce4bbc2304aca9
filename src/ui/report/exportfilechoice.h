#pragma once

#include "report/exportfolder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace movilibro::report {

struct ChosenFile
{
    QString path;   // the file that will really be written
    QString filter; // the filter chosen in the dialog
};

// Asks until the user names a new file or agrees to replace the one that
// will really be written (`pathFor` makes it from the name and filter
// chosen, e.g. by adding a suffix); nothing when cancelled.
std::optional<ChosenFile>
askExportFile(QWidget* parent, const QStringList& filters, QString proposed,
              const std::function<QString(const QString&, const QString&)>& pathFor);

} // namespace movilibro::report
