#pragma once

#include "ui/dialogs/roweditordialog.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace movilibro {

class AmountEdit;
class DescriptionCompletion;

// The entry editor: one journal entry, new or existing, with its date,
// description, account and one amount in or out.
class frmScadenze : public RowEditorDialog
{
    Q_OBJECT
public:
    // The amount boxes' display: positive; negative; zero; empty.
    static inline const QString AmountFormat = QStringLiteral("#,#0.00 ;-#,#0.00 ;0.00 ;0.00 ");

    explicit frmScadenze(QWidget* parent = nullptr);

    // Both return when the dialog has closed: true when the entry was saved.
    // They open nothing (after telling the user) when the database or the
    // entry cannot be read.
    bool Nuovo(JournalView& view);
    bool Apri(JournalView& view, qint32 id);

    // Fills the account list afresh; false after telling the user it could not.
    bool InitCombos();
    // Shows the pending row in the controls.
    void BindFields();

private:
    void buildControls();
    void layOutControls();
    void installChecks();
    void onSalva();
    bool amountsAcceptable();
    // Asks first when the entry was reconciled.
    bool reconciledEntryMayChange();
    void writeFieldsToRow();

    QDateEdit* datData;
    QLineEdit* txtDescription;
    QComboBox* dtcData;
    AmountEdit* txtIn;
    AmountEdit* txtOut;
    QLabel* lblData[5];
    QPushButton* cmdSalva;
    QPushButton* cmdAnnulla;
    DescriptionCompletion* m_completion;
};

} // namespace movilibro
