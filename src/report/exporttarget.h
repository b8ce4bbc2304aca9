#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace movilibro::report {

// Where an export writes. A regular file (or a new one) is written through a
// temporary file in the same folder that replaces it only once complete; a
// pipe or a device is written directly, since replacing it would destroy it
// (a failed write is still a failure, never a silent success).
class ExportTarget
{
public:
    explicit ExportTarget(const QString& path);

    bool open();
    QIODevice& device();
    // False when any write failed; the target is then left as it was when
    // written through a temporary file.
    bool commit();
    void cancel();
    QString errorString() const;

private:
    bool m_direct;
    QSaveFile m_replace;
    QFile m_stream;
    QString m_failure;
};

} // namespace movilibro::report
