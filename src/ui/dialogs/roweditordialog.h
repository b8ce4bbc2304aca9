#pragma once

#include "db/connection.h"
#include "db/pendingrow.h"

#include <QDialog>

#include <memory>
#include <optional>

class QAbstractButton;

namespace movilibro {

class EditorKeys;
class JournalView;

// What the entry and account editors share: one connection and one pending
// row while open, the keyboard rules, no close box, and the save and cancel
// sequences.
class RowEditorDialog : public QDialog
{
    Q_OBJECT
protected:
    explicit RowEditorDialog(QWidget* parent);
    ~RowEditorDialog() override;

    // Call once the controls exist.
    void installKeys(QAbstractButton* cancel);
    EditorKeys& keys() { return *m_keys; }

    struct RowSource
    {
        QString table;
        QString existingSelect; // empty for a new row
        QString missingText;    // told when the existing row is gone
    };
    // Opens the connection and the row, telling the user when it cannot.
    bool openRow(JournalView& view, const RowSource& source);
    db::PendingRow& row() { return *m_row; }
    db::Connection& connection() { return *m_conn; }
    JournalView& view() { return *m_view; }

    // Shows the dialog modally; true when it was closed by a save.
    bool showModal();
    // Writes the row, then closes the connection, pauses, reloads the main
    // window and closes. On failure tells the user and stays open, keeping
    // what was typed.
    void saveAndClose(const QString& failureText);
    void cancelAndClose();

    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void release();

    EditorKeys* m_keys = nullptr;
    JournalView* m_view = nullptr;
    // Held by pointer: the pending row keeps the connection's address.
    std::unique_ptr<db::Connection> m_conn;
    std::optional<db::PendingRow> m_row;
};

} // namespace movilibro
