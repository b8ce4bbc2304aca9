#include "history/state.h"

#include "history/sqlvalues.h"

namespace movilibro::history {

namespace {

std::optional<Values> readEntry(db::Connection& conn, const QString& query, qint64 id)
{
    db::Statement st = conn.prepare(query);
    st.bind(0, id);
    if (!st.step())
        return std::nullopt;
    return Values{sql::text(st, 0), sql::integer(st, 1), sql::text(st, 2),
                  sql::text(st, 3), sql::integer(st, 4), sql::integer(st, 5)};
}

std::optional<Values> readAccount(db::Connection& conn, const QString& query, qint64 id)
{
    db::Statement st = conn.prepare(query);
    st.bind(0, id);
    if (!st.step())
        return std::nullopt;
    Values v;
    v.name = sql::text(st, 0);
    return v;
}

State stateOf(Place place, const std::optional<Values>& values)
{
    return values ? State{place, *values} : State{};
}

} // namespace

State currentState(db::Connection& conn, const Item& item)
{
    if (item.kind == Item::Account) {
        if (auto v = readAccount(conn, QStringLiteral("SELECT cntNome FROM Conti WHERE cntId = ?"), item.id))
            return stateOf(Place::Journal, v);
        return stateOf(
            Place::Bin,
            readAccount(conn, QStringLiteral("SELECT cntNome FROM CestinoConti WHERE cntId = ?"), item.id));
    }
    if (auto v =
            readEntry(conn,
                      QStringLiteral("SELECT m.mlData, m.mlConto, c.cntNome, m.mlDescrizione, m.mlEntrate, "
                                     "m.mlUscite FROM Movilibro m LEFT JOIN Conti c ON c.cntId = m.mlConto "
                                     "WHERE m.mlId = ?"),
                      item.id))
        return stateOf(Place::Journal, v);
    return stateOf(Place::Bin,
                   readEntry(conn,
                             QStringLiteral("SELECT mlData, mlConto, cntNome, mlDescrizione, mlEntrate, "
                                            "mlUscite FROM Cestino WHERE mlId = ?"),
                             item.id));
}

bool sameState(const Item& item, const State& a, const State& b)
{
    if (a.place != b.place)
        return false;
    if (item.kind == Item::Account)
        return a.values.name == b.values.name;
    Values left = a.values, right = b.values;
    left.name.clear(), right.name.clear();
    return left == right;
}

} // namespace movilibro::history
