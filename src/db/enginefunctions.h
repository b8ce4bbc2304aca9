#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

struct sqlite3;

namespace movilibro::db {

// The name of the collation account names sort and compare by.
inline constexpr const char* ItalianCollation = "ITALIAN";

// Registers Format(value, pattern), Month(date) and the Italian collation.
void registerEngineFunctions(sqlite3* db);

// Dates are stored as "YYYY-MM-DD"; anything else gives an invalid date.
QDate parseIsoDate(QByteArrayView text);
QString isoDate(const QDate& date);

} // namespace movilibro::db
