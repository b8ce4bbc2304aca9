#include "ui/reconcile/reconcilecommands.h"

#include "ui/reconcile/frmcontacassa.h"
#include "ui/reconcile/frmquadratura.h"

namespace movilibro {

ReconcileCommands::ReconcileCommands(QWidget& window, JournalView& view,
                                     std::function<qint64()> currentAccount)
    : QObject(&window), m_window(window), m_view(view), m_currentAccount(std::move(currentAccount))
{
    setObjectName(QStringLiteral("reconcileCommands"));
}

void ReconcileCommands::onAccountsCommand(const QString& key)
{
    if (key == u"reconcile")
        window<frmQuadratura>().Mostra(m_view, {m_currentAccount(), QDate(), std::nullopt});
    else if (key == u"cashcount")
        window<frmContaCassa>().Mostra(m_view, m_currentAccount());
}

void ReconcileCommands::afterImport(const std::optional<reconcile::StatementTarget>& asked)
{
    if (asked)
        window<frmQuadratura>().Mostra(m_view, *asked);
}

template <typename Window> Window& ReconcileCommands::window()
{
    auto* w = m_window.findChild<Window*>(QString(), Qt::FindDirectChildrenOnly);
    if (!w)
        w = new Window(&m_window);
    return *w;
}

} // namespace movilibro
