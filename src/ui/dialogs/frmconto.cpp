#include "ui/dialogs/frmconto.h"

#include "ui/dialogs/dialogstyle.h"
#include "ui/dialogs/editorkeys.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace movilibro {

namespace {
const QString Table = QStringLiteral("Conti");
const QString NameField = QStringLiteral("cntNome");
} // namespace

frmConto::frmConto(QWidget* parent) : RowEditorDialog(parent)
{
    setObjectName(QStringLiteral("frmConto"));
    setFont(dialogstyle::verdana());

    Label1 = new QLabel(QStringLiteral("Conto"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(dialogstyle::element(QStringLiteral("txtData"), 0));
    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    for (QPushButton* button : {cmdSalva, cmdAnnulla})
        button->setAutoDefault(false);
    setTabOrder(txtName, cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 3);
    grid->addWidget(txtName, 1, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->addWidget(cmdSalva, 2, 1);
    grid->addWidget(cmdAnnulla, 2, 2);
    setFixedSize(std::max(360, sizeHint().width()), sizeHint().height());

    connect(cmdSalva, &QPushButton::clicked, this, &frmConto::onSalva);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmConto::cancelAndClose);
    installKeys(cmdAnnulla);
    keys().setLeaveCheck(txtName, [this] { return !txtName->text().isEmpty(); });
}

bool frmConto::Nuovo(JournalView& journal)
{
    if (!openRow(journal, {Table, {}, {}}))
        return false;
    BindFields();
    setWindowTitle(QStringLiteral("Nuovo Conto"));
    return showModal();
}

bool frmConto::Apri(JournalView& journal, qint32 id)
{
    const RowSource source{Table, QStringLiteral("SELECT * FROM Conti WHERE cntId=") + QString::number(id),
                           QStringLiteral("Il conto scelto non esiste più: forse è stato eliminato.")};
    if (!openRow(journal, source))
        return false;
    BindFields();
    setWindowTitle(QStringLiteral("Modifica Conto"));
    return showModal();
}

void frmConto::BindFields()
{
    const int size = row().definedSize(NameField);
    txtName->setMaxLength(size > 0 ? size : 32767);
    txtName->setText(row().value(NameField).toString());
    txtName->setFocus(Qt::OtherFocusReason);
}

void frmConto::onSalva()
{
    if (!keys().focusedControlPasses())
        return;
    if (txtName->text().isEmpty()) {
        txtName->setFocus(Qt::OtherFocusReason);
        return;
    }
    row().setValue(NameField, txtName->text());
    saveAndClose(QStringLiteral("Impossibile salvare il conto."));
}

} // namespace movilibro
