#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace movilibro {

// Deletion of an account, refused while an entry still uses it.
class AccountDeletion
{
public:
    enum class Result
    {
        Deleted,
        InUse,
        Missing // no account with that id: nothing changed
    };

    // The check and the delete run in one transaction, so no entry can take
    // the account between them. The account goes to the bin; the lines the
    // change log got are added to `logLines`. Throws db::DbError when the file
    // refuses.
    static Result deleteIfUnused(const QString& connString, qint64 id, std::vector<qint64>& logLines,
                                 const QDateTime& when = QDateTime::currentDateTime());
};

} // namespace movilibro
