#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QPoint;
class QString;

namespace movilibro {

namespace grid {
class GroupedGrid;
}

// The journal grid's context menu (right click, the menu key, Shift+F10). A
// click on a row makes it current first, so that the commands act on it;
// those that need an entry are enabled only on an entry row.
class GridMenu : public QObject
{
    Q_OBJECT
public:
    GridMenu(grid::GroupedGrid& grid, std::function<bool()> onEntry);

    // A command of the menu alone; `keys` is only shown beside it.
    QAction* addCommand(const QString& name, const QString& text, const QString& keys, bool needsEntry,
                        std::function<void()> run);
    // An action the window owns, with its own keys and enabled state.
    void addAction(QAction* action);
    void addSeparator();
    QMenu* menu() const { return m_menu; }

private:
    void popUp(const QPoint& pos);

    grid::GroupedGrid& m_grid;
    std::function<bool()> m_onEntry;
    QMenu* m_menu;
    QList<QAction*> m_entryActions;
};

} // namespace movilibro
