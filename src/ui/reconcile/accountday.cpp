#include "ui/reconcile/accountday.h"

#include "app/mainmod.h"
#include "db/connection.h"
#include "db/journaldb.h"
#include "ui/dialogs/datepicker.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/prompt/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace movilibro {

AccountDay::AccountDay(QWidget* parent, QGridLayout* grid)
    : cboConto(new QComboBox(parent)), datData(new DatePicker(parent))
{
    cboConto->setObjectName(QStringLiteral("cboConto"));
    datData->setObjectName(QStringLiteral("datData"));
    auto* account = new QLabel(QStringLiteral("&Conto:"), parent);
    account->setBuddy(cboConto);
    auto* day = new QLabel(QStringLiteral("Al &giorno:"), parent);
    day->setBuddy(datData);
    grid->addWidget(account, 0, 0);
    grid->addWidget(cboConto, 0, 1);
    grid->addWidget(day, 0, 2);
    grid->addWidget(datData, 0, 3);
}

bool AccountDay::fill(QWidget* parent, qint64 accountId, const QDate& day)
{
    const QSignalBlocker quiet(cboConto);
    const QSignalBlocker quietDay(datData);
    cboConto->clear();
    try {
        for (const db::AccountName& account : db::ReadAccountNames(mainmod::ConnString))
            cboConto->addItem(account.name, account.id);
    } catch (const db::DbError& e) {
        Prompt::instance().message(
            parent, databaseFailureText(QStringLiteral("Impossibile leggere i conti."), e), MsgStyle::Ok);
        return false;
    }
    if (cboConto->count() == 0) {
        Prompt::instance().message(parent, QStringLiteral("Nel giornale non c'è ancora nessun conto."),
                                   MsgStyle::Ok);
        return false;
    }
    cboConto->setCurrentIndex(std::max(0, cboConto->findData(accountId)));
    datData->setDate(day);
    return true;
}

qint64 AccountDay::accountId() const
{
    return cboConto->currentData().toLongLong();
}

QString AccountDay::accountName() const
{
    return cboConto->currentText();
}

QDate AccountDay::day() const
{
    return datData->date();
}

std::optional<Currency> typedAmount(const QLineEdit* box)
{
    static const QLocale Italian(QLocale::Italian, QLocale::Italy);
    return Currency::parseRounded(box->text().trimmed(), Italian);
}

QLineEdit* amountBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace movilibro
