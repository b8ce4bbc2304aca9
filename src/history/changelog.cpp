#include "history/changelog.h"

#include "history/sqlvalues.h"

#include <array>

namespace movilibro::history {

namespace {

constexpr std::array<const char*, 9> Codes = {"nuovo",        "modifica",     "eliminazione",
                                              "ripristino",   "annullamento", "ripetizione",
                                              "importazione", "pulizia",      "svuotamento"};

const char* placeCode(Place place)
{
    return place == Place::Journal ? "giornale" : place == Place::Bin ? "cestino" : nullptr;
}

Place placeFromCode(const QString& code)
{
    return code == u"giornale" ? Place::Journal : code == u"cestino" ? Place::Bin : Place::None;
}

const QString Columns = QStringLiteral(
    "crId, crQuando, crTipo, crInverte, mlId, cntId, crPrimaDove, crPrimaData, crPrimaConto, crPrimaNome, "
    "crPrimaDescrizione, crPrimaEntrate, crPrimaUscite, crDopoDove, crDopoData, crDopoConto, crDopoNome, "
    "crDopoDescrizione, crDopoEntrate, crDopoUscite, crNota");
constexpr int BeforeColumn = 6, AfterColumn = 13;

void bindState(db::Statement& st, int first, const State& state)
{
    const char* place = placeCode(state.place);
    sql::bind(st, first, place ? QString::fromLatin1(place) : QString());
    const Values& v = state.values;
    sql::bind(st, first + 1, v.date);
    sql::bind(st, first + 2, v.account);
    sql::bind(st, first + 3, v.name);
    sql::bind(st, first + 4, v.description);
    sql::bind(st, first + 5, v.in);
    sql::bind(st, first + 6, v.out);
}

State readState(const db::Statement& st, int first)
{
    return {placeFromCode(st.text(first)),
            Values{sql::text(st, first + 1), sql::integer(st, first + 2), sql::text(st, first + 3),
                   sql::text(st, first + 4), sql::integer(st, first + 5), sql::integer(st, first + 6)}};
}

LogLine readLogLine(const db::Statement& st)
{
    LogLine line;
    line.id = st.int64(0);
    line.when = parseStoredTime(st.text(1));
    line.kind = kindFromCode(st.text(2)).value_or(Kind::Change);
    line.reverses = st.isNull(3) ? 0 : st.int64(3);
    if (!st.isNull(4))
        line.item = Item{Item::Entry, st.int64(4)};
    else if (!st.isNull(5))
        line.item = Item{Item::Account, st.int64(5)};
    line.before = readState(st, BeforeColumn);
    line.after = readState(st, AfterColumn);
    line.note = st.text(20);
    return line;
}

std::vector<LogLine> readLines(db::Statement& st)
{
    std::vector<LogLine> lines;
    while (st.step())
        lines.push_back(readLogLine(st));
    return lines;
}

} // namespace

QString kindCode(Kind kind)
{
    return QString::fromLatin1(Codes[size_t(kind)]);
}

std::optional<Kind> kindFromCode(const QString& code)
{
    for (size_t i = 0; i < Codes.size(); ++i) {
        if (code == QLatin1String(Codes[i]))
            return Kind(i);
    }
    return std::nullopt;
}

QString storedTime(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime parseStoredTime(const QString& text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool hasHistory(db::Connection& conn)
{
    db::Statement st = conn.prepare(QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('Cestino', 'CestinoConti', "
        "'Cronologia')"));
    return st.step() && st.int64(0) == 3;
}

qint64 append(db::Connection& conn, const LogLine& line)
{
    db::Statement st = conn.prepare(QStringLiteral("INSERT INTO Cronologia (") + Columns.section(u',', 1) +
                                    QStringLiteral(") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    st.bind(0, storedTime(line.when)).bind(1, kindCode(line.kind));
    st.bind(2, line.reverses ? std::optional<qint64>(line.reverses) : std::nullopt);
    const bool entry = line.item && line.item->kind == Item::Entry;
    const bool account = line.item && line.item->kind == Item::Account;
    st.bind(3, entry ? std::optional<qint64>(line.item->id) : std::nullopt);
    st.bind(4, account ? std::optional<qint64>(line.item->id) : std::nullopt);
    bindState(st, BeforeColumn - 1, line.before);
    bindState(st, AfterColumn - 1, line.after);
    sql::bind(st, 19, line.note);
    st.run();
    return conn.lastInsertId();
}

qint64 appendOperation(db::Connection& conn, Kind kind, const QString& note, const QDateTime& when,
                       qint64 accountId)
{
    if (!hasHistory(conn))
        return 0;
    LogLine line;
    line.when = when;
    line.kind = kind;
    line.note = note;
    // An import names the account it went into.
    if (accountId)
        line.item = Item{Item::Account, accountId};
    return append(conn, line);
}

std::optional<LogLine> readLine(db::Connection& conn, qint64 id)
{
    db::Statement st =
        conn.prepare(QStringLiteral("SELECT ") + Columns + QStringLiteral(" FROM Cronologia WHERE crId = ?"));
    st.bind(0, id);
    if (!st.step())
        return std::nullopt;
    return readLogLine(st);
}

std::vector<LogLine> linesOf(db::Connection& conn, const Item& item)
{
    db::Statement st = conn.prepare(
        QStringLiteral("SELECT ") + Columns +
        (item.kind == Item::Entry ? QStringLiteral(" FROM Cronologia WHERE mlId = ? ORDER BY crId")
                                  : QStringLiteral(" FROM Cronologia WHERE cntId = ? AND mlId IS NULL AND "
                                                   "crTipo <> 'importazione' ORDER BY crId")));
    st.bind(0, item.id);
    return readLines(st);
}

std::vector<LogLine> linesBetween(db::Connection& conn, const QDate& first, const QDate& last)
{
    db::Statement st = conn.prepare(QStringLiteral("SELECT ") + Columns +
                                    QStringLiteral(" FROM Cronologia WHERE crQuando >= ? AND crQuando < ? "
                                                   "ORDER BY crId"));
    st.bind(0, first.toString(Qt::ISODate)).bind(1, last.addDays(1).toString(Qt::ISODate));
    return readLines(st);
}

qint64 barrierAfter(db::Connection& conn, qint64 since)
{
    db::Statement st = conn.prepare(QStringLiteral(
        "SELECT max(crId) FROM Cronologia WHERE crId > ? AND crTipo IN ('importazione', 'pulizia')"));
    st.bind(0, since);
    return st.step() && !st.isNull(0) ? st.int64(0) : 0;
}

} // namespace movilibro::history
