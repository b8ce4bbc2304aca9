#pragma once

#include "statement/statement.h"

#include <QStringList>

#include <vector>

// Tables of movements, whatever file they come from: a CSV text split into
// cells, a spreadsheet's sheet. One detector names the columns of all.
namespace movilibro::statement {

// One row of a table: its cells as text, and the 1-based line it starts on.
struct TableRow
{
    int line = 0;
    QStringList cells;
};
using Table = std::vector<TableRow>;

// Reads the movements of a table. Its layout is guessed from the header's
// words and the cells under it, unless options.layout gives it; `format`
// brings what the file's format knows (a CSV file's encoding and separator).
// Throws StatementError.
Statement readTable(const Table& rows, const ColumnLayout& format, const ReadOptions& options);

// The header among the first rows: the first whose words name a complete
// layout; failing that, the first of the longest run of rows with the same
// number of cells (three at least). `score` is negative when there is none.
struct HeaderGuess
{
    size_t index = 0;
    bool complete = false;
    int score = -1;
};
HeaderGuess guessHeader(const Table& rows);

// The role a header cell names ("Data valuta", "Uscite", "Betrag", "Saldo"),
// Ignored when its words say nothing.
ColumnRole roleOfHeader(const QString& header);
// Roles for a whole header: each once (descriptions excepted), a signed
// amount only without the pair of columns in and out.
QList<ColumnRole> rolesOfHeader(const QStringList& headers);

// The words of a cell, folded (case and accents aside).
QStringList wordsOf(const QString& text);

// What a sign cell says: +1 money in, -1 money out, 0 not a sign.
int signOf(const QString& cell);
// True when a cell marks its row as not yet booked ("In attesa", "Pending").
bool isPendingMark(const QString& cell);
// The ISO code a currency cell or header word names ("EUR", "€"), or empty.
QString currencyCode(const QString& text);

} // namespace movilibro::statement
