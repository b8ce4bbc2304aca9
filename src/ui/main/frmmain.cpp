#include "ui/main/frmmain.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "db/connection.h"
#include "db/errortext.h"
#include "db/journaldb.h"
#include "format/formatengine.h"
#include "ui/charts/frmgrafici.h"
#include "ui/dialogs/accountdeletion.h"
#include "ui/dialogs/frmabout.h"
#include "ui/dialogs/frmconto.h"
#include "ui/dialogs/frmdelclosedrows.h"
#include "ui/dialogs/frmoptions.h"
#include "ui/dialogs/frmscadenze.h"
#include "ui/dialogs/helpwindow.h"
#include "ui/dialogs/reconciledchange.h"
#include "ui/grid/querygrid.h"
#include "ui/import/frmimporta.h"
#include "ui/main/accountspane.h"
#include "ui/main/emptystate.h"
#include "ui/main/journalgrid.h"
#include "ui/main/journalhistory.h"
#include "ui/main/journalsearch.h"
#include "ui/main/maintoolbar.h"
#include "ui/main/periodpanel.h"
#include "ui/prompt/prompt.h"
#include "ui/reconcile/reconcilecommands.h"
#include "ui/report/reportcommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace movilibro {

using journal::RowType;

namespace {

// Client area of 14670 x 8625 twips, at 15 twips a pixel; the other rects too.
constexpr QSize ClientSize(978, 575);
constexpr QRect ToolbarRect(0, 0, 978, 50);
constexpr QRect ToolsRect(1, 50, 155, 524);
constexpr QRect GridRect(160, 50, 817, 523);
constexpr QSize VoidSize(817, 501);
// The search sits in the toolbar's free right end, above the grid.
constexpr QRect SearchRect(728, 3, 246, 45);

template <typename F> void ignoringFailure(F step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent)
{
    buildWindow();
    connectSignals();
    // Load: the empty-state panel sits on the grid, the accounts list gets the journal.
    m_picVoid->move(m_gex->pos());
    m_accounts->setConnectionString(mainmod::ConnString);
    setWorkingDate(Clock::today());
    SettaAmbiente();
    gexsBind();
}

frmMain::~frmMain()
{
    qApp->removeEventFilter(this);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // The program ends with this window: no other window (the help, a
    // preview) may keep it running and the journal locked.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* other : windows) {
        if (other != this && other->isVisible())
            other->close();
    }
    emit closed();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F5 && static_cast<QWidget*>(watched)->window() == this) {
        newEntry();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::buildWindow()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(mainmod::ApplicationTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/movilibro.svg")));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    setFont(verdana);
    setFixedSize(ClientSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    m_tb = new MainToolbar(this);
    m_tb->setGeometry(ToolbarRect);

    auto* picTools = new QWidget(this);
    picTools->setObjectName(QStringLiteral("picTools"));
    picTools->setGeometry(ToolsRect);
    auto* side = new QVBoxLayout(picTools);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(0);
    m_period = new PeriodPanel(picTools);
    m_accounts = new AccountsPane(picTools);
    side->addWidget(m_period);
    side->addWidget(m_accounts, 1);

    m_gex = new grid::GroupedGrid(this);
    m_gex->setObjectName(QStringLiteral("gex"));
    m_gex->setGeometry(GridRect);
    m_journal = std::make_unique<JournalGrid>(*m_gex);
    m_journal->setUp();

    m_picVoid = new EmptyStatePanel(this);
    m_picVoid->resize(VoidSize);
    m_picVoid->hide();

    m_search = new JournalSearch(this, *m_gex, *m_journal);
    // After the last toolbar button, however wide the buttons come out.
    QRect search = SearchRect;
    search.setLeft(std::max(SearchRect.left(), m_tb->sizeHint().width() + 2));
    m_search->setGeometry(search);
    connect(this, &frmMain::gexsBindDone, m_search, &JournalSearch::updateNoMatch);
    connect(m_search, &JournalSearch::filterApplied, this, &frmMain::filterChanged);

    m_history = new JournalHistory(*this, *this, [this] { return currentEntryId(); });
    buildGridMenu();
}

void frmMain::connectSignals()
{
    connect(m_tb, &MainToolbar::command, this, &frmMain::onToolbarCommand);
    connect(m_tb, &MainToolbar::menuItemClicked, this, &frmMain::onViewMenu);
    connect(m_period, &PeriodPanel::optionClicked, this, &frmMain::onOptionClicked);
    connect(m_period, &PeriodPanel::pickerChanged, this, &frmMain::onPickerChanged);
    connect(m_period, &PeriodPanel::preferencesClicked, this, &frmMain::runPreferences);
    connect(m_accounts, &AccountsPane::command, this, &frmMain::onAccountsCommand);
    connect(m_accounts, &AccountsPane::command,
            new ReconcileCommands(*this, *this, [this] { return m_accounts->currentAccountId(); }),
            &ReconcileCommands::onAccountsCommand);
    connect(m_gex, &grid::GroupedGrid::keyDown, this, &frmMain::onGridKey);
    connect(m_gex, &grid::GroupedGrid::doubleClicked, this, &frmMain::openCurrentEntry);
    // Key preview: the window sees F5 before whichever control has the focus.
    qApp->installEventFilter(this);
    HelpWindow::installF1();
}

void frmMain::setWorkingDate(const QDate& date)
{
    m_state.workingDate = date;
}

void frmMain::SettaAmbiente()
{
    const QString cs = mainmod::ConnString;
    ignoringFailure([&] {
        m_state.layout = normalizedLayout(db::ReadParameter(cs, QStringLiteral("appset_gexlayout"), 0));
    });
    ignoringFailure([&] {
        m_state.startingMonth = normalizedStartingMonth(
            db::ReadParameter(cs, QStringLiteral("appset_esercizio_startingmonth"), 1));
    });
    ignoringFailure([&] {
        m_state.dateGrouping =
            normalizedKind(db::ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0));
    });
    m_state.fiscalYear = fiscalYear(m_state.workingDate, m_state.startingMonth);
    m_period->setStatus(0, Format::date(m_state.workingDate, QStringLiteral("dd\\/mm\\/yyyy")));
    m_period->setStatus(1, Format::date(m_state.fiscalYear.start, QStringLiteral("mmm yyyy")) +
                               QStringLiteral(" - ") +
                               Format::date(m_state.fiscalYear.end, QStringLiteral("mmm yyyy")));
    m_period->setStatus(2, periodNames()[m_state.dateGrouping]);
    const int option = m_period->selectedOption();
    const DateRange& year = m_state.fiscalYear;
    // The pickers cannot leave the fiscal year: when it moves, a "Dal" range
    // moves into it as they do, so they, the grid and the report agree.
    const auto inYear = [&year](const QDate& d) { return std::clamp(d, year.start, year.end); };
    m_state.selected = selectedPeriod(PeriodOption(option), m_state.workingDate, year,
                                      inYear(m_period->pickerDate(0)), inYear(m_period->pickerDate(1)));
    m_period->setPickerLimits(m_state.fiscalYear);
    m_period->setPickerDates(m_state.selected);
    emit settaAmbienteDone();
}

void frmMain::recorded(const std::vector<qint64>& logLines)
{
    m_history->recorded(logLines);
}

void frmMain::SettaVuoto(bool empty)
{
    m_picVoid->setVisible(empty);
    if (empty)
        m_picVoid->raise();
    for (const QString& key : MainToolbar::rowCommandKeys())
        m_tb->action(key)->setEnabled(!empty);
}

void frmMain::gexsBind()
{
    // One message for the whole reload: a journal that cannot be read fails
    // every step for the same reason.
    std::optional<std::pair<QString, QString>> failure;
    const bool accountsRead = m_accounts->reload();
    if (!accountsRead)
        failure.emplace(QStringLiteral("Impossibile leggere il giornale."), m_accounts->lastError());
    m_picVoid->setNeedsAccount(accountsRead && m_accounts->grid()->rowCount() == 0);
    m_gex->hide();
    SettaVuoto(false);
    if (accountsRead && loadJournal(failure)) {
        m_gex->setCurrentRow(1);
        m_gex->show();
    } else {
        if (!accountsRead)
            m_journal->clear();
        SettaVuoto(true);
    }
    if (failure)
        reportFailure(failure->first, failure->second);
    emit gexsBindDone();
}

bool frmMain::loadJournal(std::optional<std::pair<QString, QString>>& failure)
{
    try {
        if (m_journal->load(mainmod::ConnString, m_state.dateGrouping, m_state.selected) == 0)
            return false;
        m_journal->arrange(m_state.layout);
        return true;
    } catch (const db::DbError& e) {
        m_journal->clear();
        failure.emplace(QStringLiteral("Impossibile leggere le registrazioni del periodo."),
                        db::userMessage(e));
    } catch (const CurrencyOverflow&) {
        m_journal->clear();
        failure.emplace(QStringLiteral("Impossibile calcolare il saldo del periodo."),
                        QStringLiteral("Gli importi superano il valore massimo gestibile."));
    }
    return false;
}

void frmMain::reportFailure(const QString& what, const QString& why)
{
    Prompt::instance().message(this, what + QStringLiteral("\n") + why, MsgStyle::Ok);
}

void frmMain::onOptionClicked(int index)
{
    m_period->showOption(index);
    SettaAmbiente();
    gexsBind();
}

void frmMain::onPickerChanged()
{
    SettaAmbiente();
    gexsBind();
}

std::optional<qint64> frmMain::currentEntryId() const
{
    if (m_gex->rowCount() < 1)
        return std::nullopt;
    const int p = m_gex->currentRow();
    if (p < 1 || m_gex->rowType(p) != RowType::Entry)
        return std::nullopt;
    const QVariant id = m_gex->value(p, m_gex->columnIndex(QStringLiteral("mlId")));
    return id.isValid() ? std::optional<qint64>(id.toLongLong()) : std::nullopt;
}

void frmMain::onGridKey(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Delete)
        deleteCurrentEntry();
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        openCurrentEntry();
}

void frmMain::deleteCurrentEntry()
{
    if (const std::optional<qint64> id = currentEntryId())
        askAndDeleteEntry(this, *id, *this);
}

void frmMain::onToolbarCommand(const QString& key)
{
    if (key == u"new") {
        newEntry();
    } else if (key == u"edit") {
        openCurrentEntry();
    } else if (key == u"delete") {
        deleteCurrentEntry();
    } else if (key == u"print") {
        if (!searchLeavesNothing(QStringLiteral("stampare")))
            report::printPreview(this, reportContext());
    } else if (key == u"export") {
        if (!searchLeavesNothing(QStringLiteral("esportare")))
            report::exportPdfCommand(this, reportContext());
    } else if (key == u"import") {
        if (dialog<frmImporta>().Mostra(*this))
            findChild<ReconcileCommands*>()->afterImport(dialog<frmImporta>().reconcileAsked());
    } else if (key == u"tools") {
        dialog<frmDelClosedRows>().Mostra(*this);
    } else if (key == u"charts") {
        showCharts();
    } else if (key == u"view") {
        m_state.layout = (m_state.layout + 1) % 5;
        gexsBind();
        m_gex->setFocus();
    } else if (key == u"expand") {
        m_gex->expandAll();
    } else if (key == u"collapse") {
        m_gex->collapseAll();
    } else if (key == u"help") {
        // As F1 on this window: the index, whatever page the help shows now.
        HelpWindow::showHelp(HelpWindow::pageFor(this));
    } else if (key == u"about") {
        dialog<frmAbout>().Mostra();
    } else if (key == u"close") {
        close();
    }
}

void frmMain::onViewMenu(int position)
{
    m_state.layout = position - 1;
    gexsBind();
}

void frmMain::onAccountsCommand(const QString& key)
{
    if (key == u"new") {
        dialog<frmConto>().Nuovo(*this);
    } else if (key == u"edit") {
        if (const qint64 id = m_accounts->currentAccountId())
            dialog<frmConto>().Apri(*this, qint32(id));
    } else if (key == u"delete") {
        deleteCurrentAccount();
    }
    SettaAmbiente();
    gexsBind();
}

void frmMain::newEntry()
{
    dialog<frmScadenze>().Nuovo(*this);
}

void frmMain::openCurrentEntry()
{
    if (const std::optional<qint64> id = currentEntryId())
        dialog<frmScadenze>().Apri(*this, qint32(*id));
}

void frmMain::deleteCurrentAccount()
{
    AccountDeletion::askAndDelete(this, m_accounts->currentAccountId(), *this);
}

void frmMain::runPreferences()
{
    movilibro::runPreferences(*this, this);
}

// One chart window for the run, following every reload and filter.
void frmMain::showCharts()
{
    auto* charts = findChild<frmGrafici*>(QString(), Qt::FindDirectChildrenOnly);
    if (!charts) {
        charts = new frmGrafici(
            *m_gex,
            [this] {
                return frmGrafici::View{m_state.selected, m_state.dateGrouping, m_journal->filter()};
            },
            {[this](const DateRange& period) { showPeriod(period); },
             [this](const QString& account) {
                 m_search->search(account);
                 bringForward();
             }},
            this);
        connect(this, &frmMain::gexsBindDone, charts, &frmGrafici::journalChanged);
        connect(this, &frmMain::filterChanged, charts, &frmGrafici::journalChanged);
    }
    charts->show();
    charts->raise();
    charts->activateWindow();
}

// A range of the period strip ("Dal ... Al ..."), kept within its limits.
void frmMain::showPeriod(const DateRange& period)
{
    m_period->selectOption(int(PeriodOption::FreeRange));
    m_period->showOption(int(PeriodOption::FreeRange));
    m_period->setPickerDates(period);
    SettaAmbiente();
    gexsBind();
    bringForward();
}

void frmMain::bringForward()
{
    raise();
    activateWindow();
}

// A report of a search that lets nothing through would be a blank page
// that passes for a finished one: the user is told instead.
bool frmMain::searchLeavesNothing(const QString& verb)
{
    m_search->flush();
    if (!m_journal->isFiltered() || m_journal->shownEntries() > 0 || m_gex->rowCount() == 0)
        return false;
    Prompt::instance().message(
        this,
        QStringLiteral(
            "Nessuna registrazione del periodo corrisponde alla ricerca \"%1\": non c'è nulla da %2.")
            .arg(m_journal->filter().describe(), verb),
        MsgStyle::Ok);
    return true;
}

report::ReportContext frmMain::reportContext() const
{
    report::ReportContext context{m_state.selected.start, m_state.selected.end, m_state.dateGrouping,
                                  m_state.layout, mainmod::ConnString};
    context.filter = m_journal->filter();
    return context;
}

// Each dialog is one instance for the run, made on first use.
template <typename Dialog> Dialog& frmMain::dialog()
{
    auto* d = findChild<Dialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!d)
        d = new Dialog(this);
    return *d;
}

} // namespace movilibro
