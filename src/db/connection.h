#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace movilibro::db {

// A failure of the database engine or of the dialect layer. `code` is the
// SQLite result code (SQLITE_BUSY, SQLITE_CORRUPT, ...) or -1 for the dialect.
class DbError : public std::runtime_error
{
public:
    DbError(int code, const QString& message);
    int code() const { return m_code; }
    QString message() const { return QString::fromStdString(what()); }

private:
    int m_code;
};

class Statement;

// One connection to a journal file, opened for one operation and closed when
// the object goes. Every connection carries the engine functions (Format,
// Month, iif, isnull) and the Italian collation.
class Connection
{
public:
    enum class Mode
    {
        ReadWrite,
        ReadOnly
    };

    // Opens an existing file; never creates one.
    static Connection open(const QString& path, Mode mode = Mode::ReadWrite);
    // Opens the file named by a connection string (see connstring.h).
    static Connection openConnString(const QString& connString, Mode mode = Mode::ReadWrite);

    // How long a statement waits for another program's lock before failing.
    // Connections opened afterwards use it; tests shorten it.
    static void setBusyTimeout(int ms);
    static int busyTimeout();

    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    sqlite3* handle() const { return m_db; }
    QString path() const { return m_path; }

    // SQLite text, run as is (several statements allowed).
    void exec(const QString& sql);
    // One statement in the Jet dialect, translated first. Returns rows changed.
    int execJet(const QString& jetSql);

    Statement prepare(const QString& sql);
    Statement prepareJet(const QString& jetSql);

    qint64 lastInsertId() const;
    int changes() const;

private:
    Connection() = default;
    void close();
    sqlite3* m_db = nullptr;
    QString m_path;
};

// A prepared statement. Columns and parameters are 0-based.
class Statement
{
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, qint64 value);
    Statement& bind(int index, const QString& value);
    Statement& bindNull(int index);
    Statement& bind(int index, std::optional<qint64> value);

    // Next row: true while there is one. Throws DbError on failure.
    bool step();
    void reset();
    // Runs to the end; returns rows changed.
    int run();

    int columnCount() const;
    QString columnName(int col) const;
    // The declared type of a result column, when it comes from a table.
    QString columnDeclType(int col) const;
    bool isNull(int col) const;
    bool isInteger(int col) const;
    qint64 int64(int col) const;
    QString text(int col) const;
    // Text without a QString copy, for the fast reload path.
    QByteArrayView utf8(int col) const;
    // An ISO date column ("YYYY-MM-DD"); an invalid date when null or malformed.
    QDate date(int col) const;

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    friend class Connection;
    Statement(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// BEGIN IMMEDIATE on construction; rolled back unless commit() ran. Inside
// another transaction on the same connection it is a savepoint of it: its
// changes are written when the outer one commits.
class Transaction
{
public:
    explicit Transaction(Connection& conn);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();

private:
    Connection& m_conn;
    bool m_nested;
    bool m_done = false;
};

} // namespace movilibro::db
