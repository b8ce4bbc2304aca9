#pragma once

#include "db/periods.h"

#include <QDate>
#include <QHash>

namespace movilibro::db {
class Connection;
}

namespace movilibro::journal {

// True when the file has the reconciliation tables (a failed upgrade leaves
// a journal without them). Throws db::DbError.
bool hasReconciliationTables(db::Connection& conn);

// The reconciled entries dated in the period, by id, with the day of their
// statement; none in a file without the tables. Throws db::DbError.
QHash<qint64, QDate> reconciledEntries(db::Connection& conn, const DateRange& period);

} // namespace movilibro::journal
