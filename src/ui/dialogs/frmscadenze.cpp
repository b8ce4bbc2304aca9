#include "ui/dialogs/frmscadenze.h"

#include "app/mainmod.h"
#include "app/viewstate.h"
#include "db/enginefunctions.h"
#include "db/journaldb.h"
#include "ui/dialogs/amountedit.h"
#include "ui/dialogs/datepicker.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/dialogs/descriptioncompletion.h"
#include "ui/dialogs/dialogstyle.h"
#include "ui/dialogs/editorkeys.h"
#include "ui/dialogs/reconciledchange.h"
#include "ui/prompt/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace movilibro {

namespace {

const QString Table = QStringLiteral("Movilibro");
const QString NoAmount = QStringLiteral("Inserire un valore di Entrata o Uscita finanziaria");
const QString TwoAmounts = QStringLiteral("Inserire solo un valore di Entrata o Uscita finanziaria");
const QString NegativeIn = QStringLiteral("Un importo negativo va scritto come Uscita.");
const QString NegativeOut = QStringLiteral("Un importo negativo va scritto come Entrata.");

std::optional<Currency> storedAmount(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return Currency::fromRaw(value.toLongLong());
}

void colourText(QWidget* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, colour);
    box->setPalette(palette);
}

} // namespace

frmScadenze::frmScadenze(QWidget* parent) : RowEditorDialog(parent)
{
    setObjectName(QStringLiteral("frmScadenze"));
    setWindowTitle(QStringLiteral("Movilibro"));
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setFont(dialogstyle::verdana());
    buildControls();
    layOutControls();
    installKeys(cmdAnnulla);
    installChecks();
    m_completion = new DescriptionCompletion(txtDescription, dtcData, txtIn, txtOut, this);
}

void frmScadenze::buildControls()
{
    const char* captions[5] = {"Uscite/Prelievo", "Data", "Descrizione", "Conto", "Entrate/Versamento"};
    for (int i = 0; i < 5; ++i) {
        lblData[i] = new QLabel(QString::fromUtf8(captions[i]), this);
        lblData[i]->setObjectName(dialogstyle::element(QStringLiteral("lblData"), i));
        lblData[i]->setFont(dialogstyle::verdana(6.75));
    }

    datData = new DatePicker(this);
    datData->setObjectName(QStringLiteral("datData"));

    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(dialogstyle::element(QStringLiteral("txtData"), 0));

    dtcData = new QComboBox(this);
    dtcData->setObjectName(QStringLiteral("dtcData"));

    txtIn = new AmountEdit(this);
    txtIn->setObjectName(dialogstyle::element(QStringLiteral("txtData"), 1));
    colourText(txtIn, QColor(0, 0, 192));
    txtIn->setNegativeRefusal(NegativeIn);
    txtOut = new AmountEdit(this);
    txtOut->setObjectName(dialogstyle::element(QStringLiteral("txtData"), 2));
    colourText(txtOut, QColor(192, 0, 0));
    txtOut->setNegativeRefusal(NegativeOut);

    cmdSalva = new QPushButton(QStringLiteral("Salva"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    for (QPushButton* button : {cmdSalva, cmdAnnulla})
        button->setAutoDefault(false);

    connect(cmdSalva, &QPushButton::clicked, this, &frmScadenze::onSalva);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmScadenze::cancelAndClose);

    setTabOrder(datData, txtDescription);
    setTabOrder(txtDescription, dtcData);
    setTabOrder(dtcData, txtIn);
    setTabOrder(txtIn, txtOut);
    setTabOrder(txtOut, cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);
}

void frmScadenze::layOutControls()
{
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    grid->addWidget(lblData[1], 0, 0);
    grid->addWidget(datData, 1, 0);
    grid->addWidget(lblData[2], 2, 0);
    grid->addWidget(txtDescription, 3, 0, 1, 3);
    grid->addWidget(lblData[3], 4, 0);
    grid->addWidget(dtcData, 5, 0, 1, 2);
    grid->addWidget(lblData[4], 6, 0);
    grid->addWidget(txtIn, 7, 0);
    grid->addWidget(cmdSalva, 7, 2);
    grid->addWidget(lblData[0], 8, 0);
    grid->addWidget(txtOut, 9, 0);
    grid->addWidget(cmdAnnulla, 9, 2);
    setFixedSize(std::max(420, sizeHint().width()), sizeHint().height());
}

void frmScadenze::installChecks()
{
    keys().setLeaveCheck(txtDescription, [this] { return !txtDescription->text().isEmpty(); });
    keys().setLeaveCheck(dtcData, [this] { return dtcData->currentIndex() >= 0; });
    keys().setLeaveCheck(txtIn, [this] { return txtIn->amount().has_value(); });
    keys().setLeaveCheck(txtOut, [this] { return txtOut->amount().has_value(); });
}

bool frmScadenze::Nuovo(JournalView& journal)
{
    if (!InitCombos() || !openRow(journal, {Table, {}, {}}))
        return false;
    row().setValue(QStringLiteral("mlData"), db::isoDate(journal.viewState().workingDate));
    row().setValue(QStringLiteral("mlEntrate"), qint64(0));
    row().setValue(QStringLiteral("mlUscite"), qint64(0));
    BindFields();
    m_completion->prepare(mainmod::ConnString, true);
    return showModal();
}

bool frmScadenze::Apri(JournalView& journal, qint32 id)
{
    const RowSource source{
        Table, QStringLiteral("SELECT * FROM Movilibro WHERE mlId=") + QString::number(id),
        QStringLiteral("La registrazione scelta non esiste più: forse è stata eliminata.")};
    if (!InitCombos() || !openRow(journal, source))
        return false;
    BindFields();
    m_completion->prepare(mainmod::ConnString, false);
    return showModal();
}

bool frmScadenze::InitCombos()
{
    dtcData->clear();
    try {
        for (const db::AccountName& account : db::ReadAccountNames(mainmod::ConnString))
            dtcData->addItem(account.name, account.id);
    } catch (const db::DbError& e) {
        Prompt::instance().message(parentWidget(),
                                   databaseFailureText(QStringLiteral("Impossibile leggere i conti."), e),
                                   MsgStyle::Ok);
        return false;
    }
    dtcData->setCurrentIndex(-1);
    return true;
}

void frmScadenze::BindFields()
{
    const QDate date = db::parseIsoDate(row().value(QStringLiteral("mlData")).toString().toUtf8());
    datData->setDate(date.isValid() ? date : view().viewState().workingDate);

    txtDescription->setText(row().value(QStringLiteral("mlDescrizione")).toString());
    const int size = row().definedSize(QStringLiteral("mlDescrizione"));
    txtDescription->setMaxLength(size > 0 ? size : 32767);

    const QVariant account = row().value(QStringLiteral("mlConto"));
    dtcData->setCurrentIndex(account.isValid() ? dtcData->findData(account.toLongLong()) : -1);

    for (AmountEdit* box : {txtIn, txtOut})
        box->setDisplayFormat(AmountFormat);
    txtIn->setAmount(storedAmount(row().value(QStringLiteral("mlEntrate"))));
    txtOut->setAmount(storedAmount(row().value(QStringLiteral("mlUscite"))));

    datData->setFocus(Qt::OtherFocusReason);
}

void frmScadenze::onSalva()
{
    if (!keys().focusedControlPasses())
        return;
    if (dtcData->currentIndex() < 0 || txtDescription->text().isEmpty()) {
        txtDescription->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!amountsAcceptable())
        return;
    if (!reconciledEntryMayChange()) {
        cancelAndClose();
        return;
    }
    writeFieldsToRow();
    saveAndClose(QStringLiteral("Impossibile salvare la registrazione."));
}

bool frmScadenze::reconciledEntryMayChange()
{
    const QVariant id = row().value(QStringLiteral("mlId"));
    if (!id.isValid() || id.isNull())
        return true;
    try {
        return reconciledChangeAllowed(this, connection(), id.toLongLong());
    } catch (const db::DbError& e) {
        Prompt::instance().message(
            this, databaseFailureText(QStringLiteral("Impossibile salvare la registrazione."), e),
            MsgStyle::Ok);
        return false;
    }
}

bool frmScadenze::amountsAcceptable()
{
    for (AmountEdit* box : {txtIn, txtOut}) {
        if (!box->amount()) {
            box->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    // A negative stored before (an old journal) is refused as a typed one is.
    for (AmountEdit* box : {txtIn, txtOut}) {
        if (box->amount()->isNegative()) {
            Prompt::instance().message(this, box->negativeRefusal(), MsgStyle::Ok);
            box->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    const Currency in = *txtIn->amount();
    const Currency out = *txtOut->amount();
    const QString* problem = nullptr;
    if (in.isZero() && out.isZero())
        problem = &NoAmount;
    else if (in > Currency() && out > Currency())
        problem = &TwoAmounts;
    if (!problem)
        return true;
    Prompt::instance().message(this, *problem, MsgStyle::Ok);
    txtIn->setFocus(Qt::OtherFocusReason);
    return false;
}

void frmScadenze::writeFieldsToRow()
{
    row().setValue(QStringLiteral("mlData"), db::isoDate(datData->date()));
    row().setValue(QStringLiteral("mlConto"), dtcData->currentData().toLongLong());
    row().setValue(QStringLiteral("mlDescrizione"), txtDescription->text());
    row().setValue(QStringLiteral("mlEntrate"), txtIn->amount()->raw());
    row().setValue(QStringLiteral("mlUscite"), txtOut->amount()->raw());
}

} // namespace movilibro
