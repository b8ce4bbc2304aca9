#include "ui/import/accountpage.h"

#include "app/mainmod.h"
#include "db/connection.h"
#include "db/journaldb.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/import/datechoicebox.h"
#include "ui/import/importsession.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace movilibro {

using importpage::tell;
using importpage::wrappedLabel;
using statement::DateChoice;

AccountPage::AccountPage(ImportSession& session, QWidget* parent) : ImportPage(parent), m_session(session)
{
    setTitle(QStringLiteral("Conto"));
    setSubTitle(QStringLiteral("Scegliere il conto del giornale in cui registrare i movimenti."));
    cmbIban = new QComboBox(this);
    cmbIban->setObjectName(QStringLiteral("cmbIban"));
    cmbIban->setPlaceholderText(QStringLiteral("da scegliere"));
    lblIban = new QLabel(QStringLiteral("Il file contiene più conti: &estratto del conto"), this);
    lblIban->setBuddy(cmbIban);
    lstConti = new QListWidget(this);
    lstConti->setObjectName(QStringLiteral("lstConti"));
    lblNessunConto =
        wrappedLabel(QStringLiteral("Il giornale non ha ancora conti: crearne uno nella finestra "
                                    "principale e ripetere l'importazione."),
                     this);
    lblNessunConto->setObjectName(QStringLiteral("lblNessunConto"));
    m_date = new DateChoiceBox(QStringLiteral("optDataXml"), this);
    setFirstControl(lstConti);

    auto* page = new QVBoxLayout(this);
    auto* iban = new QHBoxLayout;
    iban->addWidget(lblIban);
    iban->addWidget(cmbIban, 1);
    page->addLayout(iban);
    page->addWidget(lstConti, 1);
    page->addWidget(lblNessunConto);
    page->addWidget(m_date);
    connect(lstConti, &QListWidget::currentRowChanged, this, &QWizardPage::completeChanged);
    connect(cmbIban, &QComboBox::currentIndexChanged, this, &QWizardPage::completeChanged);
}

void AccountPage::initializePage()
{
    // The file's accounts, none chosen for the user.
    cmbIban->clear();
    const auto& accounts = m_session.fileAccounts();
    for (const statement::StatementAccount& a : accounts) {
        const QString id = a.id.isEmpty() ? QStringLiteral("(senza IBAN)") : a.id;
        cmbIban->addItem(a.currency.isEmpty() ? id : QStringLiteral("%1 (%2)").arg(id, a.currency));
    }
    cmbIban->setCurrentIndex(accounts.size() == 1 ? 0 : -1);
    lblIban->setVisible(accounts.size() > 1);
    cmbIban->setVisible(accounts.size() > 1);
    lstConti->clear();
    try {
        for (const db::AccountName& account : db::ReadAccountNames(mainmod::ConnString)) {
            auto* item = new QListWidgetItem(account.name, lstConti);
            item->setData(Qt::UserRole, account.id);
        }
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("Impossibile leggere i conti."), e));
    }
    lblNessunConto->setVisible(lstConti->count() == 0);
    // The account used last time, else the first: the review names it before
    // anything is written.
    int row = lstConti->count() > 0 ? 0 : -1;
    for (int i = 0; i < lstConti->count(); ++i)
        if (lstConti->item(i)->data(Qt::UserRole).toLongLong() == m_session.accountId())
            row = i;
    lstConti->setCurrentRow(row);
    m_date->setVisible(!m_session.isTable() && m_session.statement().hasValueDate);
    m_date->setChoice(DateChoice::Booking);
}

bool AccountPage::isComplete() const
{
    return cmbIban->currentIndex() >= 0 && lstConti->currentItem() && lstConti->currentItem()->isSelected();
}

bool AccountPage::validatePage()
{
    m_session.chooseFileAccount(cmbIban->currentIndex());
    if (m_date->isVisibleTo(this)) {
        try {
            m_session.chooseDate(m_date->choice());
        } catch (const statement::StatementError& e) {
            tell(this, QStringLiteral("Impossibile leggere l'estratto conto.\r\n") + e.message());
            return false;
        }
    }
    m_session.setAccount(lstConti->currentItem()->data(Qt::UserRole).toLongLong(),
                         lstConti->currentItem()->text());
    try {
        m_session.markDuplicates();
    } catch (const db::DbError& e) {
        tell(this,
             databaseFailureText(QStringLiteral("Impossibile confrontare i movimenti con il giornale."), e));
        return false;
    }
    return true;
}

} // namespace movilibro
