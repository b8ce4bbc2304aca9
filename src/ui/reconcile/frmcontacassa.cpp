#include "ui/reconcile/frmcontacassa.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "reconcile/balance.h"
#include "reconcile/cashcount.h"
#include "ui/dialogs/datepicker.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/prompt/prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace movilibro {

namespace {

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

const QString Overflow = QStringLiteral("Gli importi superano il valore massimo gestibile.");

} // namespace

frmContaCassa::frmContaCassa(QWidget* parent) : QDialog(parent), m_target(this, new QGridLayout(this))
{
    setObjectName(QStringLiteral("frmContaCassa"));
    setWindowTitle(QStringLiteral("Conta di cassa"));
    auto* grid = static_cast<QGridLayout*>(layout());

    auto* pieces = new QGroupBox(QStringLiteral("Banconote e monete"), this);
    auto* piecesGrid = new QGridLayout(pieces);
    const int perColumn = 8;
    for (size_t i = 0; i < reconcile::DenominationCents.size(); ++i) {
        const qint64 cents = reconcile::DenominationCents[i];
        auto* box = new QSpinBox(pieces);
        box->setObjectName(QStringLiteral("spnPezzi_%1").arg(cents));
        box->setRange(0, 999999);
        auto* label = new QLabel(reconcile::denominationName(cents), pieces);
        label->setBuddy(box);
        const int row = int(i) % perColumn, column = int(i) / perColumn * 2;
        piecesGrid->addWidget(label, row, column);
        piecesGrid->addWidget(box, row, column + 1);
        connect(box, &QSpinBox::valueChanged, this, &frmContaCassa::onPieces);
        m_pieces.push_back(box);
    }
    txtContato = amountBox(QStringLiteral("txtContato"), this);
    lblSaldoGiornale = new QLabel(this);
    lblSaldoGiornale->setObjectName(QStringLiteral("lblSaldoGiornale"));
    lblDifferenza = new QLabel(this);
    lblDifferenza->setObjectName(QStringLiteral("lblDifferenza"));
    cmdRegistra = new QPushButton(QStringLiteral("&Registra"), this);
    cmdRegistra->setObjectName(QStringLiteral("cmdRegistra"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton* button : {cmdRegistra, cmdChiudi})
        button->setAutoDefault(false);

    grid->addWidget(pieces, 1, 0, 1, 4);
    auto* counted = new QLabel(QStringLiteral("Contanti &contati:"), this);
    counted->setBuddy(txtContato);
    grid->addWidget(counted, 2, 0);
    grid->addWidget(txtContato, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Saldo nel giornale:"), this), 3, 0);
    grid->addWidget(lblSaldoGiornale, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Differenza:"), this), 3, 2);
    grid->addWidget(lblDifferenza, 3, 3);
    grid->addWidget(cmdRegistra, 4, 2);
    grid->addWidget(cmdChiudi, 4, 3);

    connect(m_target.cboConto, &QComboBox::currentIndexChanged, this, &frmContaCassa::readBalance);
    connect(m_target.datData, &QDateEdit::dateChanged, this, &frmContaCassa::readBalance);
    connect(txtContato, &QLineEdit::textChanged, this, &frmContaCassa::showDifference);
    connect(cmdRegistra, &QPushButton::clicked, this, &frmContaCassa::onRecord);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void frmContaCassa::Mostra(JournalView& view, qint64 accountId)
{
    m_view = &view;
    if (!m_target.fill(parentWidget(), accountId, Clock::today()))
        return;
    for (QSpinBox* box : m_pieces) {
        const QSignalBlocker quiet(box);
        box->setValue(0);
    }
    txtContato->clear();
    readBalance();
    m_pieces.front()->setFocus(Qt::OtherFocusReason);
    exec();
}

void frmContaCassa::readBalance()
{
    m_balance.reset();
    try {
        db::Connection conn =
            db::Connection::openConnString(mainmod::ConnString, db::Connection::Mode::ReadOnly);
        m_balance = reconcile::balanceAt(conn, m_target.accountId(), m_target.day());
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("Impossibile leggere il conto."), e));
    } catch (const CurrencyOverflow&) {
        tell(this, Overflow);
    }
    lblSaldoGiornale->setText(m_balance ? reconcile::italianAmount(*m_balance) : QString());
    showDifference();
}

// The pieces counted write the total in the box, which the user may still change.
void frmContaCassa::onPieces()
{
    std::vector<qint64> counts;
    for (const QSpinBox* box : m_pieces)
        counts.push_back(box->value());
    try {
        txtContato->setText(reconcile::italianAmount(reconcile::countedCash(counts)));
    } catch (const CurrencyOverflow&) {
        txtContato->clear();
    }
}

void frmContaCassa::showDifference()
{
    const std::optional<Currency> counted = typedAmount(txtContato);
    QString text;
    if (counted && m_balance) {
        try {
            text = reconcile::italianAmount(*counted - *m_balance);
        } catch (const CurrencyOverflow&) {
            text = QStringLiteral("—");
        }
    }
    lblDifferenza->setText(text);
    cmdRegistra->setEnabled(m_balance.has_value());
}

void frmContaCassa::onRecord()
{
    const std::optional<Currency> counted = typedAmount(txtContato);
    if (!counted) {
        tell(this, QStringLiteral("Scrivere i contanti contati (per esempio 150,20) o contare le banconote "
                                  "e le monete."));
        txtContato->setFocus(Qt::OtherFocusReason);
        return;
    }
    reconcile::CashCount done;
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        done = reconcile::recordCashCount(conn, m_target.accountId(), m_target.day(), *counted, Clock::now());
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("La conta di cassa non è stata registrata."), e));
        return;
    } catch (const reconcile::ReconcileError& e) {
        tell(this, e.message());
        return;
    } catch (const CurrencyOverflow&) {
        tell(this, QStringLiteral("La conta di cassa non è stata registrata. ") + Overflow);
        return;
    }
    if (m_view) {
        m_view->recorded(done.logLines);
        m_view->gexsBind();
    }
    tell(this,
         done.differenceEntry
             ? QStringLiteral("Conta registrata: la differenza di cassa è stata registrata nel giornale.")
             : QStringLiteral("Conta registrata: la cassa quadra."));
    accept();
}

} // namespace movilibro
