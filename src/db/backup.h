#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <stdexcept>

namespace movilibro::db {

// A backup that could not be made or a restore that was refused; the text is
// Italian, for the user.
class BackupError : public std::runtime_error
{
public:
    explicit BackupError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Consistent copies of the journal, made with SQLite's online backup API into
// the folder "backup" beside it, named movilibro-AAAAMMGG-HHMMSS.mdb.
class JournalBackup
{
public:
    explicit JournalBackup(const QString& journalPath);

    QString folder() const;
    // Makes one copy and returns its path. Throws BackupError.
    QString make(const QDateTime& when = QDateTime::currentDateTime()) const;
    // The start-up copy: at most one a day, the newest `keep` kept. Returns
    // the path of the copy made, nothing when today's exists. Throws BackupError.
    std::optional<QString> makeDaily(const QDateTime& now = QDateTime::currentDateTime(),
                                     int keep = 10) const;
    // Our copies in the folder, oldest first; other files are never listed.
    QStringList copies() const;

    // Puts a copy in the journal's place after keeping the current journal as
    // a copy. A copy that is not a sound journal is refused and nothing
    // changes. Throws BackupError.
    void restore(const QString& copyPath, const QDateTime& now = QDateTime::currentDateTime()) const;

    // True when the file is a journal that passes SQLite's integrity check.
    static bool isSoundJournal(const QString& path);

private:
    void copyInto(const QString& source, const QString& target) const;
    QString freeName(const QDateTime& when) const;
    void removeOldCopies(int keep) const;

    QString m_journal;
};

} // namespace movilibro::db
