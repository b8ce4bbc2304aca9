#pragma once

#include "report/reportcontext.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace movilibro::journal {
class JournalRows;
}

namespace movilibro::report {

// Text in the form spreadsheets open directly, whatever separators their
// import offers (comma, semicolon, tab): UTF-8 with a byte-order mark, ';'
// between fields, CRLF line ends. A field that may hold a separator (text, an
// amount with its decimal comma) goes between double quotes, a quote inside
// it doubled.
class CsvWriter
{
public:
    CsvWriter();
    // Written as is: captions, dates, an empty field.
    void addField(const QByteArray& utf8);
    void addQuoted(const QByteArray& utf8);
    void endLine();
    const QByteArray& bytes() const { return m_bytes; }
    // Writes what was added so far and forgets it; false when the write failed.
    bool flushTo(QIODevice& device);

private:
    void separate();
    QByteArray m_bytes;
    bool m_lineStart = true;
};

// A spreadsheet runs a cell beginning with =, +, -, @, a tab or a carriage
// return as a formula: such text from elsewhere (bank statements) gets a
// leading apostrophe, so that it stays text.
QString inertText(const QString& text);

// One line per entry laid out by the journal core, in its order, with its
// balances: Data;Conto;Descrizione;Entrate;Uscite;Saldo progressivo, and
// Riscontrato (the day of the statement) when some entry was reconciled. The
// account, the description and the amounts are quoted. Amounts have a decimal
// comma and no grouping; an empty or zero amount is an empty field, as the
// grid shows it; a negative balance keeps its sign. An
// account or description a spreadsheet would run as a formula (beginning with
// =, +, -, @, a tab or a carriage return) gets a leading apostrophe.
// Written in pieces as the lines are made; false when a write failed.
bool writeJournalCsv(const journal::JournalRows& rows, QIODevice& device);

// The entries of the context's period (those its filter lets through),
// arranged by the journal core for the context's layout, written to
// `path` as ExportTarget writes. Throws ReportError.
void exportCsv(const ReportContext& context, const QString& path);

} // namespace movilibro::report
