#include "ui/history/frmcestino.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "app/viewstate.h"
#include "db/connection.h"
#include "format/currency.h"
#include "history/changelog.h"
#include "history/moves.h"
#include "ui/dialogs/dbmessages.h"
#include "ui/prompt/prompt.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace movilibro {

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);

QString amount(std::optional<qint64> raw)
{
    return raw && *raw ? Currency::fromRaw(*raw).toString(Italian) : QString();
}

QStringList columns(const history::BinRow& row)
{
    const history::Values& v = row.values;
    const QString deleted = row.deleted.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    if (row.item.kind == history::Item::Account)
        return {QString(), v.name, QStringLiteral("(conto)"), QString(), QString(), deleted};
    const QDate date = QDate::fromString(v.date, Qt::ISODate);
    return {date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : v.date,
            v.name,
            v.description,
            amount(v.in),
            amount(v.out),
            deleted};
}

void tell(QWidget* parent, const QString& text)
{
    Prompt::instance().message(parent, text, MsgStyle::Ok);
}

} // namespace

frmCestino::frmCestino(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCestino"));
    setWindowTitle(QStringLiteral("Cestino"));
    lstCestino = new QTreeWidget(this);
    lstCestino->setObjectName(QStringLiteral("lstCestino"));
    lstCestino->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Conto"),
                                 QStringLiteral("Descrizione"), QStringLiteral("Entrate"),
                                 QStringLiteral("Uscite"), QStringLiteral("Eliminato il")});
    lstCestino->setRootIsDecorated(false);
    lstCestino->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstCestino->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    cmdRipristina = new QPushButton(QStringLiteral("&Ripristina"), this);
    cmdRipristina->setObjectName(QStringLiteral("cmdRipristina"));
    cmdSvuota = new QPushButton(QStringLiteral("&Svuota il cestino…"), this);
    cmdSvuota->setObjectName(QStringLiteral("cmdSvuota"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton* button : {cmdRipristina, cmdSvuota, cmdChiudi})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lstCestino, 0, 0, 1, 4);
    grid->addWidget(cmdRipristina, 1, 0);
    grid->addWidget(cmdSvuota, 1, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(cmdChiudi, 1, 3);
    resize(760, 420);

    connect(cmdRipristina, &QPushButton::clicked, this, &frmCestino::onRestore);
    connect(cmdSvuota, &QPushButton::clicked, this, &frmCestino::onEmpty);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstCestino, &QTreeWidget::itemSelectionChanged, this, &frmCestino::updateButtons);
    // Enter on a row restores it.
    connect(lstCestino, &QTreeWidget::itemActivated, this, &frmCestino::onRestore);
}

void frmCestino::Mostra(JournalView& view)
{
    m_view = &view;
    if (!reload())
        return;
    lstCestino->setFocus(Qt::OtherFocusReason);
    exec();
}

bool frmCestino::reload()
{
    try {
        db::Connection conn =
            db::Connection::openConnString(mainmod::ConnString, db::Connection::Mode::ReadOnly);
        if (!history::hasHistory(conn)) {
            tell(parentWidget(),
                 QStringLiteral("Il cestino non è disponibile: il giornale non è stato aggiornato "
                                "al formato attuale (lo si riprova all'avvio del programma)."));
            return false;
        }
        m_rows = history::binContents(conn);
    } catch (const db::DbError& e) {
        tell(parentWidget(), databaseFailureText(QStringLiteral("Impossibile leggere il cestino."), e));
        return false;
    }
    lstCestino->clear();
    for (const history::BinRow& row : m_rows) {
        auto* item = new QTreeWidgetItem(lstCestino, columns(row));
        for (int c : {3, 4})
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < lstCestino->columnCount(); ++c) {
        if (c != 2)
            lstCestino->resizeColumnToContents(c);
    }
    if (!m_rows.empty())
        lstCestino->setCurrentItem(lstCestino->topLevelItem(0));
    updateButtons();
    return true;
}

void frmCestino::updateButtons()
{
    cmdRipristina->setEnabled(!lstCestino->selectedItems().isEmpty());
    cmdSvuota->setEnabled(!m_rows.empty());
}

void frmCestino::onRestore()
{
    std::vector<history::Item> chosen;
    for (int i = 0; i < lstCestino->topLevelItemCount(); ++i) {
        if (lstCestino->topLevelItem(i)->isSelected())
            chosen.push_back(m_rows[size_t(i)].item);
    }
    if (chosen.empty())
        return;
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        const std::vector<qint64> lines = history::restore(conn, chosen, Clock::now());
        m_view->recorded(lines);
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("Impossibile ripristinare dal cestino."), e));
        return;
    } catch (const history::Refusal& r) {
        tell(this, QStringLiteral("Impossibile ripristinare dal cestino: ") + r.reason());
        return;
    }
    m_view->gexsBind();
    reload();
}

void frmCestino::onEmpty()
{
    if (m_rows.empty())
        return;
    const QString question =
        m_rows.size() == 1
            ? QStringLiteral("Svuotare il cestino? La voce che contiene sarà eliminata per sempre e non si "
                             "potrà più ripristinare.")
            : QStringLiteral(
                  "Svuotare il cestino? Le %1 voci che contiene saranno eliminate per sempre e non "
                  "si potranno più ripristinare.")
                  .arg(m_rows.size());
    if (Prompt::instance().message(this, question, MsgStyle::YesNo) != Answer::Yes)
        return;
    try {
        db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
        history::emptyBin(conn, Clock::now());
    } catch (const db::DbError& e) {
        tell(this, databaseFailureText(QStringLiteral("Impossibile svuotare il cestino."), e));
        return;
    }
    reload();
}

} // namespace movilibro
