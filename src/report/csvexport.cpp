#include "report/csvexport.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "journal/journalrows.h"
#include "report/exporttarget.h"
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
    namespace C = journal::JournalColumn;
    constexpr qsizetype Piece = 1 << 20;
    const journal::GridData& data = rows.data();
    CsvWriter out;
    for (const char* caption : {"Data", "Conto", "Descrizione", "Entrate", "Uscite", "Saldo progressivo"})
        out.addField(QByteArray(caption));
    // Journals never reconciled keep the columns they always had.
    const bool marks = rows.hasReconciled();
    if (marks)
        out.addField(QByteArray("Riscontrato"));
    out.endLine();
    for (int p = 1; p <= rows.rowCount(); ++p) {
        if (rows.rowType(p) != journal::RowType::Entry)
            continue;
        const int k = rows.dataIndex(p);
        out.addField(dateField(data.date(C::Data, k)));
        out.addQuoted(inertText(data.text(C::Conto, k)).toUtf8());
        out.addQuoted(inertText(data.text(C::Descrizione, k)).toUtf8());
        addAmount(out, data.currency(C::Entrate, k));
        addAmount(out, data.currency(C::Uscite, k));
        out.addQuoted(data.currency(C::Saldo, k).value_or(Currency()).toString(Italian).toUtf8());
        if (marks) {
            const std::optional<QDate> statement = rows.reconciledOn(k);
            out.addField(statement ? dateField(*statement) : QByteArray());
        }
        out.endLine();
        if (out.bytes().size() >= Piece && !out.flushTo(device))
            return false;
    }
    return out.flushTo(device);
}

void exportCsv(const ReportContext& context, const QString& path)
{
    journal::JournalRows rows;
    try {
        rows.setFilter(context.filter);
        rows.load(context.connString, context.kind, {context.start, context.end});
        rows.arrange(context.layout);
    } catch (const db::DbError& e) {
        throw ReportError(QStringLiteral("Impossibile leggere il giornale: ") + db::userMessage(e));
    } catch (const CurrencyOverflow&) {
        throw ReportError(QStringLiteral("Impossibile calcolare i saldi: importi fuori scala."));
    } catch (const search::SearchError& e) {
        throw ReportError(e.message());
    }
    ExportTarget file(path);
    if (!file.open() || !writeJournalCsv(rows, file.device()) || !file.commit())
        throw ReportError(saveFailure(path, file.errorString()));
}

} // namespace movilibro::report
