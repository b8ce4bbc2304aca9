#include "ui/dialogs/reconciledchange.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "db/errortext.h"
#include "history/writes.h"
#include "reconcile/reconciliation.h"
#include "ui/prompt/prompt.h"

namespace movilibro {

bool reconciledChangeAllowed(QWidget* parent, db::Connection& conn, qint64 entryId)
{
    const std::optional<QDate> statement = reconcile::reconciledWith(conn, entryId);
    if (!statement)
        return true;
    const QString question = QStringLiteral("La registrazione è già stata riscontrata con l'estratto del %1. "
                                            "Modificarla comunque?")
                                 .arg(statement->toString(QStringLiteral("dd/MM/yyyy")));
    return Prompt::instance().message(parent, question, MsgStyle::YesNo) == Answer::Yes;
}

void askAndDeleteEntry(QWidget* parent, qint64 entryId, JournalView& view)
{
    if (Prompt::instance().message(parent, QStringLiteral("Eliminare la riga selezionata?"),
                                   MsgStyle::YesNo) != Answer::Yes)
        return;
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        if (!reconciledChangeAllowed(parent, conn, entryId))
            return;
        view.recorded(history::deleteEntry(conn, entryId, Clock::now()));
    } catch (const db::DbError& e) {
        Prompt::instance().message(
            parent, QStringLiteral("La registrazione non è stata eliminata.\n") + db::userMessage(e),
            MsgStyle::Ok);
    }
    view.gexsBind();
}

} // namespace movilibro
