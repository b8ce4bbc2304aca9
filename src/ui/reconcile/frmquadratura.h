#pragma once

#include "reconcile/sheet.h"
#include "ui/reconcile/accountday.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace movilibro {

class JournalView;

// "Quadratura": an account's balance at a day beside a statement's, and the
// entries up to that day not yet reconciled, to tick and record.
class frmQuadratura : public QDialog
{
    Q_OBJECT
public:
    explicit frmQuadratura(QWidget* parent = nullptr);

    // Shows the window modally on the account (the first when 0), at the
    // statement's day with its balance filled in, or at today.
    void Mostra(JournalView& view, const reconcile::StatementTarget& target);

private:
    void reload();
    void showEntries();
    void showTotals();
    void onTick(QTreeWidgetItem* item);
    void onRecord();
    void onFromStatement();

    JournalView* m_view = nullptr;
    AccountDay m_target;
    QLineEdit* txtSaldoEstratto;
    QLabel* lblSaldoGiornale;
    QLabel* lblDifferenza;
    QLabel* lblRiscontrato;
    QTreeWidget* lstRegistrazioni;
    QPushButton* cmdDaEstratto;
    QPushButton* cmdRegistra;
    QPushButton* cmdChiudi;
    reconcile::ReconcileSheet m_sheet;
    bool m_loaded = false;
};

} // namespace movilibro
