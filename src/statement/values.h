#pragma once

#include "format/currency.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Reading the values of a statement's cells: dates, amounts, descriptions.
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

// True when the text reads as an amount with either decimal separator.
bool looksLikeAmount(QStringView text);
// True when a '.' in the text can only be a decimal point ("12.50", "-3.5").
bool hasDecimalPoint(QStringView text);

// dd/mm/yyyy, dd-mm-yyyy, dd.mm.yyyy (two-digit years are 20yy), yyyy-mm-dd,
// optionally followed by a time of day, which is dropped. Invalid otherwise.
QDate readDate(QStringView text);

// Blanks trimmed and runs of blanks made one.
QString collapsedBlanks(QStringView text);
// Cut to the journal's description size, with "…" as the last character
// when something was cut.
QString fittedDescription(const QString& text);
// What two descriptions are compared by: case, accents and blanks aside.
QString comparableDescription(QStringView text);
// The same for the cells of a header, blank cells at its end dropped.
QStringList comparableHeader(QStringList cells);

// The bytes as text: valid UTF-8 (a byte order mark dropped) as such,
// anything else as Windows-1252. `encoding` gets the name used.
QString decodeText(const QByteArray& bytes, QByteArray* encoding = nullptr);
// Decoding with a known encoding ("UTF-8" or "Windows-1252").
QString decodeAs(const QByteArray& bytes, const QByteArray& encoding);

} // namespace movilibro::statement
