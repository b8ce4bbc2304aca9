#pragma once

#include "db/periods.h"
#include "format/currency.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>
#include <stdexcept>
#include <vector>

namespace movilibro::db {
class Connection;
}

namespace movilibro::reconcile {

// What cannot be recorded as asked; the text is Italian, for the user.
class ReconcileError : public std::runtime_error
{
public:
    explicit ReconcileError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// A balance the journal was compared with, as recorded (table Quadrature).
struct Reconciliation
{
    enum class Kind
    {
        Statement = 0, // a bank statement's balance
        CashCount = 1  // the cash counted in the drawer
    };
    qint64 id = 0;
    qint64 accountId = 0;
    QDate date;
    Kind kind = Kind::Statement;
    Currency statementBalance; // or the cash counted
    Currency journalBalance;   // at the end of `date`, when recorded
    QDateTime recordedAt;
    int ticked = 0; // entries marked as reconciled with it
};

// An entry of the account not yet reconciled.
struct OpenEntry
{
    qint64 id = 0;
    QDate date;
    QString description;
    Currency incomes;
    Currency outgoings;
    // Throws CurrencyOverflow.
    Currency net() const { return incomes - outgoings; }
};

// The account's entries up to and including the day that no reconciliation
// ticked, oldest first. Throws db::DbError.
std::vector<OpenEntry> openEntries(db::Connection& conn, qint64 accountId, const QDate& day);

// The net of the account's entries up to the day already reconciled.
// Throws db::DbError, CurrencyOverflow.
Currency reconciledNet(db::Connection& conn, qint64 accountId, const QDate& day);

// Records the comparison of the account's balance at the end of the day
// with a statement's, and marks the ticked entries as reconciled with it, in
// one transaction. The journal's balance is read again inside it. Ticked
// entries that meanwhile left the account or the days up to `day`, or were
// reconciled, are not marked. Throws db::DbError, CurrencyOverflow, or
// ReconcileError when the account no longer exists.
Reconciliation recordReconciliation(db::Connection& conn, qint64 accountId, const QDate& day,
                                    Currency statementBalance, const std::vector<qint64>& ticked,
                                    const QDateTime& now);

// The day of the statement the entry was reconciled with, if any. A file
// without the tables has none. Throws db::DbError.
std::optional<QDate> reconciledWith(db::Connection& conn, qint64 entryId);

// Shared by the writers: the account must still exist, inside the transaction.
void requireAccount(db::Connection& conn, qint64 accountId);
// Writes one Quadrature row; returns its id.
qint64 insertReconciliation(db::Connection& conn, const Reconciliation& r,
                            std::optional<qint64> differenceEntry);

} // namespace movilibro::reconcile
