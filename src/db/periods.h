#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace movilibro {

// "1".."6" give "Primo".."Sesto"; any other text the empty text.
QString OrdinalName(const QString& text);
// "mensile" .. "semestrale", indexed by the date-grouping kind.
const QStringList& periodNames();
// "Mese", "Bimestre", "Trimestre", "Quadrimestre", "Semestre".
const QStringList& periodNouns();

struct DateRange
{
    QDate start;
    QDate end;
    bool operator==(const DateRange&) const = default;
};

enum class PeriodOption
{
    WholeYear = 0,
    WorkingDate = 1,
    CurrentMonth = 2,
    FreeRange = 3
};

// Stored values outside their ranges (an edited file) count as the defaults.
int normalizedKind(int kind);
int normalizedStartingMonth(int month);
int normalizedLayout(int layout);

DateRange fiscalYear(const QDate& workingDate, int startingMonth);
DateRange selectedPeriod(PeriodOption option, const QDate& workingDate, const DateRange& fiscal,
                         const QDate& pickerStart, const QDate& pickerEnd);

// The SQL expression giving an entry's period key for a date-grouping kind.
QString periodExpression(int kind);
// The main window's listing query.
QString listingQuery(int kind, const DateRange& period);
// The report query; records come ordered by the report's group keys, then date.
QString reportQuery(int kind, int layout, const DateRange& period);
// Caption of a group row for a period key: "marzo 2010", "Secondo Bimestre 2010".
QString periodCaption(const QString& key, int kind, const QLocale& locale = QLocale());
// The key the database computes for a date, computed by the program.
QString periodKey(const QDate& date, int kind);

} // namespace movilibro
