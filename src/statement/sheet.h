#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Spreadsheets as their files store them: typed cells on numbered rows, one
// sheet at a time. Bank statements in XLSX and XLS read through this.
namespace movilibro::statement {

// How a number is shown, as its format code says.
enum class NumberShape
{
    Plain,
    Date,     // "dd/mm/yyyy", "d-mmm-yy"
    DateTime, // "dd/mm/yyyy hh:mm"
    Time      // "hh:mm": a time of day with no date
};

// The shape of a format code ("General", "#,##0.00", "dd/mm/yyyy",
// "[$-410]d mmmm yyyy"): quoted text, escaped characters, colours and
// locales say nothing about it.
NumberShape shapeOfFormat(QStringView code);

struct SheetCell
{
    enum class Type
    {
        Number, // dates and times too: a serial number with a date format
        Text,
        Boolean, // number is 1 or 0
        Error    // text holds the code, "#N/A"
    };
    int column = 0; // 0-based
    Type type = Type::Text;
    double number = 0;
    QString text;
    QString numberFormat; // of a Number: "General", "0.00", "dd/mm/yyyy"

    NumberShape shape() const;
};

// A block of merged cells, 0-based and inclusive; the value is in its
// top-left cell.
struct CellRange
{
    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
};

struct SheetRow
{
    int row = 0;                  // 0-based: row 1 of the sheet is 0
    std::vector<SheetCell> cells; // by column; empty cells left out
};

struct Sheet
{
    QString name;
    bool date1904 = false;      // serial 0 is 1 January 1904 rather than 31 December 1899
    std::vector<SheetRow> rows; // rows with a value, top to bottom
    std::vector<CellRange> merged;

    // The day and time a serial number stands for; invalid when none (a
    // negative serial, 29 February 1900).
    QDateTime dateTimeOf(double serial) const;
};

// The sheets of a workbook, read one at a time.
class Workbook
{
public:
    virtual ~Workbook() = default;
    virtual QStringList sheetNames() const = 0;
    // True when at least one cell of the sheet holds a value.
    virtual bool hasData(int sheet) = 0;
    // Throws StatementError.
    virtual Sheet sheet(int index) = 0;
};

// More cells than any statement has: a file beyond is refused before it
// fills the memory.
inline constexpr qint64 LargestSheet = 2'000'000;

} // namespace movilibro::statement
