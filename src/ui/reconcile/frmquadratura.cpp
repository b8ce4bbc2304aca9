#include "ui/reconcile/frmquadratura.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "reconcile/balance.h"
#include "statement/statement.h"
#include "ui/dialogs/datepicker.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/import/importpage.h"
#include "ui/prompt/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace movilibro {

namespace {

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

// A sum beyond the currency's range shows as a dash rather than stop the window.
template <typename F> QString shown(F compute)
{
    try {
        return reconcile::italianAmount(compute());
    } catch (const CurrencyOverflow&) {
        return QStringLiteral("—");
    }
}

QString amountText(Currency amount)
{
    return amount.isZero() ? QString() : reconcile::italianAmount(amount);
}

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

frmQuadratura::frmQuadratura(QWidget* parent) : QDialog(parent), m_target(this, new QGridLayout(this))
{
    setObjectName(QStringLiteral("frmQuadratura"));
    setWindowTitle(QStringLiteral("Quadratura"));
    txtSaldoEstratto = amountBox(QStringLiteral("txtSaldoEstratto"), this);
    lblSaldoGiornale = valueLabel(QStringLiteral("lblSaldoGiornale"), this);
    lblDifferenza = valueLabel(QStringLiteral("lblDifferenza"), this);
    lblRiscontrato = valueLabel(QStringLiteral("lblRiscontrato"), this);
    lstRegistrazioni = new QTreeWidget(this);
    lstRegistrazioni->setObjectName(QStringLiteral("lstRegistrazioni"));
    lstRegistrazioni->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Descrizione"),
                                       QStringLiteral("Entrate"), QStringLiteral("Uscite")});
    lstRegistrazioni->setRootIsDecorated(false);
    lstRegistrazioni->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    cmdDaEstratto = new QPushButton(QStringLiteral("&Leggi da un estratto conto…"), this);
    cmdDaEstratto->setObjectName(QStringLiteral("cmdDaEstratto"));
    cmdRegistra = new QPushButton(QStringLiteral("&Registra"), this);
    cmdRegistra->setObjectName(QStringLiteral("cmdRegistra"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton* button : {cmdDaEstratto, cmdRegistra, cmdChiudi})
        button->setAutoDefault(false);

    auto* grid = static_cast<QGridLayout*>(layout());
    auto* statement = new QLabel(QStringLiteral("Saldo dell'&estratto:"), this);
    statement->setBuddy(txtSaldoEstratto);
    grid->addWidget(statement, 1, 0);
    grid->addWidget(txtSaldoEstratto, 1, 1);
    grid->addWidget(cmdDaEstratto, 1, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Saldo nel giornale:"), this), 2, 0);
    grid->addWidget(lblSaldoGiornale, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Differenza:"), this), 2, 2);
    grid->addWidget(lblDifferenza, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Registrazioni da riscontrare:"), this), 3, 0, 1, 4);
    grid->addWidget(lstRegistrazioni, 4, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Riscontrato:"), this), 5, 0);
    grid->addWidget(lblRiscontrato, 5, 1);
    grid->addWidget(cmdRegistra, 6, 2);
    grid->addWidget(cmdChiudi, 6, 3);
    grid->setColumnStretch(1, 1);
    resize(720, 460);

    connect(m_target.cboConto, &QComboBox::currentIndexChanged, this, &frmQuadratura::reload);
    connect(m_target.datData, &QDateEdit::dateChanged, this, &frmQuadratura::reload);
    connect(txtSaldoEstratto, &QLineEdit::textChanged, this, &frmQuadratura::showTotals);
    connect(lstRegistrazioni, &QTreeWidget::itemChanged, this, &frmQuadratura::onTick);
    connect(cmdDaEstratto, &QPushButton::clicked, this, &frmQuadratura::onFromStatement);
    connect(cmdRegistra, &QPushButton::clicked, this, &frmQuadratura::onRecord);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void frmQuadratura::Mostra(JournalView& view, const reconcile::StatementTarget& target)
{
    m_view = &view;
    if (!m_target.fill(parentWidget(), target.accountId, target.day.isValid() ? target.day : Clock::today()))
        return;
    txtSaldoEstratto->setText(target.balance ? reconcile::italianAmount(*target.balance) : QString());
    reload();
    m_target.cboConto->setFocus(Qt::OtherFocusReason);
    exec();
}

void frmQuadratura::reload()
{
    m_loaded = false;
    try {
        db::Connection conn =
            db::Connection::openConnString(mainmod::ConnString, db::Connection::Mode::ReadOnly);
        m_sheet.load(conn, m_target.accountId(), m_target.day());
        m_loaded = true;
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("Impossibile leggere il conto."), e));
    } catch (const CurrencyOverflow&) {
        tell(this, QStringLiteral("Impossibile calcolare il saldo: gli importi superano il valore massimo "
                                  "gestibile."));
    }
    showEntries();
    showTotals();
}

void frmQuadratura::showEntries()
{
    const QSignalBlocker quiet(lstRegistrazioni);
    lstRegistrazioni->clear();
    if (!m_loaded)
        return;
    for (const reconcile::OpenEntry& entry : m_sheet.entries()) {
        auto* item = new QTreeWidgetItem(lstRegistrazioni, {entry.date.toString(QStringLiteral("dd/MM/yyyy")),
                                                            entry.description, amountText(entry.incomes),
                                                            amountText(entry.outgoings)});
        item->setCheckState(0, Qt::Unchecked);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void frmQuadratura::showTotals()
{
    const std::optional<Currency> statement = typedAmount(txtSaldoEstratto);
    if (statement)
        m_sheet.setStatementBalance(*statement);
    lblSaldoGiornale->setText(m_loaded ? shown([this] { return m_sheet.journalBalance(); }) : QString());
    lblDifferenza->setText(m_loaded && statement ? shown([this] { return m_sheet.difference(); })
                                                 : QString());
    lblRiscontrato->setText(m_loaded ? shown([this] { return m_sheet.reconciled(); }) : QString());
    cmdRegistra->setEnabled(m_loaded);
}

void frmQuadratura::onTick(QTreeWidgetItem* item)
{
    m_sheet.setTicked(lstRegistrazioni->indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
    showTotals();
}

void frmQuadratura::onRecord()
{
    const std::optional<Currency> statement = typedAmount(txtSaldoEstratto);
    if (!statement) {
        tell(this, QStringLiteral("Scrivere il saldo dell'estratto (per esempio 1.234,56)."));
        txtSaldoEstratto->setFocus(Qt::OtherFocusReason);
        return;
    }
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        const reconcile::Reconciliation done = reconcile::recordReconciliation(
            conn, m_target.accountId(), m_target.day(), *statement, m_sheet.tickedIds(), Clock::now());
        tell(this, QStringLiteral("Quadratura registrata al %1: %2 registrazioni riscontrate.")
                       .arg(done.date.toString(QStringLiteral("dd/MM/yyyy")))
                       .arg(done.ticked));
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("La quadratura non è stata registrata."), e));
        return;
    } catch (const reconcile::ReconcileError& e) {
        tell(this, e.message());
        return;
    } catch (const CurrencyOverflow&) {
        tell(this, QStringLiteral("La quadratura non è stata registrata: gli importi superano il valore "
                                  "massimo gestibile."));
        return;
    }
    if (m_view)
        m_view->gexsBind();
    reload();
}

// The closing balance of a statement file, and its day.
void frmQuadratura::onFromStatement()
{
    const QString path = Prompt::instance().openFile(this, importpage::statementFilters(), QString());
    if (path.isEmpty())
        return;
    std::optional<statement::Balance> closing;
    try {
        statement::ReadOptions options;
        options.today = Clock::today();
        for (const statement::StatementAccount& account : statement::readStatement(path, options).accounts) {
            if (!closing)
                closing = account.closing;
        }
    } catch (const statement::StatementError& e) {
        tell(this, e.message());
        return;
    }
    if (!closing) {
        tell(this, QStringLiteral("L'estratto conto non riporta il saldo finale: scriverlo a mano."));
        return;
    }
    txtSaldoEstratto->setText(reconcile::italianAmount(closing->amount));
    m_target.datData->setDate(closing->date);
}

} // namespace movilibro
