#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace movilibro {

// One program per journal: a lock file beside it that records host and
// process, and is recognised as stale after a crash.
class JournalLock
{
public:
    explicit JournalLock(const QString& journalPath);
    ~JournalLock();

    // True when this program now holds the journal.
    bool acquire();
    // After a failed acquire(): another program holds it (not a folder
    // where no lock file can be made).
    bool heldElsewhere() const;
    // Why acquire() failed, in Italian: who holds the journal.
    QString refusal() const;
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace movilibro
