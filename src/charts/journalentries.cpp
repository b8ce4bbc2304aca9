#include "charts/journalentries.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "journal/journalrows.h"
#include "report/reporterror.h"

namespace movilibro::charts {

namespace C = journal::JournalColumn;

ChartInput entriesOfGrid(const journal::GridData& data, const journal::GridRows& rows,
                         const DateRange& period, int kind)
{
    ChartInput input;
    input.period = period;
    input.kind = kind;
    if (data.rowCount() == 0 || data.columnCount() < C::Id)
        return input;
    const auto& days = data.numbers(C::Data);
    const auto& incomes = data.numbers(C::Entrate);
    const auto& outgoings = data.numbers(C::Uscite);
    const journal::GridData::TextKeys accounts = data.textKeys(C::Conto);
    // Numbered as they first appear in the rows, each account once.
    std::vector<int> accountIndex(accounts.distinct.size(), -1);
    input.entries.reserve(size_t(data.rowCount()));
    for (int p = 1; p <= rows.displayRowCount(); ++p) {
        const int k = rows.dataIndex(p);
        if (k < 1 || k > data.rowCount())
            continue;
        const size_t i = size_t(k - 1);
        int& account = accountIndex[accounts.ids[i]];
        if (account < 0) {
            account = int(input.accounts.size());
            input.accounts.push_back(accounts.distinct[accounts.ids[i]]);
        }
        // Empty amounts are held as 0 beside their null flag.
        input.entries.push_back({days[i], account, incomes[i], outgoings[i]});
    }
    return input;
}

ChartInput entriesOf(const journal::JournalRows& rows)
{
    return entriesOfGrid(rows.data(), rows.rows(), rows.period(), rows.kind());
}

ChartData chartDataFor(const report::ReportContext& context)
{
    journal::JournalRows rows;
    try {
        rows.setFilter(context.filter);
        if (rows.load(context.connString, context.kind, {context.start, context.end}) > 0)
            rows.arrange(0);
        return chartData(entriesOf(rows), false);
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
