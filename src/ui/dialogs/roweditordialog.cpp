#include "ui/dialogs/roweditordialog.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "history/writes.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/dialogs/editorkeys.h"
#include "ui/prompt/prompt.h"

#include <QCloseEvent>

namespace movilibro {

RowEditorDialog::RowEditorDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    mainmod::RemoveCloseMenu(this);
}

RowEditorDialog::~RowEditorDialog()
{
    release();
}

void RowEditorDialog::installKeys(QAbstractButton* cancel)
{
    m_keys = new EditorKeys(this, cancel);
}

bool RowEditorDialog::openRow(JournalView& view, const RowSource& source)
{
    release();
    m_view = &view;
    try {
        m_conn = std::make_unique<db::Connection>(db::Connection::openConnString(mainmod::ConnString));
        if (source.existingSelect.isEmpty())
            m_row.emplace(db::PendingRow::addNew(*m_conn, source.table));
        else
            m_row.emplace(db::PendingRow::openExisting(*m_conn, source.table, source.existingSelect));
    } catch (const db::DbError& e) {
        release();
        Prompt::instance().message(parentWidget(),
                                   databaseFailureText(QStringLiteral("Impossibile aprire il database."), e),
                                   MsgStyle::Ok);
        return false;
    }
    if (!m_row->found()) {
        release();
        Prompt::instance().message(parentWidget(), source.missingText, MsgStyle::Ok);
        return false;
    }
    return true;
}

bool RowEditorDialog::showModal()
{
    return exec() == QDialog::Accepted;
}

void RowEditorDialog::saveAndClose(const QString& failureText)
{
    std::vector<qint64> logLines;
    try {
        logLines = history::saveRow(*m_conn, *m_row, Clock::now());
    } catch (const db::DbError& e) {
        Prompt::instance().message(this, databaseFailureText(failureText, e), MsgStyle::Ok);
        return;
    }
    release();
    m_view->recorded(logLines);
    mainmod::ShortPause();
    m_view->gexsBind();
    done(QDialog::Accepted);
}

void RowEditorDialog::cancelAndClose()
{
    if (m_row)
        m_row->cancel();
    release();
    done(QDialog::Rejected);
}

void RowEditorDialog::reject()
{
    cancelAndClose();
}

void RowEditorDialog::closeEvent(QCloseEvent* event)
{
    // Only "Salva" and "Annulla" (or Esc) close an editor; they do not come here.
    event->ignore();
}

void RowEditorDialog::release()
{
    m_row.reset();
    m_conn.reset();
}

} // namespace movilibro
