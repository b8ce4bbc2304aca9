#include "ui/dialogs/dbmessages.h"

#include "db/errortext.h"

namespace movilibro {

QString databaseFailureText(const QString& whatFailed, const db::DbError& error)
{
    return whatFailed + QStringLiteral("\n") + db::userMessage(error);
}

} // namespace movilibro
