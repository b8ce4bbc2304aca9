#include "ui/dialogs/reconciledchange.h"

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

} // namespace movilibro
