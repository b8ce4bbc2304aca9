#include "report/xlsxexport.h"

#include "journal/accounttotals.h"
#include "journal/journalrows.h"
#include "report/exporttarget.h"
#include "report/journalexport.h"
#include "report/reporterror.h"
#include "report/xlsxbook.h"

#include <QDir>
#include <QTemporaryDir>

#include "report/xlsxwriterlib.h"

#include <optional>
#include <span>

namespace movilibro::report {

namespace {

// Loaded before any book is made (writeJournalXlsx).
const XlsxWriterLib& lxw()
{
    return *xlsxWriterLib(nullptr);
}

} // namespace

namespace {

constexpr int TitleRow = 0, CaptionRow = 1, FirstRow = 2;
const QLocale Italian(QLocale::Italian, QLocale::Italy);
constexpr const char* AmountFormat = "#,##0.00;[Red]-#,##0.00";

lxw_format* makeFormat(XlsxBook& book, bool bold, const char* numberFormat = nullptr, bool right = false)
{
    lxw_format* format = book.addFormat();
    if (!format)
        return nullptr;
    if (bold)
        lxw().format_set_bold(format);
    if (numberFormat)
        lxw().format_set_num_format(format, numberFormat);
    if (right)
        lxw().format_set_align(format, LXW_ALIGN_RIGHT);
    return format;
}

struct Formats
{
    explicit Formats(XlsxBook& book)
        : title(makeFormat(book, true)), caption(makeFormat(book, true)),
          numberCaption(makeFormat(book, true, nullptr, true)), date(makeFormat(book, false, "dd/mm/yyyy")),
          amount(makeFormat(book, false, AmountFormat)), group(makeFormat(book, true)),
          groupAmount(makeFormat(book, true, AmountFormat))
    {
        if (title)
            lxw().format_set_font_size(title, 12);
    }
    lxw_format *title, *caption, *numberCaption, *date, *amount, *group, *groupAmount;
};

double toNumber(Currency amount)
{
    return double(amount.raw()) / double(Currency::Scale);
}

// The day as the workbook counts it from 1 January 1900 (1), which takes
// 1900 for a leap year; nothing for a day it cannot show.
std::optional<double> sheetDay(const QDate& date)
{
    static const qint64 DayZero = QDate(1899, 12, 30).toJulianDay();
    if (!date.isValid() || date.year() > 9999)
        return std::nullopt;
    qint64 serial = date.toJulianDay() - DayZero;
    if (serial < 61) // before the 29 February 1900 it counts
        --serial;
    if (serial < 1)
        return std::nullopt;
    return double(serial);
}

bool isNumeric(ExportCell cell)
{
    return cell == ExportCell::Amount || cell == ExportCell::Balance;
}

struct SheetColumn
{
    const char* caption;
    double width;
    bool numeric;
};

// The title, the column captions under it and their widths; both rows stay
// in view while scrolling.
void writeHead(XlsxBook& book, lxw_worksheet* sheet, const Formats& formats, const QString& title,
               std::span<const SheetColumn> columns)
{
    book.text(sheet, TitleRow, 0, title, formats.title);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = int(i);
        book.check(lxw().worksheet_set_column(sheet, lxw_col_t(column), lxw_col_t(column), columns[i].width,
                                              nullptr));
        book.text(sheet, CaptionRow, column, QByteArray(columns[i].caption),
                  columns[i].numeric ? formats.numberCaption : formats.caption);
    }
    lxw().worksheet_freeze_panes(sheet, FirstRow, 0);
}

// The sheet "Giornale": the rows in the grid's order, each journal row one
// sheet row.
class JournalSheet
{
public:
    JournalSheet(XlsxBook& book, const Formats& formats, const journal::JournalRows& rows)
        : m_book(book), m_formats(formats), m_rows(rows), m_data(rows.data())
    {}

    void write(const QString& title)
    {
        lxw_worksheet* sheet = m_book.addSheet("Giornale");
        if (!sheet)
            return;
        m_sheet = sheet;
        std::vector<SheetColumn> columns;
        for (const ExportColumn& c : exportColumns(m_rows))
            columns.push_back({c.caption, c.width, isNumeric(c.cell)});
        writeHead(m_book, m_sheet, m_formats, title, columns);
        poolTexts();
        const int levels = m_rows.rows().levelCount();
        for (int p = 1; p <= m_rows.rowCount() && m_book.ok(); ++p) {
            const int row = FirstRow + p - 1;
            if (m_rows.rowType(p) == journal::RowType::Entry) {
                m_book.setLevel(m_sheet, row, levels);
                writeEntry(row, m_rows.dataIndex(p));
            } else {
                // Headers and totals stay in view when their own group folds.
                m_book.setLevel(m_sheet, row, m_rows.level(p) - 1);
                writeGroupRow(row, p);
            }
        }
        const int lastRow = FirstRow + m_rows.rowCount() - 1;
        m_book.check(lxw().worksheet_autofilter(m_sheet, CaptionRow, 0,
                                                lxw_row_t(std::max(lastRow, CaptionRow)),
                                                lxw_col_t(exportColumns(m_rows).size() - 1)));
    }

private:
    // Texts that repeat (accounts) are converted once.
    void poolTexts()
    {
        for (const ExportColumn& c : exportColumns(m_rows)) {
            Pool pool;
            if (c.cell == ExportCell::Text && m_data.isTextPooled(c.journalColumn)) {
                journal::GridData::TextKeys keys = m_data.textKeys(c.journalColumn);
                pool.ids = std::move(keys.ids);
                for (const QString& text : keys.distinct)
                    pool.utf8.push_back(text.toUtf8());
            }
            m_pools.push_back(std::move(pool));
        }
    }

    void writeEntry(int row, int k)
    {
        int column = 0;
        for (const ExportColumn& c : exportColumns(m_rows)) {
            writeCell(row, column, c, k);
            ++column;
        }
    }

    void writeCell(int row, int column, const ExportColumn& c, int k)
    {
        switch (c.cell) {
        case ExportCell::Date:
            writeDay(row, column, m_data.date(c.journalColumn, k));
            break;
        case ExportCell::Text: {
            const Pool& pool = m_pools[size_t(column)];
            if (pool.ids.empty())
                m_book.text(m_sheet, row, column, m_data.text(c.journalColumn, k));
            else
                m_book.text(m_sheet, row, column, pool.utf8[pool.ids[size_t(k - 1)]]);
            break;
        }
        case ExportCell::Amount: {
            const std::optional<Currency> amount = m_data.currency(c.journalColumn, k);
            if (amount && !amount->isZero())
                m_book.number(m_sheet, row, column, toNumber(*amount), m_formats.amount);
            break;
        }
        case ExportCell::Balance:
            m_book.number(m_sheet, row, column,
                          toNumber(m_data.currency(c.journalColumn, k).value_or(Currency())),
                          m_formats.amount);
            break;
        case ExportCell::Reconciled:
            if (const std::optional<QDate> statement = m_rows.reconciledOn(k))
                writeDay(row, column, *statement);
            break;
        }
    }

    void writeDay(int row, int column, const QDate& date)
    {
        if (const std::optional<double> day = sheetDay(date))
            m_book.number(m_sheet, row, column, *day, m_formats.date);
        else if (date.isValid())
            m_book.text(m_sheet, row, column, date.toString(QStringLiteral("dd/MM/yyyy")));
    }

    void writeGroupRow(int row, int p)
    {
        if (m_rows.rowType(p) == journal::RowType::GroupHeader) {
            m_book.text(m_sheet, row, 0, m_rows.caption(p), m_formats.group);
            return;
        }
        const QString label =
            m_rows.level(p) == 1 ? QStringLiteral("Totale") : QStringLiteral("Totale ") + m_rows.caption(p);
        m_book.text(m_sheet, row, 0, label, m_formats.group);
        int column = 0;
        for (const ExportColumn& c : exportColumns(m_rows)) {
            if (c.cell == ExportCell::Amount)
                m_book.number(m_sheet, row, column, toNumber(m_rows.groupSum(p, c.journalColumn)),
                              m_formats.groupAmount);
            ++column;
        }
    }

    struct Pool
    {
        std::vector<quint32> ids; // by data row; empty: not pooled
        std::vector<QByteArray> utf8;
    };

    XlsxBook& m_book;
    const Formats& m_formats;
    const journal::JournalRows& m_rows;
    const journal::GridData& m_data;
    lxw_worksheet* m_sheet = nullptr;
    std::vector<Pool> m_pools;
};

// The sheet "Conti": one row per account, then the total.
void writeAccounts(XlsxBook& book, const Formats& formats, const journal::JournalRows& rows,
                   const QString& title)
{
    const std::vector<journal::AccountTotal> totals = journal::accountTotals(rows);
    lxw_worksheet* sheet = book.addSheet("Conti");
    if (!sheet)
        return;
    constexpr SheetColumn Columns[] = {
        {"Conto", 30, false}, {"Entrate", 14, true}, {"Uscite", 14, true}, {"Saldo", 14, true}};
    writeHead(book, sheet, formats, title, Columns);
    const auto writeRow = [&](int row, const journal::AccountTotal& t, lxw_format* text, lxw_format* amount) {
        book.text(sheet, row, 0, t.account, text);
        book.number(sheet, row, 1, toNumber(t.incomes), amount);
        book.number(sheet, row, 2, toNumber(t.outgoings), amount);
        book.number(sheet, row, 3, toNumber(t.balance()), amount);
    };
    journal::AccountTotal all{QStringLiteral("Totale"), {}, {}};
    int row = FirstRow;
    for (const journal::AccountTotal& t : totals) {
        writeRow(row++, t, nullptr, formats.amount);
        all.incomes += t.incomes;
        all.outgoings += t.outgoings;
    }
    writeRow(row, all, formats.group, formats.groupAmount);
}

QString saveFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("Impossibile salvare il file Excel \"%1\".\n\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

// Copies the finished workbook to where it goes; the reason when it failed.
QString copyInto(const QString& made, const QString& path)
{
    QFile in(made);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    ExportTarget target(path);
    if (!target.open())
        return target.errorString();
    QByteArray piece;
    while (!(piece = in.read(1 << 20)).isEmpty()) {
        if (target.device().write(piece) != piece.size()) {
            const QString reason = target.device().errorString();
            target.cancel();
            return reason;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        target.cancel();
        return in.errorString();
    }
    return target.commit() ? QString() : target.errorString();
}

} // namespace

bool writeJournalXlsx(const journal::JournalRows& rows, const QString& path, const QString& tempFolder,
                      QString* failure)
{
    if (!xlsxWriterLib(failure))
        return false;
    XlsxBook book(path, tempFolder);
    const QString title = exportTitle(rows);
    book.setProperties(title.section(QStringLiteral(" · "), 0, 0));
    const Formats formats(book);
    JournalSheet(book, formats, rows).write(title);
    writeAccounts(book, formats, rows, title);
    if (book.close())
        return true;
    if (failure)
        *failure = book.failure();
    return false;
}

void exportXlsx(const ReportContext& context, const QString& path)
{
    journal::JournalRows rows;
    loadForExport(rows, context);
    if (FirstRow + qint64(rows.rowCount()) > SheetRowLimit)
        throw ReportError(
            QStringLiteral(
                "Il periodo ha troppe registrazioni per un foglio Excel (%1 righe, al massimo %2): "
                "scegliere un periodo più breve.")
                .arg(Italian.toString(FirstRow + rows.rowCount()), Italian.toString(SheetRowLimit)));
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/movilibro-XXXXXX"));
    if (!scratch.isValid())
        throw ReportError(saveFailure(path, scratch.errorString()));
    const QString made = scratch.filePath(QStringLiteral("giornale.xlsx"));
    QString why;
    try {
        if (!writeJournalXlsx(rows, made, scratch.path(), &why))
            throw ReportError(
                saveFailure(path, QStringLiteral("La cartella di lavoro non è stata completata in %1 (%2).")
                                      .arg(QDir::toNativeSeparators(scratch.path()), why)));
    } catch (const CurrencyOverflow&) {
        throw ReportError(QStringLiteral("Impossibile calcolare i totali: importi fuori scala."));
    }
    why = copyInto(made, path);
    if (!why.isEmpty())
        throw ReportError(saveFailure(path, why));
}

} // namespace movilibro::report
