#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

struct sqlite3;

namespace movilibro::db {

// Registers Format(value, pattern), Month(date), jet_intdiv(a, b) (Jet's
// integer division) and the account-name collation (textcollation.h).
void registerEngineFunctions(sqlite3* db);

// Dates are stored as "YYYY-MM-DD"; anything else gives an invalid date.
QDate parseIsoDate(QByteArrayView text);
QString isoDate(const QDate& date);

} // namespace movilibro::db
