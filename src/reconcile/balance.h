#pragma once

#include "format/currency.h"

#include <QDate>
#include <QString>

namespace movilibro::db {
class Connection;
}

// Balances at a date, reconciliations with a bank statement, cash counts.
namespace movilibro::reconcile {

// The balance of an account at the end of a day: every entry of the account
// up to and including that day, whatever the period shown or the fiscal
// year. Throws db::DbError, or CurrencyOverflow when it leaves the range.
Currency balanceAt(db::Connection& conn, qint64 accountId, const QDate& day);

// An amount as Italians write it: "1.234,56", "-0,50"; four decimals when
// the amount has them ("12,3456"), so no difference is ever rounded away.
QString italianAmount(Currency amount);

} // namespace movilibro::reconcile
