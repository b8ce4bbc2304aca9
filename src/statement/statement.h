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

// Bank statements brought into the journal: a table of movements (a CSV
// export, layout guessed from the file and confirmed by the user) or an
// ISO 20022 CAMT.053 file.
namespace movilibro::statement {

// Kept by number in the remembered layouts: new roles go at the end.
enum class ColumnRole
{
    Ignored,
    Date,
    ValueDate,
    Description,
    SignedAmount,
    Credit,
    Debit,
    Reference,
    Balance,  // the running balance: never an amount
    Sign,     // "D"/"A", "S"/"H", "+"/"-" beside an unsigned amount
    Currency, // "EUR", "CHF"
};

enum class DateChoice
{
    Booking,
    Value
};

// How "01/03/2024" reads: 1 March, or 3 January.
enum class DateOrder
{
    DayMonth,
    MonthDay
};

// What a positive amount means in a column without sign column beside it.
enum class AmountSign
{
    Undecided,  // no amount is negative: the file cannot tell, the user must
    PositiveIn, // as written: negative goes out
    PositiveOut // as card statements write purchases: a negative is a refund
};

// How a table of movements is laid out: what the reader guessed, or the user
// confirmed.
struct ColumnLayout
{
    QByteArray encoding;     // CSV only: "UTF-8" or "Windows-1252"
    QChar separator;         // CSV only: ';' ',' '\t' '|'
    int headerRow = -1;      // 0-based line of the header in the file
    QStringList headers;     // header cells, as read
    QList<ColumnRole> roles; // one per header cell
    DateChoice dateChoice = DateChoice::Booking;
    // How amounts write their decimals: ',' as Italian banks do ("1.234,56",
    // "1.000" is one thousand), or '.' for files that write "1234.56".
    QChar decimalSeparator = u',';
    DateOrder dateOrder = DateOrder::DayMonth;
    AmountSign amountSign = AmountSign::PositiveIn;

    // Only a signed amount column tells the direction of a movement.
    bool signFromAmountAlone() const;
    // A date, a description and an amount (signed, or credit and/or debit),
    // and the sign of the amounts decided.
    bool isComplete() const;
    // The same for every file with the same header cells (case, accents and
    // blanks aside): the name a confirmed layout is remembered by.
    QString headerKey() const;
};

// An entry of the journal, as the duplicate check shows it.
struct JournalEntry
{
    qint64 id = 0;
    QDate date;
    QString description;
};

struct Movement
{
    int line = 0;           // 1-based line (table) or entry number (CAMT) in the file
    int account = 0;        // index in Statement::accounts
    QDate date;             // booking or value date, as chosen
    QString description;    // cut to the journal's 255 characters, with a mark when longer
    Currency amount;        // > 0 comes in (Entrate), < 0 goes out (Uscite)
    QString reference;      // the bank's own reference of the movement, may be empty
    QString refusal;        // non-empty: refused, with the reason in Italian; never imported
    bool duplicate = false; // already in the journal ("già presente")
    // Same account, direction, amount and nearly the same date as an entry
    // with another description (typed by hand?): the user decides.
    std::optional<JournalEntry> possibleRepeat;

    bool isRefused() const { return !refusal.isEmpty(); }
    // Proposed for import: neither refused, nor known, nor perhaps known.
    bool isFresh() const { return !isRefused() && !duplicate && !possibleRepeat; }
};

struct Balance
{
    Currency amount;
    QDate date;
};

// What a statement says of the account it is about.
struct StatementAccount
{
    QString id;       // IBAN, or the bank's own number; may be empty
    QString currency; // ISO 4217 code; empty when the file does not say (euro)
    std::optional<Balance> opening, closing;
    int pending = 0; // movements not yet booked, left out
};

// A statement file as read.
struct Statement
{
    enum class Kind
    {
        Csv,
        Xlsx,
        Xls,
        Ofx,
        Camt052,
        Camt053,
        Camt054
    };
    Kind kind = Kind::Csv;
    ColumnLayout layout;            // tables only
    QList<QStringList> previewRows; // the first rows after the header, as cells (tables only)
    bool hasValueDate = false;
    std::vector<Movement> movements; // refused ones included, in file order
    // A workbook's sheets that hold data, and the one read.
    QStringList sheets;
    QString sheet;
    // At least one; several only when a CAMT or OFX file reports on several accounts.
    std::vector<StatementAccount> accounts{1};
    // What is no movement and stays out without being listed: table lines
    // with one cell filled, the header repeated, balances and totals without
    // a date (blank lines are not counted).
    int leftOut = 0;
    // Why the movements could not be read without the user's word (the
    // amount column or the sign of the amounts); in Italian.
    QString undecided;

    // A table of cells whose columns are found by the detector: CSV, XLSX, XLS.
    bool isTable() const { return kind == Kind::Csv || kind == Kind::Xlsx || kind == Kind::Xls; }
    // The currency of the movements when it is not the euro, else empty.
    QString foreignCurrency() const;
    // Movements not yet booked, left out of `movements`.
    int pending() const;
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
// The largest amount of one movement: beyond it an export of the period fails.
inline constexpr Currency LargestAmount = Currency::fromRaw(99999999999 * 100);

struct ReadOptions
{
    // The layout confirmed before; the header is looked for by its cells, so a
    // longer or shorter preamble does not matter, and its dateChoice wins.
    std::optional<ColumnLayout> layout;
    DateChoice dateChoice = DateChoice::Booking;
    // Two-digit years take the century nearest to it; invalid: the system's date.
    QDate today;
    // The sheet of a workbook to read; empty: the first that holds data.
    QString sheet;
};

// Reads a file: a table (CSV, a sheet of an XLSX or XLS workbook), OFX, or
// ISO 20022 camt.052, camt.053, camt.054, told apart by content; a file of
// another kind (PDF, QIF, MT940…) is refused naming it. A table's layout is
// guessed unless given. When the file leaves the layout open
// (Statement::undecided), the statement comes back with the layout found so
// far, the preview and no movements, for the user to complete. Throws
// StatementError when the file cannot be read.
Statement readStatement(const QString& path, const ReadOptions& options = {});

// Keeps the movements of one of the statement's accounts, which becomes its
// only one.
void keepAccount(Statement& statement, int account);

// How far apart the bank's date and the journal's may be for one movement.
inline constexpr int DaysApart = 3;

// Marks the movements already in the journal for the account: same amount
// and direction, dates at most DaysApart days apart, and the same description
// (case, accents and blanks aside) or the same bank reference as an entry
// imported before. What is left with the amount and date of an entry is a
// possible repeat. Each journal entry accounts for one movement at most.
// Refused movements are left alone. Throws db::DbError.
void markDuplicates(db::Connection& conn, qint64 accountId, std::vector<Movement>& movements);

struct ImportResult
{
    int imported = 0;
    int skipped = 0;
    QString backupPath;       // the copy made before writing
    std::vector<QDate> dates; // of the movements written
};

// Writes the movements given (the caller passes the ticked ones; refused ones
// are never written and count as skipped) as entries of the account, in one
// transaction. The copy of the journal is made once the write lock is held,
// and kept (rotating older copies of imports) only when the write succeeds.
// With nothing to write, nothing is done. On any failure nothing is written,
// no copy stays, and db::DbError, db::BackupError or (the account is gone)
// StatementError is thrown.
ImportResult importMovements(db::Connection& conn, const QString& journalPath, qint64 accountId,
                             const std::vector<Movement>& ticked, int skippedCount);

// Layouts the user confirmed, kept in the settings store below `settingsKey`
// (the program's key) by ColumnLayout::headerKey(). What is kept is the
// roles, the date choice and order, the decimal separator and the sign.
std::optional<ColumnLayout> rememberedLayout(const QString& settingsKey, const QString& headerKey);
// The layout guessed for a file with the choices confirmed for the same
// header before, if any; its encoding and separator stay as found.
std::optional<ColumnLayout> rememberedLayout(const QString& settingsKey, const ColumnLayout& guessed);
// Throws RegistryError.
void rememberLayout(const QString& settingsKey, const ColumnLayout& layout);

} // namespace movilibro::statement
