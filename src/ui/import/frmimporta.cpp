#include "ui/import/frmimporta.h"

#include "app/viewstate.h"
#include "statement/notices.h"
#include "ui/dialogs/helpwindow.h"
#include "ui/import/accountpage.h"
#include "ui/import/columnspage.h"
#include "ui/import/filepage.h"
#include "ui/import/reviewpage.h"
#include "ui/prompt/prompt.h"

#include <QAbstractButton>
#include <QDir>

namespace movilibro {

frmImporta::frmImporta(QWidget* parent) : QWizard(parent)
{
    setObjectName(QStringLiteral("frmImporta"));
    setWindowTitle(QStringLiteral("Importa un estratto conto"));
    setWizardStyle(QWizard::ModernStyle);
    setOptions(QWizard::NoBackButtonOnStartPage | QWizard::HaveHelpButton);
    setButtonText(QWizard::BackButton, QStringLiteral("&Indietro"));
    setButtonText(QWizard::NextButton, QStringLiteral("&Avanti"));
    setButtonText(QWizard::FinishButton, QStringLiteral("I&mporta"));
    setButtonText(QWizard::CancelButton, QStringLiteral("Annulla"));
    setButtonText(QWizard::HelpButton, QStringLiteral("&Guida"));
    button(QWizard::BackButton)->setObjectName(QStringLiteral("cmdIndietro"));
    button(QWizard::NextButton)->setObjectName(QStringLiteral("cmdAvanti"));
    button(QWizard::FinishButton)->setObjectName(QStringLiteral("cmdImporta"));
    button(QWizard::CancelButton)->setObjectName(QStringLiteral("cmdAnnulla"));
    setPage(importpage::File, new FilePage(m_session, this));
    setPage(importpage::Columns, new ColumnsPage(m_session, this));
    setPage(importpage::Account, new AccountPage(m_session, this));
    m_review = new ReviewPage(m_session, this);
    setPage(importpage::Review, m_review);
    setStartId(importpage::File);
    // Each page starts where its work is, not on the first control Qt finds.
    connect(this, &QWizard::currentIdChanged, this, [this] {
        if (auto* page = qobject_cast<ImportPage*>(currentPage()); page && page->firstControl())
            page->firstControl()->setFocus(Qt::TabFocusReason);
    });
    connect(this, &QWizard::helpRequested, this, [this] { HelpWindow::showHelp(HelpWindow::pageFor(this)); });
    resize(860, 600);
}

bool frmImporta::Mostra(JournalView& view)
{
    restart();
    if (exec() != QDialog::Accepted || !m_review->result())
        return false;
    const statement::ImportResult done = *m_review->result();
    view.gexsBind();
    QString text = QStringLiteral("Movimenti importati: %1.\r\nMovimenti tralasciati: %2.")
                       .arg(done.imported)
                       .arg(done.skipped);
    if (const QString currency = statement::currencyNotice(m_session.statement()); !currency.isEmpty())
        text += QStringLiteral("\r\nAttenzione: ") + currency + u'.';
    if (const QString outside = statement::outsidePeriodNotice(done.dates, view.viewState().selected);
        !outside.isEmpty())
        text += QStringLiteral("\r\n\r\n") + outside;
    if (!done.backupPath.isEmpty())
        text += QStringLiteral("\r\n\r\nUna copia del giornale com'era prima dell'importazione è in:\r\n") +
                QDir::toNativeSeparators(done.backupPath);
    Prompt::instance().message(parentWidget(), text, MsgStyle::Ok);
    return true;
}

void frmImporta::reject()
{
    if (currentId() == importpage::Review && !m_session.movements().empty() &&
        Prompt::instance().message(this,
                                   QStringLiteral("Chiudere senza importare? I movimenti esaminati non "
                                                  "vengono registrati nel giornale."),
                                   MsgStyle::YesNo) != Answer::Yes)
        return;
    QWizard::reject();
}

} // namespace movilibro
