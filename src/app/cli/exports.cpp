#include "app/cli/exports.h"

#include "app/cli/journalaccess.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/commandline.h"
#include "app/seams.h"
#include "charts/journalentries.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/errortext.h"
#include "db/journaldb.h"
#include "db/periods.h"
#include "journal/journalrows.h"
#include "report/arpschede.h"
#include "report/csvexport.h"
#include "report/pdfexport.h"
#include "report/reporterror.h"
#include "report/reportsetup.h"
#include "report/xlsxexport.h"
#include "ui/charts/chartexport.h"

#include <QFileInfo>

namespace movilibro::cli {

namespace {

// The period, grouping and journal of an export: what the main window would
// show at start, changed by the options.
report::ReportContext exportContext(const Request& r, const QString& folder)
{
    const QString cs = db::connStringFor(folder);
    try {
        const int startingMonth = normalizedStartingMonth(
            db::ReadParameter(cs, QStringLiteral("appset_esercizio_startingmonth"), 1));
        const int kind = normalizedKind(db::ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0));
        const int layout = normalizedLayout(db::ReadParameter(cs, QStringLiteral("appset_gexlayout"), 0));
        const DateRange fiscal = fiscalYear(Clock::today(), startingMonth);
        report::ReportContext context{r.from.value_or(fiscal.start), r.to.value_or(fiscal.end), kind,
                                      r.layout.value_or(layout), cs};
        context.filter.text = r.search.value_or(QString());
        return context;
    } catch (const db::DbError& e) {
        throw Failure{db::userMessage(e)};
    }
}

bool samePath(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

void checkTargets(const Request& r, const QString& folder)
{
    const QString journal = journalPathIn(folder);
    const QString targets[] = {r.pdfFile, r.csvFile, r.xlsxFile, r.chartFile};
    for (const QString& target : targets) {
        if (!target.isEmpty() && samePath(target, journal))
            throw UsageError{QStringLiteral("Il file %1 è il giornale stesso: scegliere un altro nome.")
                                 .arg(shown(target))};
    }
    constexpr int Count = int(std::size(targets));
    for (int i = 0; i < Count; ++i) {
        for (int j = i + 1; j < Count; ++j) {
            if (!targets[i].isEmpty() && !targets[j].isEmpty() && samePath(targets[i], targets[j]))
                throw UsageError{
                    QStringLiteral("Due esportazioni indicano lo stesso file %1.").arg(shown(targets[i]))};
        }
    }
}

// The rule of the main window, which offers no PDF for an empty period. The
// filter applies to arranged entries; the layout does not change their count.
bool hasEntries(const report::ReportContext& context)
{
    journal::JournalRows rows;
    rows.setFilter(context.filter);
    if (rows.load(context.connString, context.kind, {context.start, context.end}) == 0)
        return false;
    if (!rows.isFiltered())
        return true;
    try {
        rows.arrange(0);
    } catch (const CurrencyOverflow&) {
        throw report::ReportError(QStringLiteral("Impossibile calcolare i saldi: importi fuori scala."));
    }
    return rows.shownEntries() > 0;
}

// Read before any file is written: a chart that cannot be made leaves none.
std::optional<charts::ChartData> chartData(const Request& r, const report::ReportContext& context)
{
    if (r.chartFile.isEmpty())
        return std::nullopt;
    charts::ChartData data = charts::chartDataFor(context);
    if (data.empty)
        throw Failure{QStringLiteral("Nessuna registrazione nel periodo dal %1 al %2: il grafico non è stato "
                                     "scritto.")
                          .arg(day(context.start), day(context.end))};
    return data;
}

// A search that lets nothing through leaves every file as it was, whatever
// the kind: a file with no entries would pass for a finished export. The PDF
// and the workbook of an empty period are refused as well.
void checkSomethingToWrite(const Request& r, const report::ReportContext& context)
{
    const bool searched = !context.filter.text.trimmed().isEmpty();
    if ((!searched && r.pdfFile.isEmpty() && r.xlsxFile.isEmpty()) || hasEntries(context))
        return;
    if (searched)
        throw Failure{
            QStringLiteral("Nessuna registrazione del periodo dal %1 al %2 corrisponde alla ricerca "
                           "\"%3\": nessun file è stato scritto.")
                .arg(day(context.start), day(context.end), context.filter.text)};
    throw Failure{
        QStringLiteral("Nessuna registrazione nel periodo dal %1 al %2: nessun file è stato scritto.")
            .arg(day(context.start), day(context.end))};
}

} // namespace

int runExports(const Request& r, const QString& folder)
{
    checkTargets(r, folder);
    checkJournal(folder);
    const report::ReportContext context = exportContext(r, folder);
    if (context.start > context.end)
        throw UsageError{
            QStringLiteral("Il periodo non è valido: il primo giorno (%1) viene dopo l'ultimo (%2).")
                .arg(day(context.start), day(context.end))};
    checkSomethingToWrite(r, context);
    const std::optional<charts::ChartData> chart = chartData(r, context);
    if (!r.pdfFile.isEmpty()) {
        report::arpSchede report;
        report::setUpReport(report, context);
        report::exportPdf(report, r.pdfFile);
        print(stdout, QStringLiteral("Scritto il file PDF %1.").arg(shown(r.pdfFile)));
    }
    if (!r.csvFile.isEmpty()) {
        report::exportCsv(context, r.csvFile);
        print(stdout, QStringLiteral("Scritto il file CSV %1.").arg(shown(r.csvFile)));
    }
    if (!r.xlsxFile.isEmpty()) {
        report::exportXlsx(context, r.xlsxFile);
        print(stdout, QStringLiteral("Scritto il file Excel %1.").arg(shown(r.xlsxFile)));
    }
    if (chart) {
        charts::exportChart(r.chart.value_or(charts::ChartKind::Saldo), *chart, false,
                            charts::chartCaption({context.start, context.end}, context.filter), r.chartFile);
        print(stdout, QStringLiteral("Scritto il grafico %1.").arg(shown(r.chartFile)));
    }
    return Success;
}

} // namespace movilibro::cli
