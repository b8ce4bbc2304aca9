#pragma once

#include "journal/journalcolumns.h"
#include "report/reportcontext.h"

#include <QString>

#include <span>

namespace movilibro::journal {
class JournalRows;
}

namespace movilibro::report {

// What an exported column holds, so that each file format writes it in its
// own way.
enum class ExportCell
{
    Date,
    Text,
    Amount,    // empty when the entry has none or zero, as the grid shows it; summed on group totals
    Balance,   // always a value
    Reconciled // the day of the statement the entry was reconciled with, if it was
};

struct ExportColumn
{
    const char* caption;
    int journalColumn; // JournalColumn
    ExportCell cell;
    double width; // in a spreadsheet, in characters
};

// The columns of the CSV and XLSX exports of the rows, in their order: the
// reconciliation mark only when some entry of the period has one, so that
// journals never reconciled keep the columns they always had.
std::span<const ExportColumn> exportColumns(const journal::JournalRows& rows);

// Reads the entries of the context's period and lays them out for its layout
// and filter. Throws ReportError with the reason.
void loadForExport(journal::JournalRows& rows, const ReportContext& context);

// "Movilibro dal 01/01/2010 al 31/12/2010", then " · Filtro: ..." when the
// rows are filtered.
QString exportTitle(const journal::JournalRows& rows);

} // namespace movilibro::report
