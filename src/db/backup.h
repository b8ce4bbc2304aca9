#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <stdexcept>

class QRegularExpression;

namespace movilibro::db {

// A backup that could not be made or a restore that was refused; the text is
// Italian, for the user.
class BackupError : public std::runtime_error
{
public:
    explicit BackupError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// What a copy was made for. Daily copies are named
// movilibro-AAAAMMGG-HHMMSS.mdb, the others for the operation they precede
// (movilibro-prima-eliminazione-AAAAMMGG-HHMMSS.mdb ...); each kind rotates
// on its own, so daily copies never push out the way back from a purge.
enum class CopyKind
{
    Daily,
    BeforePurge,
    BeforeImport,    // of an old journal
    BeforeStatement, // of a bank statement's movements
    BeforeRestore
};

// Consistent copies of the journal, made with SQLite's online backup API into
// the folder "backup" beside it.
class JournalBackup
{
public:
    static constexpr int Kept = 10;

    explicit JournalBackup(const QString& journalPath);

    QString folder() const;
    // Makes one copy of the kind and returns its path; nothing is rotated.
    // Throws BackupError.
    QString make(const QDateTime& when = QDateTime::currentDateTime(), CopyKind kind = CopyKind::Daily) const;
    // The copy kept before an operation that cannot be undone; the newest
    // `keep` of that kind are kept, the one just made always among them.
    QString makeBefore(CopyKind kind, const QDateTime& now = QDateTime::currentDateTime(),
                       int keep = Kept) const;
    // The start-up copy: at most one a day, the newest `keep` daily copies
    // kept, the one just made always among them. Returns the path of the copy
    // made, nothing when today's exists. Throws BackupError.
    std::optional<QString> makeDaily(const QDateTime& now = QDateTime::currentDateTime(),
                                     int keep = Kept) const;
    // Our copies in the folder, oldest first; other files are never listed.
    QStringList copies() const;
    QStringList copies(CopyKind kind) const;
    // The time in the name of the newest daily copy (invalid when none): a
    // clock behind it means the computer's date is wrong.
    QDateTime newestDailyTime() const;

    // Puts a copy in the journal's place after keeping the current journal as
    // a copy; returns that copy's path (empty when there was no journal).
    // Refused, with nothing kept or changed, when the copy is not a sound
    // journal or the current one is damaged, locked or has a transaction left
    // unfinished. Throws BackupError.
    QString restore(const QString& copyPath, const QDateTime& now = QDateTime::currentDateTime()) const;

    // Removes what a copy or a restore killed halfway left behind: *.part
    // files of our own names (and their -journal files). Call it only while
    // holding the journal's lock.
    void removeLeftovers() const;

    // True when the file is a journal that passes SQLite's integrity check.
    static bool isSoundJournal(const QString& path);

    // Removes the oldest copies of the kind until `keep` are left, `spared` among them.
    void removeOldCopies(CopyKind kind, int keep, const QString& spared) const;

private:
    QString freeName(const QDateTime& when, CopyKind kind) const;

    QString m_journal;
};

// A copy made before a write that may still fail, while the write lock is
// held: it stays, and older copies of its kind make room for it, only when
// the write went through. A failed write leaves no copy and pushes none out.
class PendingCopy
{
public:
    // Throws BackupError.
    PendingCopy(const JournalBackup& backup, CopyKind kind,
                const QDateTime& now = QDateTime::currentDateTime());
    ~PendingCopy();
    PendingCopy(const PendingCopy&) = delete;
    PendingCopy& operator=(const PendingCopy&) = delete;

    const QString& path() const { return m_path; }
    // The write went through.
    void keep(int keep = JournalBackup::Kept);

private:
    JournalBackup m_backup;
    CopyKind m_kind;
    QString m_path;
    bool m_kept = false;
};

// Removes the files of a folder (hidden ones too) whose names match; for
// leftovers of our own only.
void removeFilesMatching(const QString& folder, const QRegularExpression& names);

} // namespace movilibro::db
