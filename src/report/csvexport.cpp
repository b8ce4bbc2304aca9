#include "report/csvexport.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "report/exporttarget.h"
#include "report/reporterror.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QDir>

namespace movilibro::report {

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);

// A spreadsheet runs a cell beginning with one of these as a formula; text
// from elsewhere (bank statements) must stay text.
QString inertText(const QString& text)
{
    static const QString FormulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && FormulaStarts.contains(text.front()))
        return u'\'' + text;
    return text;
}

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

QByteArray journalCsv(const grid::GroupedGrid& gex)
{
    namespace C = JournalColumn;
    const grid::GridData& data = gex.data();
    CsvWriter out;
    out.reserve(qsizetype(data.rowCount()) * 96 + 64);
    for (const char* caption : {"Data", "Conto", "Descrizione", "Entrate", "Uscite", "Saldo progressivo"})
        out.addField(QByteArray(caption));
    out.endLine();
    for (int p = 1; p <= gex.displayRowCount(); ++p) {
        if (gex.rowType(p) != grid::RowType::Entry)
            continue;
        const int k = gex.dataIndex(p);
        out.addField(dateField(data.date(C::Data, k)));
        out.addQuoted(inertText(data.text(C::Conto, k)).toUtf8());
        out.addQuoted(inertText(data.text(C::Descrizione, k)).toUtf8());
        addAmount(out, data.currency(C::Entrate, k));
        addAmount(out, data.currency(C::Uscite, k));
        out.addQuoted(data.currency(C::Saldo, k).value_or(Currency()).toString(Italian).toUtf8());
        out.endLine();
    }
    return out.bytes();
}

void exportCsv(const ReportContext& context, const QString& path)
{
    grid::GroupedGrid gex;
    JournalGrid journal(gex);
    journal.setUp();
    try {
        journal.setFilter(context.filter);
        journal.load(context.connString, context.kind, {context.start, context.end});
        journal.arrange(context.layout);
    } catch (const db::DbError& e) {
        throw ReportError(QStringLiteral("Impossibile leggere il giornale: ") + db::userMessage(e));
    } catch (const CurrencyOverflow&) {
        throw ReportError(QStringLiteral("Impossibile calcolare i saldi: importi fuori scala."));
    } catch (const search::SearchError& e) {
        throw ReportError(e.message());
    }
    const QByteArray bytes = journalCsv(gex);
    ExportTarget file(path);
    if (!file.open() || file.device().write(bytes) != bytes.size() || !file.commit())
        throw ReportError(saveFailure(path, file.errorString()));
}

} // namespace movilibro::report
