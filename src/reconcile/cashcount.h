#pragma once

#include "format/currency.h"
#include "reconcile/reconciliation.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace movilibro::db {
class Connection;
}

namespace movilibro::reconcile {

// Euro banknotes and coins, in cents, from 500 € down to 1 cent.
inline constexpr std::array<qint64, 15> DenominationCents{50000, 20000, 10000, 5000, 2000, 1000, 500, 200,
                                                          100,   50,    20,    10,   5,    2,    1};

// "500 €", "0,50 €".
QString denominationName(qint64 cents);

// The cash of so many pieces of each denomination (in the order above;
// missing ones count none). Throws CurrencyOverflow.
Currency countedCash(const std::vector<qint64>& pieces);

// The description of the entry that brings the journal to the cash counted.
inline const QString CashDifferenceText = QStringLiteral("Differenza di cassa");

struct CashCount
{
    Reconciliation record;
    std::optional<qint64> differenceEntry; // the entry written, when the cash differed
    std::vector<qint64> logLines;          // that entry's line in the change log, for undo
};

// Records a cash count of the account at the end of the day, in one
// transaction: when the cash counted differs from the journal's balance, one
// entry "Differenza di cassa" of that day brings the journal to it (in
// Entrate when there is more cash, in Uscite when less); then the count is
// recorded as a reconciliation, with the balance before that entry. Throws
// db::DbError, CurrencyOverflow, or ReconcileError when the account no longer exists.
CashCount recordCashCount(db::Connection& conn, qint64 accountId, const QDate& day, Currency counted,
                          const QDateTime& now);

} // namespace movilibro::reconcile
