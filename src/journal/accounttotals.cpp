#include "journal/accounttotals.h"

#include "db/textcollation.h"
#include "journal/journalrows.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

namespace movilibro::journal {

namespace {

namespace C = JournalColumn;

// The accounts' numbers (distinct texts) in grid order, with those that
// compare equal gathered under the first.
std::vector<std::vector<quint32>> accountsInOrder(const std::vector<QString>& names)
{
    const QCollator collator = db::textCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString& name : names)
        keys.push_back(collator.sortKey(name));
    std::vector<quint32> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<std::vector<quint32>> accounts;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || keys[order[i - 1]].compare(keys[order[i]]) != 0)
            accounts.emplace_back();
        accounts.back().push_back(order[i]);
    }
    return accounts;
}

} // namespace

std::vector<AccountTotal> accountTotals(const JournalRows& rows)
{
    const GridData& data = rows.data();
    const GridData::TextKeys names = data.textKeys(C::Conto);
    std::vector<Currency> in(names.distinct.size()), out(names.distinct.size());
    std::vector<int> firstSeen(names.distinct.size(), 0); // display position, 0: not laid out
    for (int p = 1; p <= rows.rowCount(); ++p) {
        if (rows.rowType(p) != RowType::Entry)
            continue;
        const int k = rows.dataIndex(p);
        const quint32 account = names.ids[size_t(k - 1)];
        in[account] += data.currency(C::Entrate, k).value_or(Currency());
        out[account] += data.currency(C::Uscite, k).value_or(Currency());
        if (firstSeen[account] == 0)
            firstSeen[account] = p;
    }
    std::vector<AccountTotal> totals;
    for (const std::vector<quint32>& same : accountsInOrder(names.distinct)) {
        AccountTotal total;
        int first = 0;
        for (quint32 id : same) {
            if (firstSeen[id] == 0)
                continue;
            // Named as the grid names a group: by its first entry shown.
            if (first == 0 || firstSeen[id] < first) {
                first = firstSeen[id];
                total.account = names.distinct[id];
            }
            total.incomes += in[id];
            total.outgoings += out[id];
        }
        if (first != 0)
            totals.push_back(std::move(total));
    }
    return totals;
}

} // namespace movilibro::journal
