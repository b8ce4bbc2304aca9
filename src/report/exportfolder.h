#pragma once

#include <QString>

namespace movilibro::report {

// The folder of the last export while it exists, else the user's documents.
QString exportStartFolder();
// Where the next export dialog opens: the folder of the file just written.
void rememberExportFolder(const QString& writtenPath);

} // namespace movilibro::report
