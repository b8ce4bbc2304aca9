#pragma once

#include "format/currency.h"
#include "reconcile/reconciliation.h"

#include <QDate>

#include <optional>
#include <vector>

namespace movilibro::db {
class Connection;
}

namespace movilibro::reconcile {

// Where a reconciliation starts: an account, and the day and balance of a
// statement when there is one (else today, with no balance).
struct StatementTarget
{
    qint64 accountId = 0;
    QDate day;
    std::optional<Currency> balance;
};

// What the reconciliation window shows for an account at a day: the
// journal's balance, the statement's, the entries not yet reconciled with
// their ticks, and the reconciled total the ticks make.
class ReconcileSheet
{
public:
    // Reads the account at the end of the day; the ticks start cleared.
    // Throws db::DbError, CurrencyOverflow.
    void load(db::Connection& conn, qint64 accountId, const QDate& day);

    qint64 accountId() const { return m_accountId; }
    const QDate& day() const { return m_day; }
    const std::vector<OpenEntry>& entries() const { return m_entries; }

    void setStatementBalance(Currency balance) { m_statement = balance; }
    Currency statementBalance() const { return m_statement; }
    Currency journalBalance() const { return m_journal; }
    // Statement minus journal. Throws CurrencyOverflow.
    Currency difference() const { return m_statement - m_journal; }

    void setTicked(int index, bool ticked);
    bool isTicked(int index) const { return m_ticked.at(size_t(index)); }
    std::vector<qint64> tickedIds() const;
    // The entries reconciled before, with the ticked ones. Throws CurrencyOverflow.
    Currency reconciled() const;

private:
    qint64 m_accountId = 0;
    QDate m_day;
    Currency m_statement, m_journal, m_reconciledBefore;
    std::vector<OpenEntry> m_entries;
    std::vector<bool> m_ticked;
};

} // namespace movilibro::reconcile
