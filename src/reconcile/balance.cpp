#include "reconcile/balance.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "db/schema.h"
#include "db/upgrade.h"
#include "format/formatengine.h"

#include <sqlite3.h>

#include <optional>

namespace movilibro::reconcile {

namespace {

// In minus out over the rows; nullopt when a sum is no whole number (the
// daily totals of amounts beyond the integer range).
std::optional<Currency> netOf(db::Statement& st)
{
    Currency net;
    while (st.step()) {
        for (int col : {0, 1}) {
            const int type = sqlite3_column_type(st.handle(), col);
            if (type == SQLITE_NULL)
                continue;
            if (type != SQLITE_INTEGER)
                return std::nullopt;
            const Currency amount = Currency::fromRaw(st.int64(col));
            net = col == 0 ? net + amount : net - amount;
        }
    }
    return net;
}

std::optional<Currency> net(db::Connection& conn, const QString& sql, qint64 accountId, const QDate& day)
{
    db::Statement st = conn.prepare(sql);
    st.bind(0, accountId).bind(1, db::isoDate(day));
    return netOf(st);
}

} // namespace

Currency balanceAt(db::Connection& conn, qint64 accountId, const QDate& day)
{
    // A file of an older version, not yet opened by the program, has no daily totals.
    if (db::recogniseSchema(conn) >= db::schema::ReconciliationVersion) {
        if (const auto fromDays = net(conn,
                                      QStringLiteral("SELECT sgEntrate, sgUscite FROM %1 WHERE sgConto = ? "
                                                     "AND sgData <= ?")
                                          .arg(QLatin1String(db::schema::DailyTotalsTable)),
                                      accountId, day))
            return *fromDays;
    }
    // Entry by entry; an amount that is no whole number counts as empty, as in the grid.
    return *net(conn,
                QStringLiteral("SELECT CASE WHEN typeof(mlEntrate) = 'integer' THEN mlEntrate END, "
                               "CASE WHEN typeof(mlUscite) = 'integer' THEN mlUscite END "
                               "FROM Movilibro WHERE mlConto = ? AND mlData <= ?"),
                accountId, day);
}

QString italianAmount(Currency amount)
{
    static const QLocale Italian(QLocale::Italian, QLocale::Italy);
    const bool cents = amount.raw() % 100 == 0;
    return Format::number(amount, cents ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0.0000"), Italian);
}

} // namespace movilibro::reconcile
