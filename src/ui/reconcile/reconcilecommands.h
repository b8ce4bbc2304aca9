#pragma once

#include "reconcile/sheet.h"

#include <QObject>

#include <functional>
#include <optional>

class QWidget;

namespace movilibro {

class JournalView;

// Opens the reconciliation and cash-count windows, one of each for the run,
// from the accounts pane's menu and after a statement's import.
class ReconcileCommands : public QObject
{
    Q_OBJECT
public:
    ReconcileCommands(QWidget& window, JournalView& view, std::function<qint64()> currentAccount);

    // "reconcile" and "cashcount"; other keys are not ours.
    void onAccountsCommand(const QString& key);
    // The user asked to reconcile the account with the imported statement.
    void afterImport(const std::optional<reconcile::StatementTarget>& asked);

private:
    template <typename Window> Window& window();

    QWidget& m_window;
    JournalView& m_view;
    std::function<qint64()> m_currentAccount;
};

} // namespace movilibro
