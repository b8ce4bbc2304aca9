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

const QRegularExpression CopyName(QStringLiteral(
    R"(^movilibro-(?:prima-(eliminazione|importazione|estratto|ripristino)-)?(\d{8})-(\d{6})(-\d+)?\.mdb$)"));
// What a copy or a restore killed halfway leaves: the copy under its
// temporary name, and SQLite's rollback file beside it.
const QRegularExpression CopyLeftover(QStringLiteral(R"(^movilibro-[-a-z0-9]+\.mdb\.part(-journal)?$)"));
const QRegularExpression RestoreLeftover(QStringLiteral(R"(^movilibro\.mdb\.part(-journal)?$)"));

QString kindTag(CopyKind kind)
{
    switch (kind) {
    case CopyKind::BeforePurge:
        return QStringLiteral("eliminazione");
    case CopyKind::BeforeImport:
        return QStringLiteral("importazione");
    case CopyKind::BeforeStatement:
        return QStringLiteral("estratto");
    case CopyKind::BeforeRestore:
        return QStringLiteral("ripristino");
    case CopyKind::Daily:
        break;
    }
    return {};
}

QString timeInName(const QRegularExpressionMatch& m)
{
    return m.captured(2) + m.captured(3);
}

QDateTime timeOfName(const QString& name)
{
    return QDateTime::fromString(timeInName(CopyName.match(name)), QStringLiteral("yyyyMMddHHmmss"));
}

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
            // A writer that never lets go ends the copy (after about ten
            // seconds) instead of hanging the program behind it.
            int busyTries = 200;
            do {
                rc = sqlite3_backup_step(backup, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                    sqlite3_sleep(50);
            } while (rc == SQLITE_OK || ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && --busyTries > 0));
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

BackupError restoreRefused(const QString& why)
{
    return BackupError(why + QStringLiteral("\nRipristino annullato: nulla è stato cambiato."));
}

bool integrityOk(Connection& conn)
{
    Statement check = conn.prepare(QStringLiteral("PRAGMA integrity_check"));
    return check.step() && check.text(0) == u"ok";
}

// The current journal, checked and held against writers while it is kept and
// replaced. A file with a transaction left unfinished is refused before SQLite
// could roll it back: what it holds is the user's to decide.
Connection holdForRestore(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo rollback(path + QStringLiteral("-journal"));
    if (rollback.exists() && rollback.size() > 0)
        throw restoreRefused(
            QStringLiteral("Il giornale attuale %1 ha una transazione non conclusa: aprirlo una volta con "
                           "Movilibro prima di ripristinare una copia.")
                .arg(shown));
    const BackupError damaged = restoreRefused(
        QStringLiteral("Il giornale attuale %1 non è integro e non può essere conservato come copia: "
                       "spostarlo in un'altra cartella, poi ripetere il ripristino.")
            .arg(shown));
    if (journalFileKind(path) != JournalFileKind::SQLite)
        throw damaged;
    try {
        Connection conn = Connection::open(path);
        sqlite3_busy_timeout(conn.handle(), 0);
        conn.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (!schema::hasJournalTables(conn) || !integrityOk(conn))
            throw damaged;
        return conn;
    } catch (const DbError& e) {
        if ((e.code() & 0xff) == SQLITE_BUSY || (e.code() & 0xff) == SQLITE_LOCKED)
            throw restoreRefused(
                QStringLiteral("Il giornale attuale %1 è in uso da un altro programma.").arg(shown));
        throw damaged;
    }
}

} // namespace

JournalBackup::JournalBackup(const QString& journalPath) : m_journal(journalPath) {}

QString JournalBackup::folder() const
{
    return QFileInfo(m_journal).absolutePath() + QStringLiteral("/backup");
}

QString JournalBackup::freeName(const QDateTime& when, CopyKind kind) const
{
    QString stem = QStringLiteral("movilibro-");
    if (kind != CopyKind::Daily)
        stem += QStringLiteral("prima-") + kindTag(kind) + u'-';
    stem += when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + QStringLiteral(".mdb");
    for (int n = 1; QFileInfo::exists(folder() + u'/' + name); ++n)
        name = stem + QStringLiteral("-%1.mdb").arg(n);
    return folder() + u'/' + name;
}

QString JournalBackup::make(const QDateTime& when, CopyKind kind) const
{
    if (!QDir().mkpath(folder()))
        throw BackupError(QStringLiteral("Impossibile creare la cartella delle copie di sicurezza %1.")
                              .arg(QDir::toNativeSeparators(folder())));
    const QString target = freeName(when, kind);
    placeCopy(m_journal, target,
              QStringLiteral("Impossibile creare la copia di sicurezza in %1.")
                  .arg(QDir::toNativeSeparators(folder())));
    return target;
}

QString JournalBackup::makeBefore(CopyKind kind, const QDateTime& now, int keep) const
{
    const QString made = make(now, kind);
    removeOldCopies(kind, keep, made);
    return made;
}

QStringList JournalBackup::copies() const
{
    QStringList names = QDir(folder()).entryList(QDir::Files, QDir::Name);
    names.removeIf([](const QString& n) { return !CopyName.match(n).hasMatch(); });
    // By time, then by the number that tells apart copies made in one second.
    const auto order = [](const QString& n) {
        const auto m = CopyName.match(n);
        return std::make_pair(timeInName(m), m.captured(4).mid(1).toInt());
    };
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& a, const QString& b) { return order(a) < order(b); });
    QStringList paths;
    for (const QString& n : names)
        paths << folder() + u'/' + n;
    return paths;
}

QStringList JournalBackup::copies(CopyKind kind) const
{
    QStringList paths = copies();
    paths.removeIf([&](const QString& p) {
        return CopyName.match(QFileInfo(p).fileName()).captured(1) != kindTag(kind);
    });
    return paths;
}

QDateTime JournalBackup::newestDailyTime() const
{
    const QStringList daily = copies(CopyKind::Daily);
    return daily.isEmpty() ? QDateTime() : timeOfName(QFileInfo(daily.constLast()).fileName());
}

std::optional<QString> JournalBackup::makeDaily(const QDateTime& now, int keep) const
{
    const QString today = QStringLiteral("movilibro-") + now.toString(QStringLiteral("yyyyMMdd")) + u'-';
    for (const QString& path : copies(CopyKind::Daily)) {
        if (QFileInfo(path).fileName().startsWith(today))
            return std::nullopt;
    }
    const QString made = make(now);
    removeOldCopies(CopyKind::Daily, keep, made);
    return made;
}

// Oldest by name first; with the clock behind, the copy just made has the
// oldest name and is passed over.
void JournalBackup::removeOldCopies(CopyKind kind, int keep, const QString& spared) const
{
    QStringList old = copies(kind);
    old.removeAll(spared);
    while (old.size() > keep - 1)
        QFile::remove(old.takeFirst());
}

PendingCopy::PendingCopy(const JournalBackup& backup, CopyKind kind, const QDateTime& now)
    : m_backup(backup), m_kind(kind), m_path(backup.make(now, kind))
{}

PendingCopy::~PendingCopy()
{
    if (!m_kept)
        QFile::remove(m_path);
}

void PendingCopy::keep(int keep)
{
    m_kept = true;
    m_backup.removeOldCopies(m_kind, keep, m_path);
}

void removeFilesMatching(const QString& folder, const QRegularExpression& names)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (names.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
}

void JournalBackup::removeLeftovers() const
{
    removeFilesMatching(folder(), CopyLeftover);
    removeFilesMatching(QFileInfo(m_journal).absolutePath(), RestoreLeftover);
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

QString JournalBackup::restore(const QString& copyPath, const QDateTime& now) const
{
    if (!isSoundJournal(copyPath))
        throw BackupError(
            QStringLiteral("Il file %1 non è un giornale di Movilibro integro: ripristino annullato.")
                .arg(QDir::toNativeSeparators(copyPath)));
    if (!QFileInfo::exists(m_journal)) {
        placeCopy(copyPath, m_journal, QStringLiteral("Ripristino non riuscito."), documentPermissions());
        return {};
    }
    const Connection held = holdForRestore(m_journal);
    // A failed restore leaves the journal as it was: its copy is not needed,
    // and must not push out an older one.
    PendingCopy kept(*this, CopyKind::BeforeRestore, now);
    // The journal put back keeps the access the user gave the one it replaces.
    placeCopy(copyPath, m_journal,
              QStringLiteral("Ripristino non riuscito: il giornale attuale non è stato cambiato."),
              QFile::permissions(m_journal));
    kept.keep();
    return kept.path();
}

} // namespace movilibro::db
