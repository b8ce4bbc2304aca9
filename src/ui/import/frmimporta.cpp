#include "ui/import/frmimporta.h"

#include "app/mainmod.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "db/errortext.h"
#include "reconcile/statementcheck.h"
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
    m_reconcile.reset();
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
    const QString check = balanceCheck();
    if (check.isEmpty()) {
        Prompt::instance().message(parentWidget(), text, MsgStyle::Ok);
        return true;
    }
    text += QStringLiteral("\r\n\r\n") + check +
            QStringLiteral("\r\n\r\nAprire la Quadratura del conto con il saldo finale dell'estratto?");
    if (Prompt::instance().message(parentWidget(), text, MsgStyle::YesNo) == Answer::Yes) {
        const statement::Balance& closing = *m_session.statement().accounts.front().closing;
        m_reconcile = reconcile::StatementTarget{m_session.accountId(), closing.date, closing.amount};
    }
    return true;
}

// The statement's balances beside the journal's, now that its movements are in.
QString frmImporta::balanceCheck() const
{
    const statement::StatementAccount& file = m_session.statement().accounts.front();
    if (!file.closing)
        return {};
    QStringList lines;
    try {
        db::Connection conn =
            db::Connection::openConnString(mainmod::ConnString, db::Connection::Mode::ReadOnly);
        for (const reconcile::BalanceComparison& c :
             reconcile::compareWithStatement(conn, m_session.accountId(), file))
            lines << reconcile::comparisonLine(c, m_session.accountName());
    } catch (const db::DbError& e) {
        lines << QStringLiteral("Impossibile leggere il saldo del conto: ") + db::userMessage(e);
    } catch (const CurrencyOverflow&) {
        lines << QStringLiteral("Impossibile confrontare il saldo dell'estratto con quello del giornale: "
                                "importi fuori scala.");
    }
    return lines.join(QStringLiteral("\r\n"));
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
