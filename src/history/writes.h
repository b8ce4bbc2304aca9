#pragma once

#include "history/state.h"

#include <QDateTime>

#include <vector>

namespace movilibro::db {
class Connection;
class PendingRow;
} // namespace movilibro::db

namespace movilibro::history {

// The writes of the windows, each in one transaction with its log lines.
// Each returns the ids of the lines written: the one step an undo reverses.
// On a journal without the bin and the log (an upgrade that failed), the
// write is made as before and nothing is logged. Throw db::DbError and
// Refusal; the journal is then unchanged.

// Moves the entry to the bin; nothing when there is no such entry.
std::vector<qint64> deleteEntry(db::Connection& conn, qint64 id, const QDateTime& when);

// Writes an editor's pending row (of Movilibro or Conti) as a new or changed
// item; a save that changed nothing is not logged.
std::vector<qint64> saveRow(db::Connection& conn, db::PendingRow& row, const QDateTime& when);

// Takes the items out of the bin, an entry's account with it.
std::vector<qint64> restore(db::Connection& conn, const std::vector<Item>& items, const QDateTime& when);

// What the bin holds, entries first, the latest deleted first.
struct BinRow
{
    Item item;
    Values values;
    QDateTime deleted;
};
std::vector<BinRow> binContents(db::Connection& conn);

// Empties the bin for good, a log line for each item; returns how many.
int emptyBin(db::Connection& conn, const QDateTime& when);

} // namespace movilibro::history
