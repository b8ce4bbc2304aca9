#pragma once

#include "report/reportcontext.h"

#include <QString>

namespace movilibro::journal {
class JournalRows;
}

namespace movilibro::report {

// The rows laid out by the journal core as an Excel workbook (.xlsx) with
// typed cells, for spreadsheets to open with nothing to guess:
// - sheet "Giornale": a title row (the period, and the filter when one is
//   active), the column captions (kept in view while scrolling, with an
//   autofilter), then every row as the grid lays it out. Entries have a date
//   cell shown dd/mm/yyyy, texts stored as text (never run as a formula),
//   amounts as numbers with two decimals, thousands grouped and negatives in
//   red (an empty or zero amount an empty cell). Group headers carry their
//   caption and group totals the group's sums, in bold, with outline levels
//   so that the groups fold.
// - sheet "Conti": money in, money out and balance of each account, then
//   their total.
// Writes `path`, keeping the writer's temporary files in `tempFolder`. False,
// with the reason in `failure`, when the workbook could not be written.
// Throws CurrencyOverflow when a total leaves the currency's range.
bool writeJournalXlsx(const journal::JournalRows& rows, const QString& path, const QString& tempFolder,
                      QString* failure);

// The rows of a sheet: more entries and groups than this cannot be written.
inline constexpr int SheetRowLimit = 1048576;

// The entries of the context's period (those its filter lets through),
// arranged by the journal core for the context's layout, written to `path`
// as ExportTarget writes: an existing file is replaced only by a complete
// workbook. Throws ReportError.
void exportXlsx(const ReportContext& context, const QString& path);

} // namespace movilibro::report
