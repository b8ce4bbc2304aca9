#pragma once

#include "history/undochain.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace movilibro {

class JournalView;

// Undo and redo of this run's writes, the bin and the change log, as the main
// window offers them: each command an action with its keys, for the window
// and the grid's context menu.
class JournalHistory : public QObject
{
    Q_OBJECT
public:
    // `currentEntry` gives the id of the entry on the grid's current row.
    JournalHistory(QWidget& window, JournalView& view, std::function<std::optional<qint64>()> currentEntry);

    // actUndo, actRedo, actCestino, actStoria, actRegistro.
    QAction* action(const QString& name) const { return m_actions.value(name); }
    // A write made: one step to undo.
    void recorded(const std::vector<qint64>& logLines);

    void undo();
    void redo();
    void showBin();
    void showEntryHistory();
    void showPeriodLog();

private:
    QAction* addAction(const QString& name, const QString& text, const QList<QKeySequence>& keys,
                       void (JournalHistory::*command)());
    void reverse(bool undoing);
    void updateActions();

    QWidget& m_window;
    JournalView& m_view;
    std::function<std::optional<qint64>()> m_currentEntry;
    history::UndoChain m_chain;
    QHash<QString, QAction*> m_actions;
};

} // namespace movilibro
