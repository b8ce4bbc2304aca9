#include "report/reportsetup.h"

#include "db/periods.h"
#include "report/arpschede.h"
#include "report/journalrecords.h"
#include "report/reporterror.h"

namespace movilibro::report {

namespace {

void captionSearch(arpSchede& report, const search::Filter& filter)
{
    if (!filter.isActive())
        return;
    try {
        search::Query::parse(filter);
    } catch (const search::SearchError& e) {
        throw ReportError(e.message());
    }
    // Under the period caption "Movilibro dal ... al ...", within the band.
    Control caption = Control::label(QStringLiteral("lblFiltro"), QRect(0, 260, 6236, 227),
                                     QStringLiteral("Filtro: ") + filter.describe());
    caption.fontSize = 8;
    caption.alignment = Qt::AlignLeft;
    report.groups()[0].header.add(caption);
}

} // namespace

void setUpReport(arpSchede& report, const ReportContext& context)
{
    report.dataControl().setConnectionString(context.connString);
    report.dataControl().setSource(reportQuery(context.kind, context.layout, {context.start, context.end}));
    // The records that query would give, read by the journal core instead, so
    // that the report shows exactly what the grid shows.
    report.dataControl().setRecordReader([context] { return readJournalRecords(context); });
    report.configure(context.layout);
    report.setOutputFormats(arpSchede::IncomesFormat, arpSchede::BalanceFormat);
    report.setPeriod(context.start, context.end);
    report.setDateGrouping(context.kind);
    captionSearch(report, context.filter);
}

} // namespace movilibro::report
