#include "statement/xlsreader.h"

#include "statement/statement.h"

#include <freexl.h>

#include <QDateTime>
#include <QTemporaryFile>

namespace movilibro::statement {

namespace {

[[noreturn]] void unreadable(const QString& why)
{
    throw StatementError(QStringLiteral("Il file Excel (.xls) non è leggibile: %1.").arg(why));
}

QString whyNotOpened(int code)
{
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("memoria insufficiente");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("è un documento Office che non contiene un foglio di calcolo "
                              "(o un file .xlsx protetto da password)");
    default:
        return QStringLiteral("è danneggiato o non è un foglio Excel (codice %1)").arg(code);
    }
}

// The serial of the 1900 base for a date FreeXL gives as text.
std::optional<double> serialOf(const char* text, unsigned char type)
{
    const QString t = QString::fromUtf8(text);
    if (type == FREEXL_CELL_TIME) {
        const QTime time = QTime::fromString(t, QStringLiteral("HH:mm:ss"));
        return time.isValid() ? std::optional(time.msecsSinceStartOfDay() / 86400000.0) : std::nullopt;
    }
    const QDateTime when = type == FREEXL_CELL_DATE
                               ? QDateTime(QDate::fromString(t, Qt::ISODate), QTime(0, 0), Qt::UTC)
                               : QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid())
        return std::nullopt;
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const double days = double(epoch.secsTo(QDateTime(when.date(), when.time(), Qt::UTC))) / 86400;
    return days < 61 ? days - 1 : days;
}

std::optional<SheetCell> cellOf(const FreeXL_CellValue& value, int column)
{
    SheetCell cell;
    cell.column = column;
    switch (value.type) {
    case FREEXL_CELL_INT:
    case FREEXL_CELL_DOUBLE:
        cell.type = SheetCell::Type::Number;
        cell.number = value.type == FREEXL_CELL_INT ? value.value.int_value : value.value.double_value;
        cell.numberFormat = QStringLiteral("General");
        return cell;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        cell.text = QString::fromUtf8(value.value.text_value);
        return cell.text.isEmpty() ? std::nullopt : std::optional(cell);
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        const std::optional<double> serial = serialOf(value.value.text_value, value.type);
        if (!serial)
            return std::nullopt;
        cell.type = SheetCell::Type::Number;
        cell.number = *serial;
        cell.numberFormat = value.type == FREEXL_CELL_DATE       ? QStringLiteral("yyyy-mm-dd")
                            : value.type == FREEXL_CELL_DATETIME ? QStringLiteral("yyyy-mm-dd hh:mm:ss")
                                                                 : QStringLiteral("hh:mm:ss");
        return cell;
    }
    default:
        return std::nullopt;
    }
}

// Closed even when the workbook failed to open, as FreeXL asks.
struct Handle
{
    const void* get = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle()
    {
        if (get)
            freexl_close(get);
    }
};

class XlsWorkbook : public Workbook
{
public:
    explicit XlsWorkbook(const QByteArray& bytes)
    {
        // FreeXL reads from a path; a private copy is the file that was checked.
        if (!m_copy.open() || m_copy.write(bytes) != bytes.size() || !m_copy.flush())
            unreadable(QStringLiteral("non è stato possibile copiarlo in una cartella temporanea (%1)")
                           .arg(m_copy.errorString()));
        const int opened = freexl_open(QFile::encodeName(m_copy.fileName()).constData(), &m_workbook.get);
        if (opened != FREEXL_OK)
            unreadable(whyNotOpened(opened));
        unsigned int password = 0;
        freexl_get_info(m_workbook.get, FREEXL_BIFF_PASSWORD, &password);
        if (password == FREEXL_BIFF_OBFUSCATED)
            unreadable(QStringLiteral("è protetto da password"));
        unsigned int count = 0;
        freexl_get_info(m_workbook.get, FREEXL_BIFF_SHEET_COUNT, &count);
        for (unsigned short i = 0; i < count; ++i) {
            const char* name = nullptr;
            freexl_get_worksheet_name(m_workbook.get, i, &name);
            m_names << (name ? QString::fromUtf8(name) : QStringLiteral("Foglio%1").arg(i + 1));
        }
        if (m_names.isEmpty())
            unreadable(QStringLiteral("non ha fogli"));
    }

    QStringList sheetNames() const override { return m_names; }

    bool hasData(int index) override
    {
        bool found = false;
        readCells(index, [&found](int, SheetCell&&) {
            found = true;
            return false;
        });
        return found;
    }

    Sheet sheet(int index) override
    {
        Sheet s;
        s.name = m_names.value(index);
        readCells(index, [&s](int row, SheetCell&& cell) {
            if (s.rows.empty() || s.rows.back().row != row)
                s.rows.push_back(SheetRow{row, {}});
            s.rows.back().cells.push_back(std::move(cell));
            return true;
        });
        return s;
    }

private:
    // Hands each cell with a value to `take`, row by row, until it says stop.
    template <typename Take> void readCells(int index, Take take)
    {
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (index < 0 || index >= m_names.size() ||
            freexl_select_active_worksheet(m_workbook.get, (unsigned short)(index)) != FREEXL_OK ||
            freexl_worksheet_dimensions(m_workbook.get, &rows, &columns) != FREEXL_OK)
            unreadable(QStringLiteral("il foglio %1 è danneggiato").arg(index + 1));
        if (qint64(rows) * columns > LargestSheet * 4)
            throw StatementError(QStringLiteral("Il foglio «%1» è troppo grande per un estratto conto.")
                                     .arg(m_names.value(index)));
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(m_workbook.get, r, c, &value) != FREEXL_OK)
                    unreadable(
                        QStringLiteral("la cella %1 della riga %2 è danneggiata").arg(c + 1).arg(r + 1));
                if (std::optional<SheetCell> cell = cellOf(value, c); cell && !take(int(r), std::move(*cell)))
                    return;
            }
        }
    }

    QTemporaryFile m_copy;
    Handle m_workbook;
    QStringList m_names;
};

} // namespace

bool isCompoundDocument(const QByteArray& bytes)
{
    return bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

std::unique_ptr<Workbook> openXls(const QByteArray& bytes)
{
    return std::make_unique<XlsWorkbook>(bytes);
}

} // namespace movilibro::statement
