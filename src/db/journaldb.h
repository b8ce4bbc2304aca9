#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace movilibro::db {

class Connection;

enum class JournalFileKind
{
    Missing,
    Empty,
    Unreadable,
    SQLite,
    Jet,
    Other
};
// Looks at the first bytes only.
JournalFileKind journalFileKind(const QString& path);

// True when the journal named by the connection string cannot be used: no
// file, empty file, not SQLite, no journal tables, unreadable. Opens the file
// read-only and never creates or changes it, except that an interrupted
// transaction left by a crash is rolled back, as SQLite always does.
bool ConnectionFails(const QString& connString);

// True when another program holds the journal at `path` locked, so that it
// cannot even be read (as opposed to missing or damaged).
bool JournalBusy(const QString& path);

// Copies programFolder/master.gen to dbFolder/movilibro.mdb; never replaces a file.
bool CreateDatabaseFromTemplate(const QString& programFolder, const QString& dbFolder);

// "#mm/dd/yyyy#", whatever the locale.
QString SqlDateLiteral(const QDate& date);

struct AccountName
{
    qint64 id = 0;
    QString name;
};
// The journal's accounts ordered by name, as every list of them shows them.
// Throws DbError.
std::vector<AccountName> ReadAccountNames(const QString& connString);

// Valore of the row whose Chiave is `key`, or `defaultValue` when there is none
// (also when the stored value is not a whole number).
int ReadParameter(const QString& connString, const QString& key, int defaultValue);
// Insert-or-update of exactly one row (the first when several carry the key).
void WriteParameter(Connection& conn, const QString& key, int value);

} // namespace movilibro::db
