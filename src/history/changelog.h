#pragma once

#include "history/state.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace movilibro::db {
class Connection;
}

namespace movilibro::history {

// The kinds of writes the log keeps, stored by their code.
enum class Kind
{
    New,
    Change,
    Delete,
    Restore,  // from the bin
    Undo,     // reverses the line `reverses`
    Redo,     // reverses an undo
    Import,   // a bank statement or an old journal, as one line
    Purge,    // the entries up to a date
    EmptyBin, // the bin emptied for good
};
QString kindCode(Kind kind);
std::optional<Kind> kindFromCode(const QString& code);

// One line of the change log: when, what, on which item, its state before
// and after. An import, a purge and the emptying of the bin have no item,
// only a note with their counts and copy.
struct LogLine
{
    qint64 id = 0;
    QDateTime when;
    Kind kind = Kind::New;
    qint64 reverses = 0;
    std::optional<Item> item;
    State before, after;
    QString note;
};

// The bin and the log exist (schema version 4): a journal whose upgrade
// failed is still written, without them.
bool hasHistory(db::Connection& conn);

// Appends the line within the caller's transaction; returns its id.
qint64 append(db::Connection& conn, const LogLine& line);
// An import, purge or emptying of the bin, when the journal has a log; 0 otherwise.
qint64 appendOperation(db::Connection& conn, Kind kind, const QString& note,
                       const QDateTime& when = QDateTime::currentDateTime(), qint64 accountId = 0);

std::optional<LogLine> readLine(db::Connection& conn, qint64 id);
// The lines about one item, oldest first.
std::vector<LogLine> linesOf(db::Connection& conn, const Item& item);
// The lines written on the days from `first` to `last`, oldest first.
std::vector<LogLine> linesBetween(db::Connection& conn, const QDate& first, const QDate& last);
// The newest import or purge written after line `since`; 0 when none.
qint64 barrierAfter(db::Connection& conn, qint64 since);

// The time as the log and the bin store it: local, to the second.
QString storedTime(const QDateTime& when);
QDateTime parseStoredTime(const QString& text);

} // namespace movilibro::history
