#include "report/csvexport.h"

#include "journal/journalrows.h"
#include "report/exporttarget.h"
#include "report/journalexport.h"
#include "report/reporterror.h"

#include <QDir>

namespace movilibro::report {

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);

QByteArray dateField(const QDate& date)
{
    if (!date.isValid())
        return {};
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.day(), date.month(), date.year());
    return QByteArray(text, n);
}

void addAmount(CsvWriter& out, std::optional<Currency> value)
{
    if (!value || value->isZero())
        out.addField(QByteArray());
    else
        out.addQuoted(value->toString(Italian).toUtf8());
}

QString saveFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("Impossibile salvare il file CSV \"%1\".\n\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

void addCell(CsvWriter& out, const journal::JournalRows& rows, const ExportColumn& column, int k)
{
    const journal::GridData& data = rows.data();
    switch (column.cell) {
    case ExportCell::Date:
        out.addField(dateField(data.date(column.journalColumn, k)));
        break;
    case ExportCell::Text:
        out.addQuoted(inertText(data.text(column.journalColumn, k)).toUtf8());
        break;
    case ExportCell::Amount:
        addAmount(out, data.currency(column.journalColumn, k));
        break;
    case ExportCell::Balance:
        out.addQuoted(data.currency(column.journalColumn, k).value_or(Currency()).toString(Italian).toUtf8());
        break;
    case ExportCell::Reconciled: {
        const std::optional<QDate> statement = rows.reconciledOn(k);
        out.addField(statement ? dateField(*statement) : QByteArray());
        break;
    }
    }
}

} // namespace

QString inertText(const QString& text)
{
    static const QString FormulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && FormulaStarts.contains(text.front()))
        return u'\'' + text;
    return text;
}

CsvWriter::CsvWriter() : m_bytes("\xEF\xBB\xBF") {}

void CsvWriter::separate()
{
    if (!m_lineStart)
        m_bytes += ';';
    m_lineStart = false;
}

void CsvWriter::addField(const QByteArray& utf8)
{
    separate();
    m_bytes += utf8;
}

void CsvWriter::addQuoted(const QByteArray& utf8)
{
    separate();
    m_bytes += '"';
    if (utf8.contains('"'))
        m_bytes += QByteArray(utf8).replace("\"", "\"\"");
    else
        m_bytes += utf8;
    m_bytes += '"';
}

void CsvWriter::endLine()
{
    m_bytes += "\r\n";
    m_lineStart = true;
}

bool CsvWriter::flushTo(QIODevice& device)
{
    const bool written = device.write(m_bytes) == m_bytes.size();
    m_bytes.clear();
    return written;
}

bool writeJournalCsv(const journal::JournalRows& rows, QIODevice& device)
{
    constexpr qsizetype Piece = 1 << 20;
    CsvWriter out;
    for (const ExportColumn& column : exportColumns(rows))
        out.addField(QByteArray(column.caption));
    out.endLine();
    for (int p = 1; p <= rows.rowCount(); ++p) {
        if (rows.rowType(p) != journal::RowType::Entry)
            continue;
        const int k = rows.dataIndex(p);
        for (const ExportColumn& column : exportColumns(rows))
            addCell(out, rows, column, k);
        out.endLine();
        if (out.bytes().size() >= Piece && !out.flushTo(device))
            return false;
    }
    return out.flushTo(device);
}

void exportCsv(const ReportContext& context, const QString& path)
{
    journal::JournalRows rows;
    loadForExport(rows, context);
    ExportTarget file(path);
    if (!file.open() || !writeJournalCsv(rows, file.device()) || !file.commit())
        throw ReportError(saveFailure(path, file.errorString()));
}

} // namespace movilibro::report
