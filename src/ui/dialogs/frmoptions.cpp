#include "ui/dialogs/frmoptions.h"

#include "app/mainmod.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "db/journaldb.h"
#include "db/periods.h"
#include "ui/dialogs/datepicker.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/dialogs/dialogstyle.h"
#include "ui/prompt/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace movilibro {

namespace {

const QString GroupingKey = QStringLiteral("appset_dategrouping");
const QString StartingMonthKey = QStringLiteral("appset_esercizio_startingmonth");

const QStringList& monthNames()
{
    static const QStringList names = {
        QStringLiteral("gennaio"), QStringLiteral("febbraio"), QStringLiteral("marzo"),
        QStringLiteral("aprile"),  QStringLiteral("maggio"),   QStringLiteral("giugno"),
        QStringLiteral("luglio"),  QStringLiteral("agosto"),   QStringLiteral("settembre"),
        QStringLiteral("ottobre"), QStringLiteral("novembre"), QStringLiteral("dicembre")};
    return names;
}

} // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Preferenze"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(dialogstyle::verdana());

    const char* captions[3] = {"Data di lavoro", "Periodo raggruppamento Date",
                               "Mese inizio Esercizi contabili"};
    for (int i = 0; i < 3; ++i) {
        lblData[i] = new QLabel(QString::fromUtf8(captions[i]), this);
        lblData[i]->setObjectName(dialogstyle::element(QStringLiteral("lblData"), i));
    }
    dtp = new DatePicker(this);
    dtp->setObjectName(QStringLiteral("dtp"));
    for (int i = 0; i < 2; ++i) {
        cmbData[i] = new QComboBox(this);
        cmbData[i]->setObjectName(dialogstyle::element(QStringLiteral("cmbData"), i));
    }
    cmbData[0]->addItems(periodNames());
    cmbData[1]->addItems(monthNames());
    cmdClose = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    setTabOrder(dtp, cmbData[0]);
    setTabOrder(cmbData[0], cmbData[1]);
    setTabOrder(cmbData[1], cmdClose);

    auto* grid = new QGridLayout(this);
    int row = 0;
    QWidget* fields[3] = {dtp, cmbData[0], cmbData[1]};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(lblData[i], row++, 0, 1, 2);
        grid->addWidget(fields[i], row++, 0, 1, 2);
    }
    grid->setColumnStretch(0, 1);
    grid->addWidget(cmdClose, row, 1);
    setFixedSize(300, sizeHint().height());

    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmOptions::Mostra(JournalView& view)
{
    m_view = &view;
    load();
    exec();
}

void frmOptions::load()
{
    const ViewState& state = m_view->viewState();
    dtp->setDate(state.workingDate);
    // Values edited outside the program select the defaults.
    cmbData[0]->setCurrentIndex(normalizedKind(state.dateGrouping));
    cmbData[1]->setCurrentIndex(normalizedStartingMonth(state.startingMonth) - 1);
    dtp->setFocus(Qt::OtherFocusReason);
}

void frmOptions::done(int result)
{
    if (m_view && isVisible())
        store();
    QDialog::done(result);
}

void frmOptions::store()
{
    m_view->setWorkingDate(dtp->date());
    const int grouping = cmbData[0]->currentIndex();
    const int startingMonth = cmbData[1]->currentIndex() + 1;
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        db::Transaction tx(conn);
        db::WriteParameter(conn, GroupingKey, grouping);
        db::WriteParameter(conn, StartingMonthKey, startingMonth);
        tx.commit();
    } catch (const db::DbError& e) {
        Prompt::instance().message(
            this, databaseFailureText(QStringLiteral("Impossibile salvare le preferenze nel database."), e),
            MsgStyle::Ok);
    }
}

void runPreferences(JournalView& view, QWidget* owner)
{
    if (!owner)
        owner = dynamic_cast<QWidget*>(&view);
    auto* dialog = owner ? owner->findChild<frmOptions*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!dialog)
        dialog = new frmOptions(owner);
    dialog->Mostra(view);
    if (!owner)
        delete dialog;
    view.SettaAmbiente();
    view.gexsBind();
}

} // namespace movilibro
