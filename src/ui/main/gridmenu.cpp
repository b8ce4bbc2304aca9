#include "ui/main/gridmenu.h"

#include "ui/grid/groupedgrid.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace movilibro {

GridMenu::GridMenu(grid::GroupedGrid& grid, std::function<bool()> onEntry)
    : QObject(&grid), m_grid(grid), m_onEntry(std::move(onEntry)), m_menu(new QMenu(&grid))
{
    m_menu->setObjectName(QStringLiteral("mnuGiornale"));
    QTreeView* view = grid.view();
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &GridMenu::popUp);
}

QAction* GridMenu::addCommand(const QString& name, const QString& text, const QString& keys, bool needsEntry,
                              std::function<void()> run)
{
    auto* action = new QAction(text + u'\t' + keys, m_menu);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, std::move(run));
    m_menu->addAction(action);
    if (needsEntry)
        m_entryActions << action;
    return action;
}

void GridMenu::addAction(QAction* action)
{
    m_menu->addAction(action);
}

void GridMenu::addSeparator()
{
    m_menu->addSeparator();
}

void GridMenu::popUp(const QPoint& pos)
{
    QTreeView* view = m_grid.view();
    const QModelIndex clicked = view->indexAt(pos);
    if (clicked.isValid())
        view->setCurrentIndex(clicked);
    const bool entry = m_onEntry();
    for (QAction* action : m_entryActions)
        action->setEnabled(entry);
    m_menu->popup(view->viewport()->mapToGlobal(pos));
}

} // namespace movilibro
