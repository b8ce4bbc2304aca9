#include "ui/dialogs/accountdeletion.h"

#include "db/connection.h"
#include "history/moves.h"

namespace movilibro {

namespace {

bool accountInUse(db::Connection& conn, qint64 id)
{
    db::Statement entries =
        conn.prepareJet(QStringLiteral("SELECT * FROM Movilibro WHERE mlConto=") + QString::number(id));
    return entries.step();
}

} // namespace

AccountDeletion::Result AccountDeletion::deleteIfUnused(const QString& connString, qint64 id,
                                                        std::vector<qint64>& logLines, const QDateTime& when)
{
    db::Connection conn = db::Connection::openConnString(connString);
    db::Transaction tx(conn);
    if (accountInUse(conn, id))
        return Result::InUse;
    const history::Item account{history::Item::Account, id};
    if (history::hasHistory(conn)) {
        if (history::currentState(conn, account).place != history::Place::Journal)
            return Result::Missing;
        history::moveItem(conn, account, history::Place::Bin, history::Kind::Delete, when, logLines);
        tx.commit();
        return Result::Deleted;
    }
    const int deleted =
        conn.execJet(QStringLiteral("DELETE * FROM Conti WHERE cntId=") + QString::number(id));
    tx.commit();
    return deleted > 0 ? Result::Deleted : Result::Missing;
}

} // namespace movilibro
