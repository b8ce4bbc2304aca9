#pragma once

#include "ui/reconcile/accountday.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace movilibro {

class JournalView;

// "Conta di cassa": the cash counted, typed or by banknotes and coins,
// beside the journal's balance; "Registra" writes the difference as an
// entry and records the count.
class frmContaCassa : public QDialog
{
    Q_OBJECT
public:
    explicit frmContaCassa(QWidget* parent = nullptr);

    // Shows the window modally on the account (the first when 0) at today.
    void Mostra(JournalView& view, qint64 accountId);

private:
    void readBalance();
    void onPieces();
    void showDifference();
    void onRecord();

    JournalView* m_view = nullptr;
    AccountDay m_target;
    std::vector<QSpinBox*> m_pieces;
    QLineEdit* txtContato;
    QLabel* lblSaldoGiornale;
    QLabel* lblDifferenza;
    QPushButton* cmdRegistra;
    QPushButton* cmdChiudi;
    std::optional<Currency> m_balance;
};

} // namespace movilibro
