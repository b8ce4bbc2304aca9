#include "reconcile/reconciliation.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "journal/reconciledmarks.h"
#include "reconcile/balance.h"

namespace movilibro::reconcile {

namespace {

Currency amountAt(db::Statement& st, int col)
{
    return st.isInteger(col) ? Currency::fromRaw(st.int64(col)) : Currency();
}

} // namespace

std::vector<OpenEntry> openEntries(db::Connection& conn, qint64 accountId, const QDate& day)
{
    db::Statement st = conn.prepare(QStringLiteral(
        "SELECT mlId, mlData, mlDescrizione, mlEntrate, mlUscite FROM Movilibro WHERE mlConto = ? "
        "AND mlData <= ? AND mlId NOT IN (SELECT mlId FROM Riscontri) ORDER BY mlData, mlId"));
    st.bind(0, accountId).bind(1, db::isoDate(day));
    std::vector<OpenEntry> entries;
    while (st.step())
        entries.push_back({st.int64(0), st.date(1), st.text(2), amountAt(st, 3), amountAt(st, 4)});
    return entries;
}

Currency reconciledNet(db::Connection& conn, qint64 accountId, const QDate& day)
{
    db::Statement st = conn.prepare(QStringLiteral(
        "SELECT mlEntrate, mlUscite FROM Movilibro JOIN Riscontri USING (mlId) WHERE mlConto = ? "
        "AND mlData <= ?"));
    st.bind(0, accountId).bind(1, db::isoDate(day));
    Currency net;
    while (st.step())
        net = net + amountAt(st, 0) - amountAt(st, 1);
    return net;
}

void requireAccount(db::Connection& conn, qint64 accountId)
{
    db::Statement st = conn.prepare(QStringLiteral("SELECT 1 FROM Conti WHERE cntId = ?"));
    st.bind(0, accountId);
    if (!st.step())
        throw ReconcileError(QStringLiteral("Il conto scelto non esiste più nel giornale."));
}

qint64 insertReconciliation(db::Connection& conn, const Reconciliation& r,
                            std::optional<qint64> differenceEntry)
{
    conn.prepare(QStringLiteral("INSERT INTO Quadrature (qdConto, qdData, qdTipo, qdSaldoEstratto, "
                                "qdSaldoGiornale, qdDifferenza, qdRegistrata) VALUES (?, ?, ?, ?, ?, ?, ?)"))
        .bind(0, r.accountId)
        .bind(1, db::isoDate(r.date))
        .bind(2, qint64(r.kind))
        .bind(3, r.statementBalance.raw())
        .bind(4, r.journalBalance.raw())
        .bind(5, differenceEntry)
        .bind(6, r.recordedAt.toString(Qt::ISODate))
        .run();
    return conn.lastInsertId();
}

Reconciliation recordReconciliation(db::Connection& conn, qint64 accountId, const QDate& day,
                                    Currency statementBalance, const std::vector<qint64>& ticked,
                                    const QDateTime& now)
{
    db::Transaction tx(conn);
    requireAccount(conn, accountId);
    Reconciliation r{0,
                     accountId,
                     day,
                     Reconciliation::Kind::Statement,
                     statementBalance,
                     balanceAt(conn, accountId, day),
                     now};
    r.id = insertReconciliation(conn, r, std::nullopt);
    db::Statement mark = conn.prepare(
        QStringLiteral("INSERT INTO Riscontri (mlId, qdId) SELECT mlId, ? FROM Movilibro WHERE mlId = ? AND "
                       "mlConto = ? AND mlData <= ? AND mlId NOT IN (SELECT mlId FROM Riscontri)"));
    for (const qint64 id : ticked) {
        mark.bind(0, r.id).bind(1, id).bind(2, accountId).bind(3, db::isoDate(day));
        r.ticked += mark.run();
        mark.reset();
    }
    tx.commit();
    return r;
}

std::optional<QDate> reconciledWith(db::Connection& conn, qint64 entryId)
{
    if (!journal::hasReconciliationTables(conn))
        return std::nullopt;
    db::Statement st = conn.prepare(
        QStringLiteral("SELECT qdData FROM Riscontri JOIN Quadrature USING (qdId) WHERE mlId = ?"));
    st.bind(0, entryId);
    return st.step() ? std::optional<QDate>(st.date(0)) : std::nullopt;
}

} // namespace movilibro::reconcile
