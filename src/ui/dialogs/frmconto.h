#pragma once

#include "ui/dialogs/roweditordialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace movilibro {

// The account editor: the name of one account, new or existing.
class frmConto : public RowEditorDialog
{
    Q_OBJECT
public:
    explicit frmConto(QWidget* parent = nullptr);

    // Both return when the dialog has closed: true when the account was saved.
    bool Nuovo(JournalView& view);
    bool Apri(JournalView& view, qint32 id);

    void BindFields();

private:
    void onSalva();

    QLabel* Label1;
    QLineEdit* txtName;
    QPushButton* cmdSalva;
    QPushButton* cmdAnnulla;
};

} // namespace movilibro
