#include "db/backup.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "db/filemodes.h"
#include "db/journaldb.h"
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

namespace movilibro::db {

namespace {

const QRegularExpression CopyName(QStringLiteral(R"(^movilibro-(\d{8})-(\d{6})(-\d+)?\.mdb$)"));

// Copies a whole database page by page into a new file; the source may be open
// elsewhere, the copy is consistent all the same.
void onlineCopy(const QString& source, const QString& target)
{
    Connection from = Connection::open(source, Connection::Mode::ReadOnly);
    sqlite3* to = nullptr;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_exec(to, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        if (sqlite3_backup* backup = sqlite3_backup_init(to, "main", from.handle(), "main")) {
            do {
                rc = sqlite3_backup_step(backup, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(50);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        } else {
            rc = sqlite3_errcode(to);
        }
    }
    const QString text = to ? QString::fromUtf8(sqlite3_errmsg(to)) : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close_v2(to);
    if (rc != SQLITE_OK)
        throw DbError(rc, text);
}

// Copies under a temporary name, then renames over the target in one step:
// the target is always whole, the old file or the new one. The copy is
// private while it is written; it ends with `permissions`.
void placeCopy(const QString& source, const QString& target, const QString& failure,
               QFile::Permissions permissions = PrivatePermissions)
{
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QFile made(partial);
    if (!made.open(QIODevice::WriteOnly | QIODevice::NewOnly, PrivatePermissions))
        throw BackupError(failure);
    made.close();
    try {
        onlineCopy(source, partial);
    } catch (const DbError& e) {
        QFile::remove(partial);
        throw BackupError(failure + u'\n' + userMessage(e));
    }
    if (permissions != PrivatePermissions)
        QFile::setPermissions(partial, permissions);
    std::error_code error;
    std::filesystem::rename(partial.toStdString(), target.toStdString(), error);
    if (error) {
        QFile::remove(partial);
        throw BackupError(failure);
    }
}

} // namespace

JournalBackup::JournalBackup(const QString& journalPath) : m_journal(journalPath) {}

QString JournalBackup::folder() const
{
    return QFileInfo(m_journal).absolutePath() + QStringLiteral("/backup");
}

QString JournalBackup::freeName(const QDateTime& when) const
{
    const QString stem = QStringLiteral("movilibro-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + QStringLiteral(".mdb");
    for (int n = 1; QFileInfo::exists(folder() + u'/' + name); ++n)
        name = stem + QStringLiteral("-%1.mdb").arg(n);
    return folder() + u'/' + name;
}

void JournalBackup::copyInto(const QString& source, const QString& target) const
{
    placeCopy(source, target,
              QStringLiteral("Impossibile creare la copia di sicurezza in %1.")
                  .arg(QDir::toNativeSeparators(folder())));
}

QString JournalBackup::make(const QDateTime& when) const
{
    if (!QDir().mkpath(folder()))
        throw BackupError(QStringLiteral("Impossibile creare la cartella delle copie di sicurezza %1.")
                              .arg(QDir::toNativeSeparators(folder())));
    const QString target = freeName(when);
    copyInto(m_journal, target);
    return target;
}

QStringList JournalBackup::copies() const
{
    QStringList names = QDir(folder()).entryList(QDir::Files, QDir::Name);
    names.removeIf([](const QString& n) { return !CopyName.match(n).hasMatch(); });
    // By time, then by the number that tells apart copies made in one second.
    const auto order = [](const QString& n) {
        const auto m = CopyName.match(n);
        return std::make_pair(m.captured(1) + m.captured(2), m.captured(3).mid(1).toInt());
    };
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return order(a) < order(b); });
    QStringList paths;
    for (const QString& n : names)
        paths << folder() + u'/' + n;
    return paths;
}

std::optional<QString> JournalBackup::makeDaily(const QDateTime& now, int keep) const
{
    const QString today = QStringLiteral("movilibro-") + now.toString(QStringLiteral("yyyyMMdd")) + u'-';
    for (const QString& path : copies()) {
        if (QFileInfo(path).fileName().startsWith(today))
            return std::nullopt;
    }
    const QString made = make(now);
    removeOldCopies(keep);
    return made;
}

void JournalBackup::removeOldCopies(int keep) const
{
    QStringList all = copies();
    while (all.size() > keep)
        QFile::remove(all.takeFirst());
}

bool JournalBackup::isSoundJournal(const QString& path)
{
    if (journalFileKind(path) != JournalFileKind::SQLite)
        return false;
    try {
        Connection conn = Connection::open(path, Connection::Mode::ReadOnly);
        if (!schema::hasJournalTables(conn))
            return false;
        Statement check = conn.prepare(QStringLiteral("PRAGMA integrity_check"));
        return check.step() && check.text(0) == u"ok";
    } catch (const DbError&) {
        return false;
    }
}

void JournalBackup::restore(const QString& copyPath, const QDateTime& now) const
{
    if (!isSoundJournal(copyPath))
        throw BackupError(
            QStringLiteral("Il file %1 non è un giornale di Movilibro integro: ripristino annullato.")
                .arg(QDir::toNativeSeparators(copyPath)));
    if (QFileInfo::exists(m_journal)) {
        if (isSoundJournal(m_journal)) {
            make(now);
        } else {
            // A journal the program cannot open is kept byte for byte.
            QDir().mkpath(folder());
            const QString kept = freeName(now);
            if (!QFile::copy(m_journal, kept) || !QFile::setPermissions(kept, PrivatePermissions))
                throw BackupError(QStringLiteral("Impossibile conservare una copia del giornale attuale."));
        }
    }
    if (QFileInfo::exists(m_journal + QStringLiteral("-journal")))
        throw BackupError(
            QStringLiteral("Il giornale attuale ha una transazione in sospeso: aprirlo una volta con "
                           "Movilibro prima di ripristinare una copia."));
    // The journal put back keeps the access the user gave the one it replaces.
    const QFile::Permissions permissions =
        QFileInfo::exists(m_journal) ? QFile::permissions(m_journal) : documentPermissions();
    placeCopy(copyPath, m_journal,
              QStringLiteral("Ripristino non riuscito: il giornale attuale non è stato cambiato."),
              permissions);
}

} // namespace movilibro::db
