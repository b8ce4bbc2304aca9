#include "journal/reconciledmarks.h"

#include "db/connection.h"
#include "db/enginefunctions.h"

namespace movilibro::journal {

bool hasReconciliationTables(db::Connection& conn)
{
    db::Statement st = conn.prepare(QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('Quadrature', 'Riscontri')"));
    return st.step() && st.int64(0) == 2;
}

QHash<qint64, QDate> reconciledEntries(db::Connection& conn, const DateRange& period)
{
    QHash<qint64, QDate> marks;
    if (!hasReconciliationTables(conn))
        return marks;
    db::Statement st = conn.prepare(
        QStringLiteral("SELECT r.mlId, q.qdData FROM Riscontri r JOIN Quadrature q ON q.qdId = r.qdId "
                       "JOIN Movilibro m ON m.mlId = r.mlId WHERE m.mlData BETWEEN ? AND ?"));
    st.bind(0, db::isoDate(period.start)).bind(1, db::isoDate(period.end));
    while (st.step())
        marks.insert(st.int64(0), st.date(1));
    return marks;
}

} // namespace movilibro::journal
