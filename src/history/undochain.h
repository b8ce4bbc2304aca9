#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace movilibro::db {
class Connection;
}

namespace movilibro::history {

// The writes of this run that can be undone and redone, one step (one
// command of the user, one or more log lines) at a time. A new write drops
// what could be redone. An import or a purge ends the chain: nothing before
// it is undone, whichever program made it.
class UndoChain
{
public:
    // A step just written; an empty one is ignored.
    void recorded(const std::vector<qint64>& lines);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void clear();

    // Reverses the newest step (or the newest undone one) in one transaction,
    // each line logged. Returns false, with `refusal` set and the journal
    // unchanged, when the items were changed since or the chain ends there:
    // the chain is then cleared. Throws db::DbError, the chain kept.
    bool undo(db::Connection& conn, const QDateTime& when, QString& refusal);
    bool redo(db::Connection& conn, const QDateTime& when, QString& refusal);

private:
    using Step = std::vector<qint64>;
    bool reverseLast(db::Connection& conn, const QDateTime& when, bool undoing, QString& refusal);

    std::vector<Step> m_undo, m_redo;
};

} // namespace movilibro::history
