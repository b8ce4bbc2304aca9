#include "statement/sheettable.h"

#include "statement/statement.h"
#include "statement/text.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

namespace movilibro::statement {

namespace {

// Numbers written as text say which decimal separator the sheet uses:
// "12.50" and "1,234.56" a point, "12,50" and "1.234,56" a comma.
QChar decimalOfTexts(const Sheet& sheet)
{
    static const QRegularExpression point(QStringLiteral(R"(^[-+]?(\d{1,3}(,\d{3})+|\d+)?\.\d+$)"));
    static const QRegularExpression comma(QStringLiteral(R"(^[-+]?(\d{1,3}(\.\d{3})+|\d+)?,\d+$)"));
    // "1.000" and "1,000" may be either.
    static const QRegularExpression either(QStringLiteral(R"(^[-+]?\d{1,3}[.,]\d{3}$)"));
    int points = 0, commas = 0;
    for (const SheetRow& r : sheet.rows) {
        for (const SheetCell& c : r.cells) {
            if (c.type != SheetCell::Type::Text)
                continue;
            const QString t = QString(c.text).remove(u'€').remove(u' ');
            if (t.isEmpty() || !(t[0].isDigit() || t[0] == u'-' || t[0] == u'+') ||
                either.match(t).hasMatch())
                continue;
            points += point.match(t).hasMatch() ? 1 : 0;
            commas += comma.match(t).hasMatch() ? 1 : 0;
        }
    }
    return points > commas ? u'.' : u',';
}

// The value a spreadsheet shows, to fifteen digits: what is stored as
// 0.30000000000000004 is shown, and meant, as 0.3.
QString numberText(double value, QChar decimal)
{
    const double shown = QByteArray::number(value, 'g', 15).toDouble();
    QString text = QLocale::c().toString(shown, 'f', QLocale::FloatingPointShortest);
    if (text == u"-0")
        text = QStringLiteral("0");
    return decimal == u'.' ? text : text.replace(u'.', decimal);
}

QString dateText(const SheetCell& cell, const Sheet& sheet, QChar decimal)
{
    const QDateTime when = sheet.dateTimeOf(cell.number);
    if (!when.isValid())
        return numberText(cell.number, decimal);
    const QTime time = when.time();
    const QString clock = time.toString(time.second() ? u"hh:mm:ss" : u"hh:mm");
    switch (cell.shape()) {
    case NumberShape::Time:
        return clock;
    case NumberShape::DateTime:
        if (time != QTime(0, 0))
            return when.date().toString(Qt::ISODate) + u' ' + clock;
        [[fallthrough]];
    default:
        return when.date().toString(Qt::ISODate);
    }
}

// Each merged block over several rows: its value on each of them.
void repeatMergedDown(const Sheet& sheet, Table& lines)
{
    QHash<int, size_t> byLine;
    for (size_t i = 0; i < lines.size(); ++i)
        byLine.insert(lines[i].line, i);
    qint64 repeated = 0;
    for (const CellRange& range : sheet.merged) {
        if (range.lastRow == range.firstRow || !byLine.contains(range.firstRow + 1))
            continue;
        const QString value = lines[byLine.value(range.firstRow + 1)].cells.value(range.firstColumn);
        if (value.isEmpty())
            continue;
        repeated += range.lastRow - range.firstRow;
        if (repeated > LargestSheet)
            throw StatementError(QStringLiteral("Il foglio «%1» ha troppe celle unite.").arg(sheet.name));
        for (int row = range.firstRow + 1; row <= range.lastRow; ++row) {
            auto it = byLine.find(row + 1);
            if (it == byLine.end()) {
                it = byLine.insert(row + 1, lines.size());
                lines.push_back(TableRow{row + 1, {}});
            }
            QStringList& cells = lines[*it].cells;
            while (cells.size() <= range.firstColumn)
                cells << QString();
            if (cells[range.firstColumn].isEmpty())
                cells[range.firstColumn] = value;
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const TableRow& a, const TableRow& b) { return a.line < b.line; });
}

} // namespace

QString cellText(const SheetCell& cell, const Sheet& sheet, QChar decimal)
{
    switch (cell.type) {
    case SheetCell::Type::Number:
        return cell.shape() == NumberShape::Plain ? numberText(cell.number, decimal)
                                                  : dateText(cell, sheet, decimal);
    case SheetCell::Type::Boolean:
        return cell.number != 0 ? QStringLiteral("VERO") : QStringLiteral("FALSO");
    default:
        return cell.text;
    }
}

Table textRowsOf(const Sheet& sheet)
{
    const QChar decimal = decimalOfTexts(sheet);
    Table lines;
    lines.reserve(sheet.rows.size());
    qint64 cells = 0;
    for (const SheetRow& r : sheet.rows) {
        if (r.cells.empty())
            continue;
        cells += r.cells.back().column + 1;
        if (cells > 2 * LargestSheet)
            throw StatementError(
                QStringLiteral("Il foglio «%1» è troppo grande per un estratto conto.").arg(sheet.name));
        TableRow line{r.row + 1, {}};
        line.cells.reserve(r.cells.back().column + 1);
        for (const SheetCell& c : r.cells) {
            while (line.cells.size() < c.column)
                line.cells << QString();
            if (line.cells.size() == c.column)
                line.cells << cellText(c, sheet, decimal);
            else
                line.cells.back() = cellText(c, sheet, decimal); // a column written twice: the last wins
        }
        lines.push_back(std::move(line));
    }
    repeatMergedDown(sheet, lines);
    return lines;
}

bool holdsMovements(const Statement& s)
{
    return !s.movements.empty() || !s.undecided.isEmpty();
}

Statement readSpreadsheet(Workbook& book, Statement::Kind kind, const ReadOptions& options)
{
    const QStringList names = book.sheetNames();
    QStringList withData;
    QList<int> indexes;
    for (int i = 0; i < names.size(); ++i) {
        if (book.hasData(i)) {
            withData << names[i];
            indexes << i;
        }
    }
    if (withData.isEmpty())
        throw StatementError(QStringLiteral("Il foglio di calcolo è vuoto: nessun foglio contiene dati."));
    const auto read = [&](qsizetype chosen) {
        Statement s = readTable(textRowsOf(book.sheet(indexes[chosen])), ColumnLayout{}, options);
        s.kind = kind;
        s.sheets = withData;
        s.sheet = withData[chosen];
        return s;
    };
    if (!options.sheet.isEmpty()) {
        const qsizetype chosen = withData.indexOf(options.sheet);
        if (chosen < 0)
            throw StatementError(
                QStringLiteral("Nel foglio di calcolo non c'è un foglio «%1» con dati, ma: %2.")
                    .arg(printable(options.sheet), withData.join(QStringLiteral(", "))));
        return read(chosen);
    }
    // A sheet of notes before the movements is passed over.
    std::optional<Statement> first;
    std::optional<StatementError> firstError;
    for (qsizetype i = 0; i < withData.size(); ++i) {
        try {
            Statement s = read(i);
            if (holdsMovements(s))
                return s;
            if (!first)
                first = std::move(s);
        } catch (const StatementError& e) {
            if (!firstError)
                firstError = e;
        }
    }
    if (first)
        return *first;
    throw *firstError;
}

} // namespace movilibro::statement
