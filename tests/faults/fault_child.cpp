// Writes to a journal the way the program does, until the parent kills it.
// Says "ready" first, so the parent's kill timer starts only once it runs,
// then reports each write only after it is committed.
//   fault_child save FOLDER FIRST   saves entries FIRST, FIRST+1, ... forever
//   fault_child purge FOLDER        purges every entry up to 31/12/2010
//   fault_child import FOLDER FILE  imports the bank statement FILE into account 1
//   fault_child count FOLDER        counts one euro more cash in account 1 than it
//                                   holds, then reconciles the entry, forever
//   fault_child bin FOLDER          deletes, undoes, deletes and restores entries 1-20 forever
#include "db/connection.h"
#include "db/connstring.h"
#include "db/pendingrow.h"
#include "history/undochain.h"
#include "history/writes.h"
#include "reconcile/balance.h"
#include "reconcile/cashcount.h"
#include "statement/statement.h"
#include "ui/dialogs/entrypurge.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

using namespace movilibro;

namespace {

void said(const char* what, qint64 id)
{
    std::printf("%s %lld\n", what, static_cast<long long>(id));
    std::fflush(stdout);
}

// What a kill left in the bin comes back first.
void restoreAll(db::Connection conn)
{
    for (const history::BinRow& row : history::binContents(conn)) {
        history::restore(conn, {row.item}, QDateTime::currentDateTime());
        said("restored", row.item.id);
    }
}

void binCycle(db::Connection conn, qint64 id)
{
    const QDateTime now = QDateTime::currentDateTime();
    const history::Item item{history::Item::Entry, id};
    history::UndoChain chain;
    chain.recorded(history::deleteEntry(conn, id, now));
    said("deleted", id);
    QString refusal;
    if (!chain.undo(conn, now, refusal))
        throw std::runtime_error(refusal.toStdString());
    said("undone", id);
    history::deleteEntry(conn, id, now);
    said("deleted", id);
    history::restore(conn, {item}, now);
    said("restored", id);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString connString = db::connStringFor(args[2]);
    std::printf("ready\n");
    std::fflush(stdout);
    try {
        if (args[1] == u"purge") {
            EntryPurge purge(connString, QDate(2010, 12, 31));
            purge.count();
            std::printf("purged %d\n", purge.deleteCounted());
        }
        if (args[1] == u"import") {
            statement::Statement s = statement::readStatement(args.value(3));
            db::Connection conn = db::Connection::openConnString(connString);
            const QString journal = args[2] + QStringLiteral("/movilibro.mdb");
            std::printf("imported %d\n",
                        statement::importMovements(conn, journal, 1, s.movements, 0).imported);
        }
        for (int n = 1; args[1] == u"count"; ++n) {
            db::Connection conn = db::Connection::openConnString(connString);
            const QDate day(2012, 5, 5);
            const QDateTime now(day, QTime(12, 0));
            const Currency cash = reconcile::balanceAt(conn, 1, day) + Currency::fromUnits(1);
            const qint64 entry = *reconcile::recordCashCount(conn, 1, day, cash, now).differenceEntry;
            reconcile::recordReconciliation(conn, 1, day, cash, {entry}, now);
            std::printf("counted %d %lld\n", n, static_cast<long long>(entry));
            std::fflush(stdout);
        }
        if (args[1] == u"bin")
            restoreAll(db::Connection::openConnString(connString));
        for (qint64 n = 0; args[1] == u"bin"; ++n)
            binCycle(db::Connection::openConnString(connString), n % 20 + 1);
        for (qint64 n = args.value(3).toLongLong(); args[1] == u"save"; ++n) {
            db::Connection conn = db::Connection::openConnString(connString);
            db::PendingRow row = db::PendingRow::addNew(conn, QStringLiteral("Movilibro"));
            row.setValue(QStringLiteral("mlData"), QStringLiteral("2012-05-05"));
            row.setValue(QStringLiteral("mlConto"), qint64(1));
            row.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("voce %1").arg(n));
            row.setValue(QStringLiteral("mlEntrate"), n * 100);
            row.setValue(QStringLiteral("mlUscite"), qint64(0));
            const qint64 id = row.save();
            std::printf("saved %lld %lld\n", static_cast<long long>(n), static_cast<long long>(id));
            std::fflush(stdout);
        }
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
