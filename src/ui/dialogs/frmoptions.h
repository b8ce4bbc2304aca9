#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace movilibro {

class JournalView;

// The preferences: working date, date grouping, first month of the fiscal
// year. There is no cancel: however the dialog closes, what it shows is kept.
class frmOptions : public QDialog
{
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    // Shows the current values modally and stores them when it closes.
    void Mostra(JournalView& view);

    void done(int result) override;

private:
    void load();
    // Working date in memory, both parameters in the journal (one transaction).
    void store();

    JournalView* m_view = nullptr;
    QDateEdit* dtp;
    QComboBox* cmbData[2];
    QLabel* lblData[3];
    QPushButton* cmdClose;
};

// The preferences command: the dialog, then SettaAmbiente and gexsBind,
// whatever happened in it. The dialog is made once, as a child of `owner`
// (by default the view itself when it is a window).
void runPreferences(JournalView& view, QWidget* owner = nullptr);

} // namespace movilibro
