#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

class QWidget;

namespace movilibro {

class JournalView;

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
    // The accounts pane's command: asks first, deletes the account (0: none)
    // and tells the user when it is in use or the file refused.
    static void askAndDelete(QWidget* parent, qint64 id, JournalView& view);

    static Result deleteIfUnused(const QString& connString, qint64 id, std::vector<qint64>& logLines,
                                 const QDateTime& when = QDateTime::currentDateTime());
};

} // namespace movilibro
