#pragma once

#include <QHash>
#include <QToolBar>

class QAction;
class QMenu;
class QStyle;

namespace movilibro {

// The main toolbar `tb`: each action carries its key as objectName.
class MainToolbar : public QToolBar
{
    Q_OBJECT
public:
    explicit MainToolbar(QWidget* parent = nullptr);

    QAction* action(const QString& key) const { return m_actions.value(key); }
    QMenu* viewMenu() const { return m_viewMenu; }
    // The keys that an empty period disables.
    static const QStringList& rowCommandKeys();

signals:
    void command(const QString& key);
    // Position 1..5 of the "view" menu item.
    void menuItemClicked(int position);

private:
    void addCommand(const QString& key, const QString& caption, const QString& tooltip);

    QHash<QString, QAction*> m_actions;
    QMenu* m_viewMenu = nullptr;
    QStyle* m_buttonStyle = nullptr;
};

} // namespace movilibro
