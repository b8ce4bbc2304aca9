#include "history/writes.h"

#include "db/pendingrow.h"
#include "history/moves.h"
#include "history/sqlvalues.h"

namespace movilibro::history {

namespace {

std::vector<qint64> saveLogged(db::Connection& conn, db::PendingRow& row, const QDateTime& when)
{
    db::Transaction tx(conn);
    const bool logged = hasHistory(conn);
    const bool isNew = row.isNew();
    Item item{row.table().compare(QStringLiteral("Conti"), Qt::CaseInsensitive) == 0 ? Item::Account
                                                                                     : Item::Entry,
              row.key()};
    const State before = logged && !isNew ? currentState(conn, item) : State{};
    item.id = row.save();
    std::vector<qint64> lines;
    if (logged) {
        const State after = currentState(conn, item);
        if (isNew || !sameState(item, before, after))
            lines.push_back(
                append(conn, {0, when, isNew ? Kind::New : Kind::Change, 0, item, before, after, {}}));
    }
    tx.commit();
    return lines;
}

} // namespace

std::vector<qint64> deleteEntry(db::Connection& conn, qint64 id, const QDateTime& when)
{
    std::vector<qint64> lines;
    db::Transaction tx(conn);
    if (!hasHistory(conn))
        conn.execJet(QStringLiteral("DELETE * FROM Movilibro WHERE mlId=") + QString::number(id));
    else if (currentState(conn, {Item::Entry, id}).place == Place::Journal)
        moveItem(conn, {Item::Entry, id}, Place::Bin, Kind::Delete, when, lines);
    tx.commit();
    return lines;
}

std::vector<qint64> saveRow(db::Connection& conn, db::PendingRow& row, const QDateTime& when)
{
    // A row saved whose log line then fails is rolled back with it: the
    // editor keeps it pending, as new if it was.
    const db::PendingRow pending = row;
    try {
        return saveLogged(conn, row, when);
    } catch (...) {
        row = pending;
        throw;
    }
}

std::vector<qint64> restore(db::Connection& conn, const std::vector<Item>& items, const QDateTime& when)
{
    std::vector<qint64> lines;
    db::Transaction tx(conn);
    for (const Item& item : items) {
        // An account an entry before it brought back already.
        if (currentState(conn, item).place == Place::Bin)
            moveItem(conn, item, Place::Journal, Kind::Restore, when, lines);
    }
    tx.commit();
    return lines;
}

std::vector<BinRow> binContents(db::Connection& conn)
{
    std::vector<BinRow> rows;
    db::Statement entries = conn.prepare(QStringLiteral(
        "SELECT mlId, mlData, mlConto, cntNome, mlDescrizione, mlEntrate, mlUscite, ceEliminato "
        "FROM Cestino ORDER BY ceEliminato DESC, mlId DESC"));
    while (entries.step())
        rows.push_back({{Item::Entry, entries.int64(0)},
                        {sql::text(entries, 1), sql::integer(entries, 2), sql::text(entries, 3),
                         sql::text(entries, 4), sql::integer(entries, 5), sql::integer(entries, 6)},
                        parseStoredTime(entries.text(7))});
    db::Statement accounts = conn.prepare(QStringLiteral(
        "SELECT cntId, cntNome, ceEliminato FROM CestinoConti ORDER BY ceEliminato DESC, cntId DESC"));
    while (accounts.step()) {
        BinRow row{{Item::Account, accounts.int64(0)}, {}, parseStoredTime(accounts.text(2))};
        row.values.name = sql::text(accounts, 1);
        rows.push_back(row);
    }
    return rows;
}

int emptyBin(db::Connection& conn, const QDateTime& when)
{
    db::Transaction tx(conn);
    const std::vector<BinRow> rows = binContents(conn);
    for (const BinRow& row : rows) {
        const State before{Place::Bin, row.values};
        append(conn, {0, when, Kind::EmptyBin, 0, row.item, before, {}, {}});
    }
    conn.exec(QStringLiteral("DELETE FROM Cestino; DELETE FROM CestinoConti;"));
    tx.commit();
    return int(rows.size());
}

} // namespace movilibro::history
