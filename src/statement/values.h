#pragma once

#include "format/currency.h"
#include "statement/statement.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// Reading the values of a statement's cells: amounts and dates.
namespace movilibro::statement {

// An amount read from a cell, or why it could not be.
struct AmountValue
{
    std::optional<Currency> amount; // empty: see refusal (or the cell was blank)
    QString refusal;                // empty with no amount: the cell was blank
};

// "1.234,56", "-1.234,5", "1.000" (one thousand), "1.234,56-", "(12,50)",
// "€ 12,50", with `decimal` ','; "1234.56" with '.'. Exact to four decimals:
// more decimals, or a value beyond the currency's range, are refused.
AmountValue readAmount(QStringView text, QChar decimal);
// An XML decimal as CAMT writes amounts: "1500.00", no grouping, no sign.
AmountValue readXmlAmount(QStringView text);
// Why a movement of this amount cannot go into the journal; empty when it can.
QString amountOutOfRange(Currency amount);

// True when the text reads as an amount with either decimal separator.
bool looksLikeAmount(QStringView text);
// True when a '.' in the text can only be a decimal point ("12.50", "-3.5").
bool hasDecimalPoint(QStringView text);

// dd/mm/yyyy (or mm/dd/yyyy by `order`), dd-mm-yyyy, dd.mm.yyyy, yyyy-mm-dd,
// "24 lug 2024", "24 luglio 2024"; a two-digit year takes the century that
// puts the date nearest to `today`. A time of day may follow and is dropped;
// anything else after the date makes it invalid.
QDate readDate(QStringView text, DateOrder order = DateOrder::DayMonth, QDate today = {});
// Which order the numbers of a date written day and month first allow:
// {day-month possible, month-day possible}; both false for other forms.
std::pair<bool, bool> dateOrdersOf(QStringView text);
// An xs:date or xs:dateTime as CAMT writes them; the date as written.
QDate readXmlDate(QStringView text);

} // namespace movilibro::statement
