#include "ui/main/accountspane.h"

#include "ui/grid/cellstyle.h"
#include "ui/grid/querygrid.h"

#include <QAction>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace movilibro {

AccountsPane::AccountsPane(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    auto* title = new QLabel(QStringLiteral("Conti"), this);
    title->setObjectName(QStringLiteral("lblTitle_4"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto* tbConti = new QToolBar(this);
    tbConti->setObjectName(QStringLiteral("tbConti"));
    tbConti->setIconSize(QSize(18, 18));
    const std::pair<const char*, const char*> buttons[] = {
        {"new", "Nuovo Conto"}, {"edit", "Modifica Conto"}, {"delete", "Elimina Conto"}};
    for (const auto& [key, tooltip] : buttons) {
        const QString k = QString::fromLatin1(key);
        QAction* a = tbConti->addAction(QIcon(QStringLiteral(":/icons/account-%1.svg").arg(k)), QString());
        a->setObjectName(QStringLiteral("tbConti_") + k);
        a->setToolTip(QString::fromUtf8(tooltip));
        connect(a, &QAction::triggered, this, [this, k] { emit command(k); });
    }
    layout->addWidget(tbConti);

    m_grid = new grid::QueryGrid(this);
    m_grid->setObjectName(QStringLiteral("gexContiView"));
    m_grid->setRecordSource(QStringLiteral("SELECT * FROM Conti ORDER BY cntNome"));
    m_grid->setHeaderVisible(false);
    m_grid->setGridLinesVisible(false);
    m_grid->setNavigatorVisible(false);
    m_grid->addStyle(QStringLiteral("OddRow"), grid::colorFromBgr(12582911));
    m_grid->addStyle(QStringLiteral("EvenRow"), grid::colorFromBgr(12703664));
    m_grid->setAlternatingRowStyles(QStringLiteral("OddRow"), QStringLiteral("EvenRow"));
    m_grid->setBorderVisible(false);
    m_grid->setEmptyRowsVisible(true);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    m_grid->setFont(verdana);
    layout->addWidget(m_grid, 1);
    addReconcileMenu();
}

// Outside the pane's toolbar, which keeps its three buttons.
void AccountsPane::addReconcileMenu()
{
    QWidget* view = m_grid->view();
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    const std::pair<const char*, const char*> items[] = {{"reconcile", "Quadratura…"},
                                                         {"cashcount", "Conta di cassa…"}};
    for (const auto& [key, text] : items) {
        const QString k = QString::fromLatin1(key);
        auto* a = new QAction(QString::fromUtf8(text), view);
        a->setObjectName(k == u"reconcile" ? QStringLiteral("mnuQuadratura")
                                           : QStringLiteral("mnuContaCassa"));
        connect(a, &QAction::triggered, this, [this, k] { emit command(k); });
        view->addAction(a);
    }
}

void AccountsPane::setConnectionString(const QString& connString)
{
    m_grid->setConnectionString(connString);
}

bool AccountsPane::reload()
{
    m_grid->setRecordSource(QStringLiteral("SELECT * FROM Conti ORDER BY cntNome"));
    const bool ok = m_grid->refresh(true);
    if (ok && m_grid->columnCount() >= 2) {
        m_grid->setColumnVisible(1, false);
        m_grid->setColumnWidth(2, 123);
    }
    return ok;
}

QString AccountsPane::lastError() const
{
    return m_grid->lastError();
}

qint64 AccountsPane::currentAccountId() const
{
    const QVariant id = m_grid->currentValue(1);
    return id.isValid() ? id.toLongLong() : 0;
}

} // namespace movilibro
