#include "db/connection.h"

#include "db/connstring.h"
#include "db/dialect.h"
#include "db/enginefunctions.h"

#include <sqlite3.h>

#include <utility>

namespace movilibro::db {

namespace {

int busyTimeoutMs = 2000;

[[noreturn]] void throwError(sqlite3* db, int rc, const QString& context = {})
{
    QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (!context.isEmpty())
        text = context + QStringLiteral(": ") + text;
    throw DbError(db ? sqlite3_extended_errcode(db) : rc, text);
}

void check(sqlite3* db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throwError(db, rc);
}

} // namespace

DbError::DbError(int code, const QString& message) : std::runtime_error(message.toStdString()), m_code(code)
{}

Connection Connection::open(const QString& path, Mode mode)
{
    Connection conn;
    conn.m_path = path;
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &conn.m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        DbError error(rc, conn.m_db ? QString::fromUtf8(sqlite3_errmsg(conn.m_db))
                                    : QString::fromUtf8(sqlite3_errstr(rc)));
        conn.close();
        throw error;
    }
    sqlite3_busy_timeout(conn.m_db, busyTimeoutMs);
    registerEngineFunctions(conn.m_db);
    // A large period read through the date index visits table pages out of
    // order; a roomy page cache keeps that from turning into re-reads.
    conn.exec(QStringLiteral("PRAGMA cache_size=-65536"));
    if (mode == Mode::ReadWrite)
        conn.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return conn;
}

void Connection::setBusyTimeout(int ms)
{
    busyTimeoutMs = ms;
}

int Connection::busyTimeout()
{
    return busyTimeoutMs;
}

Connection Connection::openConnString(const QString& connString, Mode mode)
{
    return open(databasePathFromConnString(connString), mode);
}

Connection::Connection(Connection&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path))
{}

Connection& Connection::operator=(Connection&& other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
    }
    return *this;
}

Connection::~Connection()
{
    close();
}

void Connection::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Connection::exec(const QString& sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString text = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(err);
        throw DbError(sqlite3_extended_errcode(m_db), text);
    }
}

int Connection::execJet(const QString& jetSql)
{
    Statement st = prepareJet(jetSql);
    return st.run();
}

Statement Connection::prepare(const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throwError(m_db, rc);
    if (!stmt)
        throw DbError(-1, QStringLiteral("Istruzione SQL vuota"));
    return Statement(m_db, stmt);
}

Statement Connection::prepareJet(const QString& jetSql)
{
    return prepare(translateJet(jetSql));
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const
{
    return sqlite3_changes(m_db);
}

Statement::Statement(Statement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr))
{}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement& Statement::bind(int index, qint64 value)
{
    check(m_db, sqlite3_bind_int64(m_stmt, index + 1, value));
    return *this;
}

Statement& Statement::bind(int index, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    check(m_db, sqlite3_bind_text(m_stmt, index + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindNull(int index)
{
    check(m_db, sqlite3_bind_null(m_stmt, index + 1));
    return *this;
}

Statement& Statement::bind(int index, std::optional<qint64> value)
{
    return value ? bind(index, *value) : bindNull(index);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throwError(m_db, rc);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

int Statement::run()
{
    while (step()) {
    }
    return sqlite3_changes(m_db);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int col) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, col));
}

QString Statement::columnDeclType(int col) const
{
    const char* t = sqlite3_column_decltype(m_stmt, col);
    return t ? QString::fromUtf8(t) : QString();
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

bool Statement::isInteger(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_INTEGER;
}

qint64 Statement::int64(int col) const
{
    return sqlite3_column_int64(m_stmt, col);
}

QString Statement::text(int col) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, col)) : QString();
}

QByteArrayView Statement::utf8(int col) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return p ? QByteArrayView(p, sqlite3_column_bytes(m_stmt, col)) : QByteArrayView();
}

QDate Statement::date(int col) const
{
    return parseIsoDate(utf8(col));
}

Transaction::Transaction(Connection& conn) : m_conn(conn), m_nested(!sqlite3_get_autocommit(conn.handle()))
{
    m_conn.exec(m_nested ? QStringLiteral("SAVEPOINT nested") : QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!m_done)
        sqlite3_exec(m_conn.handle(), m_nested ? "ROLLBACK TO nested; RELEASE nested" : "ROLLBACK", nullptr,
                     nullptr, nullptr);
}

void Transaction::commit()
{
    m_conn.exec(m_nested ? QStringLiteral("RELEASE nested") : QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace movilibro::db
