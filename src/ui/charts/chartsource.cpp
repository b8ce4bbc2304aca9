#include "ui/charts/chartsource.h"

#include "charts/gridentries.h"
#include "db/connection.h"
#include "db/errortext.h"
#include "report/reporterror.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

namespace movilibro::charts {

ChartData chartDataOfGrid(const grid::GroupedGrid& gex, const DateRange& period, int kind)
{
    return chartData(entriesOfGrid(gex.data(), gex.rows(), period, kind));
}

ChartData chartDataFor(const report::ReportContext& context)
{
    grid::GroupedGrid gex;
    JournalGrid journal(gex);
    journal.setUp();
    const DateRange period{context.start, context.end};
    try {
        journal.setFilter(context.filter);
        if (journal.load(context.connString, context.kind, period) > 0)
            journal.arrange(0);
        return chartData(entriesOfGrid(gex.data(), gex.rows(), period, context.kind), false);
    } catch (const db::DbError& e) {
        throw report::ReportError(QStringLiteral("Impossibile leggere il giornale: ") + db::userMessage(e));
    } catch (const CurrencyOverflow&) {
        throw report::ReportError(QStringLiteral("Impossibile calcolare i grafici: importi fuori scala."));
    } catch (const search::SearchError& e) {
        throw report::ReportError(e.message());
    }
}

QString chartCaption(const DateRange& period, const search::Filter& filter)
{
    const QString format = QStringLiteral("dd/MM/yyyy");
    QString caption = QStringLiteral("Periodo dal %1 al %2")
                          .arg(period.start.toString(format), period.end.toString(format));
    if (filter.isActive())
        caption += QStringLiteral(" · Filtro: ") + filter.describe();
    return caption;
}

} // namespace movilibro::charts
