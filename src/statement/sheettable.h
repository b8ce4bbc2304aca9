#pragma once

#include "statement/sheet.h"

#include <QStringList>

#include <vector>

namespace movilibro::statement {

// A row of a sheet as text, the way a CSV line gives it: `line` is the row's
// number as the spreadsheet shows it.
struct SheetLine
{
    int line = 0;
    QStringList cells;
};

// The rows of a sheet as text cells, for the detector that reads CSV tables:
// dates as "2024-03-01" (a time of day after them when they have one),
// numbers as plain decimals with the decimal separator the sheet's texts
// use, a cell merged down the rows repeated on each (several movements of one
// day under one date). Throws StatementError for a sheet too wide to hold.
std::vector<SheetLine> textRowsOf(const Sheet& sheet);

// One cell as text; `decimal` separates a number's decimals.
QString cellText(const SheetCell& cell, const Sheet& sheet, QChar decimal = u',');

} // namespace movilibro::statement
