#pragma once

#include <QString>

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
    // the account between them. Throws db::DbError when the file refuses.
    static Result deleteIfUnused(const QString& connString, qint64 id);
};

} // namespace movilibro
