#include "reconcile/cashcount.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "history/changelog.h"
#include "reconcile/balance.h"

#include <limits>

namespace movilibro::reconcile {

QString denominationName(qint64 cents)
{
    return (cents % 100 == 0 ? QString::number(cents / 100)
                             : QStringLiteral("0,%1").arg(cents, 2, 10, QLatin1Char('0'))) +
           QStringLiteral(" €");
}

Currency countedCash(const std::vector<qint64>& pieces)
{
    Currency total;
    for (size_t i = 0; i < pieces.size() && i < DenominationCents.size(); ++i) {
        const Currency one = Currency::fromRaw(DenominationCents[i] * 100);
        // Repeated addition would be slow for a typing slip of many digits.
        if (pieces[i] < 0 || (pieces[i] > 0 && one.raw() > std::numeric_limits<qint64>::max() / pieces[i]))
            throw CurrencyOverflow();
        total = total + Currency::fromRaw(one.raw() * pieces[i]);
    }
    return total;
}

namespace {

// As an entry typed in the editor: in the entry's history, undone as one step.
std::vector<qint64> logNewEntry(db::Connection& conn, qint64 id, const QDateTime& now)
{
    if (!history::hasHistory(conn))
        return {};
    history::LogLine line;
    line.when = now;
    line.kind = history::Kind::New;
    line.item = history::Item{history::Item::Entry, id};
    line.after = history::currentState(conn, *line.item);
    line.note = QStringLiteral("Conta di cassa");
    return {history::append(conn, line)};
}

} // namespace

CashCount recordCashCount(db::Connection& conn, qint64 accountId, const QDate& day, Currency counted,
                          const QDateTime& now)
{
    db::Transaction tx(conn);
    requireAccount(conn, accountId);
    CashCount done;
    done.record = {
        0, accountId, day, Reconciliation::Kind::CashCount, counted, balanceAt(conn, accountId, day), now};
    const Currency difference = counted - done.record.journalBalance;
    if (!difference.isZero()) {
        const qint64 raw = difference.raw();
        conn.prepare(
                QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, mlUscite) "
                               "VALUES (?, ?, ?, ?, ?)"))
            .bind(0, db::isoDate(day))
            .bind(1, accountId)
            .bind(2, CashDifferenceText)
            .bind(3, raw > 0 ? raw : qint64(0))
            .bind(4, raw < 0 ? difference.abs().raw() : qint64(0))
            .run();
        done.differenceEntry = conn.lastInsertId();
        done.logLines = logNewEntry(conn, *done.differenceEntry, now);
    }
    done.record.id = insertReconciliation(conn, done.record, done.differenceEntry);
    tx.commit();
    return done;
}

} // namespace movilibro::reconcile
