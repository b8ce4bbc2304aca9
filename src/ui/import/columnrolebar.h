#pragma once

#include "statement/statement.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QTableView;

namespace movilibro {

// A row of combo boxes standing above the columns of a table, one per column,
// each saying what its column holds.
class ColumnRoleBar : public QWidget
{
    Q_OBJECT
public:
    explicit ColumnRoleBar(QTableView* view, QWidget* parent = nullptr);

    void setRoles(const QList<statement::ColumnRole>& roles);
    const QList<statement::ColumnRole>& roles() const { return m_roles; }
    QComboBox* combo(int column) const { return m_combos.value(column); }
    // The Italian name of a role, as the combos list it.
    static QString roleName(statement::ColumnRole role);

    QSize sizeHint() const override;

signals:
    void rolesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void choose(int column, int comboIndex);
    void placeCombos();

    QTableView* m_view;
    QList<QComboBox*> m_combos;
    QList<statement::ColumnRole> m_roles;
};

} // namespace movilibro
