#pragma once

#include "statement/sheet.h"
#include "statement/table.h"

namespace movilibro::statement {

// The rows of a sheet as text cells, for the detector that reads CSV tables
// (a row's line is its number as the spreadsheet shows it):
// dates as "2024-03-01" (a time of day after them when they have one),
// numbers as plain decimals with the decimal separator the sheet's texts
// use, a cell merged down the rows repeated on each (several movements of one
// day under one date). Throws StatementError for a sheet too wide to hold.
Table textRowsOf(const Sheet& sheet);

// The movements of the sheet `options.sheet` names, else of the first sheet
// that holds movements (a sheet of notes before them passed over), read as a
// CSV table is. Statement::sheets lists every sheet with data. Throws
// StatementError.
Statement readSpreadsheet(Workbook& book, Statement::Kind kind, const ReadOptions& options);
// True when a table read as movements, or as a table of movements whose
// columns the user still has to confirm.
bool holdsMovements(const Statement& s);

// One cell as text; `decimal` separates a number's decimals.
QString cellText(const SheetCell& cell, const Sheet& sheet, QChar decimal = u',');

} // namespace movilibro::statement
