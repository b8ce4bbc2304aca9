#include "reconcile/sheet.h"

#include "reconcile/balance.h"

namespace movilibro::reconcile {

void ReconcileSheet::load(db::Connection& conn, qint64 accountId, const QDate& day)
{
    m_accountId = accountId;
    m_day = day;
    m_journal = balanceAt(conn, accountId, day);
    m_reconciledBefore = reconciledNet(conn, accountId, day);
    m_entries = openEntries(conn, accountId, day);
    m_ticked.assign(m_entries.size(), false);
}

void ReconcileSheet::setTicked(int index, bool ticked)
{
    m_ticked.at(size_t(index)) = ticked;
}

std::vector<qint64> ReconcileSheet::tickedIds() const
{
    std::vector<qint64> ids;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_ticked[i])
            ids.push_back(m_entries[i].id);
    }
    return ids;
}

Currency ReconcileSheet::reconciled() const
{
    Currency total = m_reconciledBefore;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_ticked[i])
            total = total + m_entries[i].net();
    }
    return total;
}

} // namespace movilibro::reconcile
