#pragma once

#include <QString>

namespace movilibro::db {

class Connection;

// The one definition of the journal's tables.
namespace schema {
// 2: account names declared COLLATE NOCASE (1 used the program's own ITALIAN).
// 3: an index on descriptions, so that the entry editor finds each one's
//    latest entry without reading the whole journal.
// 4: the bin of deleted entries and accounts, and the change log.
// 5: reconciliations (Quadrature), the entries they ticked (Riscontri) and
//    the daily totals of each account, kept by triggers, so that the
//    balance at a date reads days rather than entries.
inline constexpr int Version = 5;
inline constexpr int ReconciliationVersion = 5;
inline constexpr char DescriptionIndexName[] = "ixMovilibroDescrizione";
inline constexpr char DailyTotalsTable[] = "SaldiGiornalieri";
inline constexpr int DescriptionSize = 255;
inline constexpr int AccountNameSize = 255;
inline constexpr int KeySize = 50;

// DDL that makes an empty journal.
QString createStatements();
// DDL of the description index.
QString descriptionIndex();
// DDL of the bin and the change log (version 4), made only where missing.
QString historyTables();
// DDL of the reconciliations and of the entries they ticked.
QString reconciliationTables();
// DDL of the daily totals table, empty, and of the triggers that keep it.
QString dailyTotals();
// The daily totals of the entries in the file (the table must be empty).
QString fillDailyTotals();
// DDL dropping the triggers, so that dailyTotals() can make them again.
QString dropDailyTotalTriggers();
// DDL of the accounts table under another name (for rebuilding it).
QString accountsTable(const QString& name);
// Writes a new, empty journal file at `path` (which must not exist).
void createEmptyJournal(const QString& path);
// True when the three tables exist on the connection.
bool hasJournalTables(Connection& conn);
// The defined size of a VARCHAR(n) column, read from the file's own schema; -1 if none.
int definedSize(Connection& conn, const QString& table, const QString& column);
} // namespace schema

} // namespace movilibro::db
