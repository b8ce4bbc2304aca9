#include "history/moves.h"

#include "history/sqlvalues.h"

namespace movilibro::history {

namespace {

bool hasReferences(db::Connection& conn)
{
    db::Statement st = conn.prepare(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'Riferimenti'"));
    return st.step();
}

void run(db::Connection& conn, const QString& sql, qint64 id, const QString& when = {})
{
    db::Statement st = conn.prepare(sql);
    st.bind(0, id);
    if (!when.isNull())
        st.bind(1, when);
    st.run();
}

void entryToBin(db::Connection& conn, qint64 id, const QDateTime& when)
{
    const bool references = hasReferences(conn);
    run(conn,
        QStringLiteral(
            "INSERT OR REPLACE INTO Cestino (mlId, mlData, mlConto, mlDescrizione, mlEntrate, "
            "mlUscite, cntNome, rfRiferimento, ceEliminato) SELECT m.mlId, m.mlData, m.mlConto, "
            "m.mlDescrizione, m.mlEntrate, m.mlUscite, c.cntNome, %1, ?2 FROM Movilibro m LEFT JOIN "
            "Conti c ON c.cntId = m.mlConto WHERE m.mlId = ?1")
            .arg(references
                     ? QStringLiteral("(SELECT rfRiferimento FROM Riferimenti r WHERE r.mlId = m.mlId)")
                     : QStringLiteral("NULL")),
        id, storedTime(when));
    // The reference leaves with its entry: an import meanwhile neither
    // matches it nor clears it away.
    if (references)
        run(conn, QStringLiteral("DELETE FROM Riferimenti WHERE mlId = ?"), id);
    conn.execJet(QStringLiteral("DELETE * FROM Movilibro WHERE mlId=") + QString::number(id));
}

void entryFromBin(db::Connection& conn, qint64 id)
{
    run(conn,
        QStringLiteral("INSERT INTO Movilibro (mlId, mlData, mlConto, mlDescrizione, mlEntrate, mlUscite) "
                       "SELECT mlId, mlData, mlConto, mlDescrizione, mlEntrate, mlUscite FROM Cestino "
                       "WHERE mlId = ?"),
        id);
    if (hasReferences(conn))
        run(conn,
            QStringLiteral("INSERT OR REPLACE INTO Riferimenti (mlId, rfRiferimento) SELECT mlId, "
                           "rfRiferimento FROM Cestino WHERE mlId = ? AND rfRiferimento IS NOT NULL"),
            id);
    run(conn, QStringLiteral("DELETE FROM Cestino WHERE mlId = ?"), id);
}

void accountToBin(db::Connection& conn, qint64 id, const QDateTime& when)
{
    db::Statement used =
        conn.prepareJet(QStringLiteral("SELECT * FROM Movilibro WHERE mlConto=") + QString::number(id));
    if (used.step())
        throw Refusal(QStringLiteral("il conto è usato da una o più registrazioni."));
    run(conn,
        QStringLiteral("INSERT OR REPLACE INTO CestinoConti (cntId, cntNome, ceEliminato) "
                       "SELECT cntId, cntNome, ?2 FROM Conti WHERE cntId = ?1"),
        id, storedTime(when));
    conn.execJet(QStringLiteral("DELETE * FROM Conti WHERE cntId=") + QString::number(id));
}

void accountFromBin(db::Connection& conn, qint64 id)
{
    run(conn,
        QStringLiteral("INSERT INTO Conti (cntId, cntNome) SELECT cntId, cntNome FROM CestinoConti "
                       "WHERE cntId = ?"),
        id);
    run(conn, QStringLiteral("DELETE FROM CestinoConti WHERE cntId = ?"), id);
}

// An entry needs its account in the journal to be listed anywhere.
void ensureAccount(db::Connection& conn, const Values& entry, Kind kind, const QDateTime& when,
                   std::vector<qint64>& lines)
{
    if (!entry.account)
        return;
    const Item account{Item::Account, *entry.account};
    const State now = currentState(conn, account);
    if (now.place == Place::Journal)
        return;
    if (now.place == Place::Bin) {
        moveItem(conn, account, Place::Journal, kind, when, lines);
        return;
    }
    // Ids are never reused, so the account's own id is still free.
    db::Statement st = conn.prepare(QStringLiteral("INSERT INTO Conti (cntId, cntNome) VALUES (?, ?)"));
    st.bind(0, account.id);
    sql::bind(st, 1, entry.name);
    st.run();
    LogLine line{0, when, kind, 0, account, now, currentState(conn, account), {}};
    lines.push_back(append(conn, line));
}

void writeValues(db::Connection& conn, const Item& item, const Values& v)
{
    if (item.kind == Item::Account) {
        db::Statement st = conn.prepare(QStringLiteral("UPDATE Conti SET cntNome = ? WHERE cntId = ?"));
        sql::bind(st, 0, v.name);
        st.bind(1, item.id).run();
        return;
    }
    db::Statement st =
        conn.prepare(QStringLiteral("UPDATE Movilibro SET mlData = ?, mlConto = ?, "
                                    "mlDescrizione = ?, mlEntrate = ?, mlUscite = ? WHERE mlId = ?"));
    sql::bind(st, 0, v.date);
    sql::bind(st, 1, v.account);
    sql::bind(st, 2, v.description);
    sql::bind(st, 3, v.in);
    sql::bind(st, 4, v.out);
    st.bind(5, item.id).run();
}

QString goneText(const Item& item)
{
    return item.kind == Item::Entry
               ? QStringLiteral("la registrazione non c'è più: è stata eliminata per sempre.")
               : QStringLiteral("il conto non c'è più: è stato eliminato per sempre.");
}

} // namespace

void moveItem(db::Connection& conn, const Item& item, Place to, Kind kind, const QDateTime& when,
              std::vector<qint64>& lines, const Values* values, qint64 reverses)
{
    const State before = currentState(conn, item);
    if (before.place == Place::None)
        throw Refusal(goneText(item));
    const bool entry = item.kind == Item::Entry;
    if (before.place == Place::Journal && to == Place::Bin) {
        entry ? entryToBin(conn, item.id, when) : accountToBin(conn, item.id, when);
    } else if (before.place == Place::Bin && to == Place::Journal) {
        if (entry)
            ensureAccount(conn, before.values, kind, when, lines);
        entry ? entryFromBin(conn, item.id) : accountFromBin(conn, item.id);
    }
    if (values && to == Place::Journal && !sameState(item, {to, *values}, currentState(conn, item))) {
        if (entry)
            ensureAccount(conn, *values, kind, when, lines);
        writeValues(conn, item, *values);
    }
    lines.push_back(append(conn, {0, when, kind, reverses, item, before, currentState(conn, item), {}}));
}

void reverse(db::Connection& conn, const LogLine& line, Kind kind, const QDateTime& when,
             std::vector<qint64>& lines)
{
    if (!line.item || line.kind == Kind::Import || line.kind == Kind::EmptyBin)
        throw Refusal(QStringLiteral("questa operazione non si può annullare."));
    const Item& item = *line.item;
    const State now = currentState(conn, item);
    if (now.place == Place::None)
        throw Refusal(goneText(item));
    if (!sameState(item, now, line.after))
        throw Refusal(item.kind == Item::Entry
                          ? QStringLiteral("la registrazione è stata modificata nel frattempo (da "
                                           "un'importazione o da un altro programma).")
                          : QStringLiteral("il conto è stato modificato nel frattempo."));
    const Place to = line.before.place == Place::None ? Place::Bin : line.before.place;
    moveItem(conn, item, to, kind, when, lines, &line.before.values, line.id);
}

} // namespace movilibro::history
