#include "ui/main/journalhistory.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/history/frmcestino.h"
#include "ui/history/frmcronologia.h"
#include "ui/prompt/prompt.h"

#include <QAction>
#include <QWidget>

namespace movilibro {

JournalHistory::JournalHistory(QWidget& window, JournalView& view,
                               std::function<std::optional<qint64>()> currentEntry)
    : QObject(&window), m_window(window), m_view(view), m_currentEntry(std::move(currentEntry))
{
    addAction(QStringLiteral("actUndo"), QStringLiteral("Annulla"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
              &JournalHistory::undo);
    addAction(QStringLiteral("actRedo"), QStringLiteral("Ripeti"),
              {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
              &JournalHistory::redo);
    addAction(QStringLiteral("actCestino"), QStringLiteral("Cestino…"),
              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)}, &JournalHistory::showBin);
    addAction(QStringLiteral("actStoria"), QStringLiteral("Storia…"), {QKeySequence(Qt::CTRL | Qt::Key_H)},
              &JournalHistory::showEntryHistory);
    addAction(QStringLiteral("actRegistro"), QStringLiteral("Registro delle modifiche…"),
              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)}, &JournalHistory::showPeriodLog);
    updateActions();
}

QAction* JournalHistory::addAction(const QString& name, const QString& text, const QList<QKeySequence>& keys,
                                   void (JournalHistory::*command)())
{
    auto* action = new QAction(text, &m_window);
    action->setObjectName(name);
    action->setShortcuts(keys);
    // Only while the main window is active: the dialogs keep their own keys.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, command);
    m_window.addAction(action);
    m_actions.insert(name, action);
    return action;
}

void JournalHistory::recorded(const std::vector<qint64>& logLines)
{
    m_chain.recorded(logLines);
    updateActions();
}

void JournalHistory::updateActions()
{
    m_actions.value(QStringLiteral("actUndo"))->setEnabled(m_chain.canUndo());
    m_actions.value(QStringLiteral("actRedo"))->setEnabled(m_chain.canRedo());
}

void JournalHistory::undo()
{
    reverse(true);
}

void JournalHistory::redo()
{
    reverse(false);
}

// Reloads as a save does; a refusal or a failure leaves the journal as it was.
void JournalHistory::reverse(bool undoing)
{
    if (undoing ? !m_chain.canUndo() : !m_chain.canRedo())
        return;
    const QString what = undoing ? QStringLiteral("Impossibile annullare l'operazione")
                                 : QStringLiteral("Impossibile ripetere l'operazione");
    QString refusal;
    bool done = false;
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        done =
            undoing ? m_chain.undo(conn, Clock::now(), refusal) : m_chain.redo(conn, Clock::now(), refusal);
    } catch (const db::DbError& e) {
        Prompt::instance().message(&m_window, databaseFailureText(what + u'.', e), MsgStyle::Ok);
        return;
    }
    updateActions();
    if (!done) {
        Prompt::instance().message(&m_window,
                                   what + QStringLiteral(": ") + refusal +
                                       QStringLiteral("\nIl giornale non è stato modificato."),
                                   MsgStyle::Ok);
        return;
    }
    m_view.gexsBind();
}

void JournalHistory::showBin()
{
    auto* bin = m_window.findChild<frmCestino*>(QString(), Qt::FindDirectChildrenOnly);
    if (!bin)
        bin = new frmCestino(&m_window);
    bin->Mostra(m_view);
}

void JournalHistory::showEntryHistory()
{
    if (const std::optional<qint64> id = m_currentEntry())
        frmCronologia::showEntry(&m_window, *id);
}

void JournalHistory::showPeriodLog()
{
    frmCronologia::showPeriod(&m_window, m_view.viewState().selected);
}

} // namespace movilibro
