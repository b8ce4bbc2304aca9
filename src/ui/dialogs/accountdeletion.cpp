#include "ui/dialogs/accountdeletion.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "db/errortext.h"
#include "history/moves.h"
#include "ui/prompt/prompt.h"

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

void AccountDeletion::askAndDelete(QWidget* parent, qint64 id, JournalView& view)
{
    if (Prompt::instance().message(parent, QStringLiteral("Eliminare il Conto selezionato?"),
                                   MsgStyle::YesNo) != Answer::Yes)
        return;
    // No current account (an empty list): nothing to delete.
    if (id == 0)
        return;
    try {
        std::vector<qint64> logLines;
        if (deleteIfUnused(mainmod::ConnString, id, logLines, Clock::now()) == Result::InUse)
            Prompt::instance().message(
                parent, QStringLiteral("Conto presente in una o più registrazioni: non verrà eliminato."),
                MsgStyle::Ok);
        view.recorded(logLines);
    } catch (const db::DbError& e) {
        Prompt::instance().message(
            parent, QStringLiteral("Il conto non è stato eliminato.\n") + db::userMessage(e), MsgStyle::Ok);
    }
}

} // namespace movilibro
