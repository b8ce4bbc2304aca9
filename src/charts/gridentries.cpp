#include "charts/gridentries.h"

#include "ui/grid/griddata.h"
#include "ui/grid/gridrows.h"
#include "ui/main/journalgrid.h"

#include <QHash>

namespace movilibro::charts {

namespace C = JournalColumn;

ChartInput entriesOfGrid(const grid::GridData& data, const grid::GridRows& rows, const DateRange& period,
                         int kind)
{
    ChartInput input;
    input.period = period;
    input.kind = kind;
    if (data.rowCount() == 0 || data.columnCount() < C::Id)
        return input;
    const auto& days = data.numbers(C::Data);
    const auto& incomes = data.numbers(C::Entrate);
    const auto& outgoings = data.numbers(C::Uscite);
    const auto& accounts = data.texts(C::Conto);
    QHash<QString, int> accountIndex;
    input.entries.reserve(size_t(data.rowCount()));
    for (int p = 1; p <= rows.displayRowCount(); ++p) {
        const int k = rows.dataIndex(p);
        if (k < 1 || k > data.rowCount())
            continue;
        const size_t i = size_t(k - 1);
        auto account = accountIndex.constFind(accounts[i]);
        if (account == accountIndex.cend()) {
            account = accountIndex.insert(accounts[i], int(input.accounts.size()));
            input.accounts.push_back(accounts[i]);
        }
        // Empty amounts are held as 0 beside their null flag.
        input.entries.push_back({days[i], *account, incomes[i], outgoings[i]});
    }
    return input;
}

} // namespace movilibro::charts
