#include "history/undochain.h"

#include "db/connection.h"
#include "history/moves.h"

#include <algorithm>

namespace movilibro::history {

void UndoChain::recorded(const std::vector<qint64>& lines)
{
    if (lines.empty())
        return;
    m_undo.push_back(lines);
    m_redo.clear();
}

void UndoChain::clear()
{
    m_undo.clear();
    m_redo.clear();
}

bool UndoChain::undo(db::Connection& conn, const QDateTime& when, QString& refusal)
{
    return reverseLast(conn, when, true, refusal);
}

bool UndoChain::redo(db::Connection& conn, const QDateTime& when, QString& refusal)
{
    return reverseLast(conn, when, false, refusal);
}

bool UndoChain::reverseLast(db::Connection& conn, const QDateTime& when, bool undoing, QString& refusal)
{
    std::vector<Step>& from = undoing ? m_undo : m_redo;
    if (from.empty())
        return false;
    const Step& step = from.back();
    Step written;
    try {
        db::Transaction tx(conn);
        if (barrierAfter(conn, *std::min_element(step.begin(), step.end())))
            throw Refusal(QStringLiteral("dopo di essa il giornale è stato cambiato da un'importazione o "
                                         "dall'eliminazione delle registrazioni fino a una data, che non si "
                                         "annullano (ne resta la copia nella cartella backup)."));
        for (auto id = step.rbegin(); id != step.rend(); ++id) {
            const std::optional<LogLine> line = readLine(conn, *id);
            if (!line)
                throw Refusal(QStringLiteral("la sua riga nella cronologia non c'è più."));
            reverse(conn, *line, undoing ? Kind::Undo : Kind::Redo, when, written);
        }
        tx.commit();
    } catch (const Refusal& r) {
        refusal = r.reason();
        clear();
        return false;
    }
    from.pop_back();
    (undoing ? m_redo : m_undo).push_back(written);
    return true;
}

} // namespace movilibro::history
