#pragma once

#include "format/currency.h"

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>
#include <vector>

namespace movilibro::db {
class Connection;
}

// Bank statements brought into the journal: a CSV export (layout guessed
// from the file, confirmed by the user) or an ISO 20022 CAMT.053 file.
namespace movilibro::statement {

enum class ColumnRole
{
    Ignored,
    Date,
    ValueDate,
    Description,
    SignedAmount,
    Credit,
    Debit,
    Reference
};

enum class DateChoice
{
    Booking,
    Value
};

// How a CSV file is laid out: what the reader guessed, or the user confirmed.
struct CsvLayout
{
    QByteArray encoding;     // "UTF-8" or "Windows-1252"
    QChar separator;         // ';' ',' '\t'
    int headerRow = -1;      // 0-based line of the header in the file
    QStringList headers;     // header cells, as read
    QList<ColumnRole> roles; // one per header cell
    DateChoice dateChoice = DateChoice::Booking;
    // How amounts write their decimals: ',' as Italian banks do ("1.234,56",
    // "1.000" is one thousand), or '.' for files that write "1234.56".
    QChar decimalSeparator = u',';

    // A date, a description and an amount (signed, or credit and/or debit).
    bool isComplete() const;
    // The same for every file with the same header cells (case, accents and
    // blanks aside): the name a confirmed layout is remembered by.
    QString headerKey() const;
};

struct Movement
{
    int line = 0;           // 1-based line (CSV) or entry number (CAMT) in the file
    QDate date;             // booking or value date, as chosen
    QString description;    // cut to the journal's 255 characters, with a mark when longer
    Currency amount;        // > 0 comes in (Entrate), < 0 goes out (Uscite)
    QString reference;      // the bank's own reference of the movement, may be empty
    QString refusal;        // non-empty: refused, with the reason in Italian; never imported
    bool duplicate = false; // already in the journal ("già presente")

    bool isRefused() const { return !refusal.isEmpty(); }
};

// A statement file as read.
struct Statement
{
    enum class Kind
    {
        Csv,
        Camt053
    };
    Kind kind = Kind::Csv;
    CsvLayout layout;               // Csv only
    QList<QStringList> previewRows; // the first rows after the header, as cells (Csv only)
    bool hasValueDate = false;
    std::vector<Movement> movements; // refused ones included, in file order
    // What is no movement and stays out without being listed: CSV lines
    // with one cell filled, the header repeated, balances and totals without
    // a date (blank lines are not counted); CAMT entries not yet booked.
    int leftOut = 0;
};

// A file that cannot be read as a statement; the text is Italian, for the user.
class StatementError : public std::runtime_error
{
public:
    explicit StatementError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// How many rows after the header Statement::previewRows holds.
inline constexpr int PreviewRows = 20;

// Reads a file: CSV or CAMT.053, told apart by content. A CSV file's layout is
// guessed unless `layout` is given (its header is then looked for by its
// cells, so a longer or shorter preamble does not matter, and its dateChoice
// wins over `choice`). When no complete layout can be guessed, the statement
// comes back with the layout found so far, the preview and no movements, for
// the user to complete. Throws StatementError when the file cannot be read
// (a CSV file without the header row above its movements included).
Statement readStatement(const QString& path, std::optional<CsvLayout> layout = {},
                        DateChoice choice = DateChoice::Booking);

// Marks the movements already in the journal for the account: same amount
// and direction, dates at most 3 days apart, the same description ignoring
// case, accents and blanks; or the same bank reference as an entry imported
// before and still there. Each journal entry accounts for one movement at
// most. Refused movements are left alone. Throws db::DbError.
void markDuplicates(db::Connection& conn, qint64 accountId, std::vector<Movement>& movements);

struct ImportResult
{
    int imported = 0;
    int skipped = 0;
    QString backupPath; // the copy made before writing
};

// Writes the movements given (the caller passes the ticked ones; refused ones
// are never written and count as skipped) as entries of the account, in one
// transaction, after a copy of the journal in its backup folder; with nothing
// to write, no copy is made. On any failure nothing is written and
// db::DbError, db::BackupError or (the account is gone) StatementError is thrown.
ImportResult importMovements(db::Connection& conn, const QString& journalPath, qint64 accountId,
                             const std::vector<Movement>& ticked, int skippedCount);

// Layouts the user confirmed, kept in the settings store below `settingsKey`
// (the program's key) by CsvLayout::headerKey(). What is kept is the roles,
// the date choice and the decimal separator, without the header itself.
std::optional<CsvLayout> rememberedLayout(const QString& settingsKey, const QString& headerKey);
// The layout guessed for a file with the roles and date choice confirmed for
// the same header before, if any; its encoding and separator stay as found.
std::optional<CsvLayout> rememberedLayout(const QString& settingsKey, const CsvLayout& guessed);
// Throws RegistryError.
void rememberLayout(const QString& settingsKey, const CsvLayout& layout);

} // namespace movilibro::statement
