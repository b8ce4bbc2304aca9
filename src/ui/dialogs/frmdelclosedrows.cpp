#include "ui/dialogs/frmdelclosedrows.h"

#include "app/mainmod.h"
#include "app/viewstate.h"
#include "db/backup.h"
#include "ui/dialogs/datepicker.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/dialogs/dialogstyle.h"
#include "ui/dialogs/entrypurge.h"
#include "ui/prompt/prompt.h"

#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace movilibro {

frmDelClosedRows::frmDelClosedRows(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDelClosedRows"));
    setWindowTitle(QStringLiteral("Registrazioni"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(dialogstyle::tahoma());

    lblData = new QLabel(QStringLiteral("Elimina le registrazioni fino alla seguente Data:"), this);
    lblData->setObjectName(QStringLiteral("lblData"));
    lblData->setWordWrap(true);
    dtp = new DatePicker(this);
    dtp->setObjectName(QStringLiteral("dtp"));
    cmdSalva = new QPushButton(QStringLiteral("OK"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblData, 0, 0, 1, 3);
    grid->addWidget(dtp, 1, 0, 1, 3);
    grid->addWidget(cmdSalva, 2, 0);
    grid->setColumnStretch(1, 1);
    grid->addWidget(cmdAnnulla, 2, 2);
    setFixedSize(300, sizeHint().height());

    connect(cmdSalva, &QPushButton::clicked, this, &frmDelClosedRows::onOk);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDelClosedRows::Mostra(JournalView& view)
{
    m_view = &view;
    dtp->setDate(view.viewState().workingDate);
    dtp->setFocus(Qt::OtherFocusReason);
    exec();
}

// No keyboard handling of its own: Enter in the picker presses no default
// button and Esc does not close; the close box still acts as "Annulla".
void frmDelClosedRows::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frmDelClosedRows::onOk()
{
    purgeUpTo(dtp->date());
    m_view->gexsBind();
    accept();
}

frmDelClosedRows::Outcome frmDelClosedRows::purgeUpTo(const QDate& cutOff)
{
    Outcome outcome = Outcome::Failed;
    QString copy;
    std::optional<db::PendingCopy> pending;
    try {
        EntryPurge purge(mainmod::ConnString, cutOff);
        const qint64 found = purge.count();
        if (found < 1)
            outcome = Outcome::NothingFound;
        else if (!confirm(found))
            outcome = Outcome::Declined;
        else if (!makeCopy(pending))
            return Outcome::Failed;
        else {
            copy = pending->path();
            purge.deleteCounted(copy);
            pending->keep();
            outcome = Outcome::Done;
        }
    } catch (const db::DbError& e) {
        tell(databaseFailureText(QStringLiteral("Impossibile eliminare le registrazioni: il database non è "
                                                "stato modificato."),
                                 e));
        return Outcome::Failed;
    }
    // Told after the purge has let go of the file.
    switch (outcome) {
    case Outcome::NothingFound:
        tell(QStringLiteral("Nessuna registrazione individuata."));
        break;
    case Outcome::Declined:
        tell(QStringLiteral("Operazione annullata"));
        break;
    case Outcome::Done:
        tell(QStringLiteral("Operazione eseguita con successo\r\n\r\nUna copia del giornale com'era prima "
                            "dell'eliminazione è in:\r\n") +
             QDir::toNativeSeparators(copy));
        break;
    case Outcome::Failed:
        break;
    }
    return outcome;
}

// A purge cannot be undone: it runs only once a copy of the journal is made,
// the copy is made only for a purge the user confirmed, and kept (pushing
// older ones out) only once the purge went through.
bool frmDelClosedRows::makeCopy(std::optional<db::PendingCopy>& copy)
{
    try {
        copy.emplace(db::JournalBackup(mainmod::databaseFilePath()), db::CopyKind::BeforePurge);
        return true;
    } catch (const db::BackupError& e) {
        tell(e.message() + QStringLiteral("\r\nLe registrazioni non sono state eliminate."));
        return false;
    }
}

bool frmDelClosedRows::confirm(qint64 count)
{
    const QString question = QStringLiteral("Individuate ") + QString::number(count) +
                             QStringLiteral(" registrazioni da eliminare. Procedere?") +
                             QStringLiteral("\r\n\r\nPrima verrà salvata una copia del giornale nella "
                                            "cartella backup.");
    return Prompt::instance().message(this, question, MsgStyle::YesNo) == Answer::Yes;
}

void frmDelClosedRows::tell(const QString& text)
{
    Prompt::instance().message(this, text, MsgStyle::Ok);
}

} // namespace movilibro
