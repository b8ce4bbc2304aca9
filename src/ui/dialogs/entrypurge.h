#pragma once

#include "db/connection.h"

#include <QDate>
#include <QString>

#include <optional>

namespace movilibro {

// Every entry dated on or before a cut-off day, of every account, counted
// and then deleted inside one transaction: what is deleted is exactly what
// was counted. Dropping the object without deleteCounted() changes nothing.
class EntryPurge
{
public:
    // Opens the journal and takes its write lock. Throws db::DbError.
    EntryPurge(const QString& connString, const QDate& cutOff);
    EntryPurge(const EntryPurge&) = delete;
    EntryPurge& operator=(const EntryPurge&) = delete;

    static QString countStatement(const QDate& cutOff);
    static QString deleteStatement(const QDate& cutOff);

    qint64 count();
    // Deletes and commits, with a line in the change log naming the copy
    // kept before; returns the rows deleted. Throws db::DbError.
    int deleteCounted(const QString& copy = {});

private:
    QDate m_cutOff;
    db::Connection m_conn;
    std::optional<db::Transaction> m_tx;
};

} // namespace movilibro
