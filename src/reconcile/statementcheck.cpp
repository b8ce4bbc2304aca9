#include "reconcile/statementcheck.h"

#include "reconcile/balance.h"
#include "statement/statement.h"

namespace movilibro::reconcile {

namespace {

QString day(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

std::vector<BalanceComparison> compareWithStatement(db::Connection& conn, qint64 accountId,
                                                    const statement::StatementAccount& account)
{
    std::vector<BalanceComparison> found;
    if (account.closing) {
        const QDate at = account.closing->date;
        found.push_back({BalanceComparison::Kind::Closing, at, at, account.closing->amount,
                         balanceAt(conn, accountId, at)});
    }
    if (account.opening) {
        const QDate before = account.opening->date.addDays(-1);
        found.push_back({BalanceComparison::Kind::Opening, account.opening->date, before,
                         account.opening->amount, balanceAt(conn, accountId, before)});
    }
    return found;
}

QString comparisonLine(const BalanceComparison& c, const QString& accountName)
{
    // One arg() call each: an account named "%4" stays as it is.
    const QString statement =
        c.kind == BalanceComparison::Kind::Closing
            ? QStringLiteral(
                  "Saldo finale dell'estratto al %1: %2 · Saldo di %3 nel giornale alla stessa data: ")
                  .arg(day(c.statementDate), italianAmount(c.statement), accountName)
            : QStringLiteral("Saldo iniziale dell'estratto al %1: %2 · Saldo di %3 nel giornale il giorno "
                             "prima (%4): ")
                  .arg(day(c.statementDate), italianAmount(c.statement), accountName, day(c.journalDate));
    return statement + italianAmount(c.journal) + QStringLiteral(" · Differenza: ") +
           italianAmount(c.difference());
}

} // namespace movilibro::reconcile
