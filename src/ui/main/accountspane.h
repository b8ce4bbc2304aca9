#pragma once

#include <QWidget>

class QToolBar;

namespace movilibro {

namespace grid {
class QueryGrid;
}

// The accounts list beside the journal, with its toolbar `tbConti`.
class AccountsPane : public QWidget
{
    Q_OBJECT
public:
    explicit AccountsPane(QWidget* parent = nullptr);

    grid::QueryGrid* grid() const { return m_grid; }
    void setConnectionString(const QString& connString);
    // Runs the accounts query again; false (and lastError) when it fails.
    bool reload();
    QString lastError() const;
    // The id of the current account, or 0 when there is none.
    qint64 currentAccountId() const;

signals:
    void command(const QString& key);

private:
    void addReconcileMenu();

    grid::QueryGrid* m_grid;
};

} // namespace movilibro
