// The program's start and its main window on a real journal: which journal it
// opens or makes and when it refuses to start; grid layouts and balances, the
// period, and the commands of the toolbars, keys and mouse.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "app/journallock.h"
#include "app/mainmod.h"
#include "app/seams.h"
#include "app/startup.h"
#include "db/backup.h"
#include "db/connstring.h"
#include "journal/journalcolumns.h"
#include "settings/registrywrappers.h"
#include "ui/grid/querygrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QDate March2010(2010, 3, 15);

// 01/03 +100 (id 2, Cassa), 05/03 -30 (id 3, Banca), 05/03 +10 (id 4, Cassa);
// Vuoto is used by no entry, Archivio (id 1) only a year before the period.
void fillExample(Journal& j)
{
    const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
    const qint64 banca = j.addAccount(QStringLiteral("Banca"));
    j.addAccount(QStringLiteral("Vuoto"));
    j.addEntry(QDate(2009, 6, 5), j.addAccount(QStringLiteral("Archivio")), QStringLiteral("voce"), money(5),
               0);
    j.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("voce"), money(100), 0);
    j.addEntry(QDate(2010, 3, 5), banca, QStringLiteral("voce"), 0, money(30));
    j.addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("voce"), money(10), 0);
}

// The grid's rows: H<level> headers, T<level> totals, <id>=<balance> entries.
QString rowShape(MainWindowFixture& f)
{
    const grid::GroupedGrid& gex = *f.window().journalGrid();
    QStringList shape;
    for (int p = 1; p <= gex.displayRowCount(); ++p) {
        const journal::RowType type = gex.rowType(p);
        shape << (type == journal::RowType::Entry
                      ? QStringLiteral("%1=%2").arg(f.idAt(p)).arg(f.balance(p) / 10000)
                      : (type == journal::RowType::GroupHeader ? "H" : "T") + QString::number(gex.level(p)));
    }
    return shape.join(u' ');
}

// The example journal (or, negative, one with a negative balance) in a layout:
// the grid's rows, the caption of the first and the text of the second.
struct Layout
{
    const char* name;
    int layout;
    bool negative;
    const char* shape;
    const char* caption;
    const char* second;
};

const Layout Layouts[] = {
    {"0 none", 0, false, "H1 4=80 3=70 2=100 T1", "Movilibro  [Saldo: 80,00]", "80,00 "},
    {"1 period", 1, false, "H1 H2 4=80 3=70 2=100 T2 T1", "Movilibro  [Saldo: 80,00]", "marzo 2010"},
    {"2 account", 2, false, "H1 H2 3=-30 T2 H2 4=110 2=100 T2 T1", "Movilibro  [Saldo: 80,00]", "Banca"},
    {"3 period, account", 3, false, "H1 H2 H3 3=-30 T3 H3 4=110 2=100 T3 T2 T1", "Movilibro  [Saldo: 80,00]",
     "marzo 2010"},
    {"4 account, period", 4, false, "H1 H2 H3 3=-30 T3 T2 H2 H3 4=110 2=100 T3 T2 T1",
     "Movilibro  [Saldo: 80,00]", "Banca"},
    // Shown without its minus, except in the caption.
    {"negative balance", 0, true, "H1 2=-1234 1=-1234 T1", "Movilibro  [Saldo: -1.234,56]", "1.234,56 "},
};

// A period option clicked (0: the fiscal year from April, shown at start);
// for the free range, the dates picked, used as they are.
struct Option
{
    const char* name;
    int option;
    DateRange selected;
    int rows;
};

const Option Options[] = {
    {"fiscal year", 0, {QDate(2009, 4, 1), QDate(2010, 3, 31)}, 0},
    {"working date", 1, {March2010, March2010}, 0},
    {"current month", 2, {QDate(2010, 3, 1), QDate(2010, 3, 31)}, 0},
    {"free range", 3, {QDate(2010, 4, 1), QDate(2010, 5, 31)}, 1},
    {"free range, start after end: no swap", 3, {QDate(2010, 6, 30), QDate(2010, 5, 31)}, 0},
};

// A command on the example journal (or an empty one when row is 0), with the
// grid's current row, the accounts list's current row and the answer given.
struct Command
{
    const char* name;
    const char* how; // a toolbar action or key, F5@<control>, "double click"
    int row, accountRow, answer;
    const char* script; // played in the dialog that opens; none: rejected
    const char* opened; // "none", or the dialog's name and its first box
    int messages;
    const char* entries;  // ids left
    const char* accounts; // listed after
    const char* reloads;
};

const char* const AllEntries = "1 2 3 4";
const char* const AllAccounts = "Archivio Banca Cassa Vuoto";
const int Yes = int(Answer::Yes), No = int(Answer::No);
const char* const Reloads = "SettaAmbiente gexsBind"; // after every command of the accounts list

const Command Commands[] = {
    // Nothing opens, nothing changes.
    {"edit on a header", "edit", 1, 0, -1, nullptr, "none", 0, AllEntries, AllAccounts, ""},
    {"delete on a header", "delete", 1, 0, Yes, nullptr, "none", 0, AllEntries, AllAccounts, ""},
    {"Delete key on a total", "Delete", 5, 0, Yes, nullptr, "none", 0, AllEntries, AllAccounts, ""},
    {"Enter on a header", "Enter", 1, 0, -1, nullptr, "none", 0, AllEntries, AllAccounts, ""},
    {"double click on a header", "double click", 1, 0, -1, nullptr, "none", 0, AllEntries, AllAccounts, ""},
    {"edit account, none listed", "tbConti_edit", 0, 0, -1, nullptr, "none", 0, "", "", Reloads},
    {"delete account, none listed", "tbConti_delete", 0, 0, Yes, nullptr, "none", 1, "", "", Reloads},
    // Entries.
    {"Delete key, yes", "Delete", 2, 0, Yes, nullptr, "none", 1, "1 2 3", AllAccounts, "gexsBind"},
    {"Delete key, no", "Delete", 2, 0, No, nullptr, "none", 1, AllEntries, AllAccounts, ""},
    {"F5 from the accounts list", "F5@gexContiView", 2, 0, -1, nullptr, "frmScadenze/", 0, AllEntries,
     AllAccounts, ""},
    {"F5 from a date picker", "F5@dtpfilter_0", 2, 0, -1, nullptr, "frmScadenze/", 0, AllEntries, AllAccounts,
     ""},
    {"F5 from the grid", "F5@gex", 2, 0, -1, nullptr, "frmScadenze/", 0, AllEntries, AllAccounts, ""},
    {"Enter on an entry", "Enter", 2, 0, -1, nullptr, "frmScadenze/voce", 0, AllEntries, AllAccounts, ""},
    // Accounts, listed by name.
    {"new account", "tbConti_new", 2, 0, -1, "Posta|<cmdSalva>", "frmConto/", 0, AllEntries,
     "Archivio Banca Cassa Posta Vuoto", "gexsBind SettaAmbiente gexsBind"},
    {"renamed account", "tbConti_edit", 2, 3, -1, "Contanti|<cmdSalva>", "frmConto/Cassa", 0, AllEntries,
     "Archivio Banca Contanti Vuoto", "gexsBind SettaAmbiente gexsBind"},
    {"unused account, yes", "tbConti_delete", 2, 4, Yes, nullptr, "none", 1, AllEntries,
     "Archivio Banca Cassa", Reloads},
    {"unused account, no", "tbConti_delete", 2, 4, No, nullptr, "none", 1, AllEntries, AllAccounts, Reloads},
    {"account used outside the period, refused", "tbConti_delete", 2, 1, Yes, nullptr, "none", 2, AllEntries,
     AllAccounts, Reloads},
};

// Keys on the grid after the example's entry 4 (display row 2) is deleted
// with Del and Yes; what the file then holds, in Movilibro and in the bin.
struct UndoKeys
{
    const char* name;
    const char* keys; // after the deletion
    const char* entries;
    const char* bin;
    const char* log;
    const char* reloads; // after the deletion's own
};

const UndoKeys UndoRows[] = {
    {"deleted", "", "1 2 3", "4", "eliminazione", ""},
    {"Ctrl+Z brings it back", "Ctrl+Z", AllEntries, "", "eliminazione annullamento", "gexsBind"},
    {"Ctrl+Z twice: one step only", "Ctrl+Z Ctrl+Z", AllEntries, "", "eliminazione annullamento", "gexsBind"},
    {"Ctrl+Y redoes", "Ctrl+Z Ctrl+Y", "1 2 3", "4", "eliminazione annullamento ripetizione",
     "gexsBind gexsBind"},
    {"Ctrl+Shift+Z redoes", "Ctrl+Z Ctrl+Shift+Z", "1 2 3", "4", "eliminazione annullamento ripetizione",
     "gexsBind gexsBind"},
    {"Ctrl+Y with nothing undone", "Ctrl+Y", "1 2 3", "4", "eliminazione", ""},
};

void clickOption(frmMain& w, int option)
{
    auto* radio = w.findChild<QRadioButton*>(QStringLiteral("optDate_%1").arg(option));
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
}

const QString CurDb = QStringLiteral("appset_curdb");

QString storedFolder()
{
    return ReadRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, CurDb, QStringLiteral("<none>"))
        .toString();
}

void storeFolder(const QString& folder)
{
    WriteRegistryValue(HKEY_CURRENT_USER, mainmod::SettingsKey, REG_SZ, CurDb, folder);
}

enum Setup
{
    NoTemplate,
    EmptyJournal,
    DamagedJournal,
    StoredFolderGone,
    SettingsUnwritable,
    OpenElsewhere
};

// Refused starts: the folder the user is asked for is stored for the next
// start ("~" is the home; "<none>": nothing stored), the journal left as it was.
struct Refusal
{
    const char* name;
    Setup setup;
    const char* chosen;
    int messages, folderPrompts;
    const char* stored;
};

const Refusal Refusals[] = {
    {"no template, choice cancelled", NoTemplate, "", 1, 1, "<none>"},
    {"zero-length journal, left alone", EmptyJournal, "~/altrove/", 2, 1, "~/altrove"},
    {"damaged journal, root chosen", DamagedJournal, "/", 2, 1, ""},
    {"stored folder gone, cancel keeps it", StoredFolderGone, "", 1, 1, "~/sparita"},
    {"settings cannot be written", SettingsUnwritable, "~", 2, 1, nullptr},
    {"journal open in another program", OpenElsewhere, "", 1, 0, "<none>"},
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    std::optional<TestHome> m_home;
    std::optional<ScopedScriptedPrompt> m_prompt;
    QString journalPath() const { return m_home->defaultDbFolder() + QStringLiteral("/movilibro.mdb"); }

private slots:
    void initTestCase()
    {
        pinItalianLocale();
        Pauses::setDurations(0, 0);
        db::Connection::setBusyTimeout(50);
    }
    // Each test in a fresh home, today pinned; the window tests make their own.
    void init()
    {
        m_home.emplace(), m_prompt.emplace();
        Clock::setToday([] { return QDate(2024, 3, 15); });
    }
    void cleanup() { unloadMainWindow(), mainmod::setProgramFolder({}); }

    // The first start makes the default folder and a journal from the
    // template; the second the same day opens it unchanged, with one copy.
    void firstAndSecondStart()
    {
        frmMain* main = Main();
        QVERIFY(main && main->isVisible());
        QVERIFY(m_prompt->messages.isEmpty());
        QCOMPARE(mainmod::DBFolder, m_home->defaultDbFolder());
        QCOMPARE(db::databasePathFromConnString(mainmod::ConnString), journalPath());
        QCOMPARE(fileBytes(journalPath()), fileBytes(templatePath()));
        QCOMPARE(storedFolder(), QStringLiteral("<none>")); // reading stored nothing
        unloadMainWindow();
        db::Connection::open(journalPath())
            .exec(QStringLiteral("INSERT INTO Conti (cntNome) VALUES ('Cassa')"));
        const QByteArray before = fileBytes(journalPath());
        QVERIFY(Main());
        QCOMPARE(fileBytes(journalPath()), before);
        const db::JournalBackup backup(journalPath());
        QCOMPARE(backup.copies().size(), 1);
        QVERIFY(db::JournalBackup::isSoundJournal(backup.copies().first()));
    }

    // A stored folder without a journal gets one from the template.
    void startsInTheStoredFolder()
    {
        const QString folder = m_home->home() + QStringLiteral("/conti2010");
        QDir().mkpath(folder);
        storeFolder(folder);
        QVERIFY(Main());
        QVERIFY(m_prompt->messages.isEmpty());
        QCOMPARE(mainmod::DBFolder, folder);
        QCOMPARE(fileBytes(folder + QStringLiteral("/movilibro.mdb")), fileBytes(templatePath()));
        // The default folder is made at every start, even when unused.
        QVERIFY(QFileInfo(m_home->defaultDbFolder()).isDir());
        QVERIFY(!QFileInfo::exists(journalPath()));
    }

    void refused_data() { addRows(Refusals); }
    void refused()
    {
        const Refusal& r = currentCase(Refusals);
        const QString home = m_home->home();
        QTemporaryDir emptyProgramFolder;
        if (r.setup == NoTemplate || r.setup == SettingsUnwritable)
            mainmod::setProgramFolder(emptyProgramFolder.path());
        QDir().mkpath(m_home->defaultDbFolder());
        QFile journal(journalPath());
        if (r.setup == EmptyJournal || r.setup == DamagedJournal) {
            QVERIFY(journal.open(QIODevice::WriteOnly));
            journal.write(r.setup == DamagedJournal ? "not a journal" : "");
            journal.close();
        }
        if (r.setup == OpenElsewhere) // the lock of another process
            QVERIFY(Main());
        unloadMainWindow();
        JournalLock other(journalPath());
        if (r.setup == OpenElsewhere)
            QVERIFY(other.acquire());
        const QByteArray before = fileBytes(journalPath());
        if (r.setup == StoredFolderGone)
            storeFolder(home + QStringLiteral("/sparita"));
        if (r.setup == SettingsUnwritable) { // a regular file where the settings folder should be
            QVERIFY(QFile(home + QStringLiteral("/blocked")).open(QIODevice::WriteOnly));
            qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/blocked/config")).toUtf8());
        }
        m_prompt->setNextFolder(QString::fromUtf8(r.chosen).replace(u'~', home));
        QVERIFY(!Main());
        QVERIFY(!mainWindow());
        QCOMPARE(m_prompt->messages.size(), r.messages);
        QCOMPARE(m_prompt->folderPrompts.size(), r.folderPrompts);
        QCOMPARE(fileBytes(journalPath()), before);
        if (r.stored) // without the trailing separator
            QCOMPARE(storedFolder(), QString::fromUtf8(r.stored).replace(u'~', home));
        else
            QCOMPARE(m_prompt->messages[1].style, MsgStyle::Critical);
    }

    void qtTextsAreItalian()
    {
        installTranslations(*QCoreApplication::instance());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sì"));
    }

    void layouts_data() { addRows(Layouts); }
    void layouts()
    {
        const Layout& c = currentCase(Layouts);
        MainWindowFixture f(March2010);
        if (c.negative) {
            const qint64 a = f.journal().addAccount(QStringLiteral("Cassa"));
            f.journal().addEntry(QDate(2010, 3, 1), a, {}, std::nullopt, money(1234, 56));
            f.journal().addEntry(QDate(2010, 3, 2), a, {}, std::nullopt,
                                 std::nullopt);                               // still gets a balance
            f.journal().addEntry(QDate(2009, 12, 31), a, {}, money(5000), 0); // before the period
        } else {
            fillExample(f.journal());
        }
        f.journal().setParameter(QStringLiteral("appset_gexlayout"), c.layout);
        frmMain& w = f.open();
        QCOMPARE(rowShape(f), QString::fromLatin1(c.shape));
        QCOMPARE(w.journalGrid()->currentRow(), 1);
        QCOMPARE(f.shown(1, 0), QString::fromUtf8(c.caption));
        QCOMPARE(f.shown(2, c.layout ? 0 : journal::JournalColumn::Saldo), QString::fromUtf8(c.second));
    }

    void optionsSelectThePeriod_data() { addRows(Options); }
    void optionsSelectThePeriod()
    {
        const Option& c = currentCase(Options);
        MainWindowFixture f(March2010);
        f.journal().addEntry(QDate(2010, 5, 1), f.journal().addAccount(QStringLiteral("Cassa")), {}, money(1),
                             0);
        f.journal().setParameter(QStringLiteral("appset_esercizio_startingmonth"), c.option ? 1 : 4);
        frmMain& w = f.open();
        if (c.option)
            clickOption(w, c.option);
        QCOMPARE(f.reloads().count(QStringLiteral("gexsBind")), c.option ? 1 : 0);
        auto* from = w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_0"));
        auto* to = w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_1"));
        QCOMPARE(from->isEnabled(), c.option == 3);
        if (c.option == 3) { // picked in the free range's pickers
            to->setDate(c.selected.end);
            from->setDate(c.selected.start);
        }
        QCOMPARE(w.viewState().selected, c.selected);
        QCOMPARE((DateRange{from->date(), to->date()}), c.selected);
        QCOMPARE(w.journalGrid()->rowCount(), c.rows);
    }

    // The layout chosen from the toolbar lasts until the next set-up, never stored.
    void viewCyclesThroughTheLayouts()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        f.journal().setParameter(QStringLiteral("appset_gexlayout"), 3);
        frmMain& w = f.open();
        QList<int> seen;
        for (int i = 0; i < 5; ++i) {
            w.toolbar()->action(QStringLiteral("view"))->trigger();
            seen << w.viewState().layout;
        }
        QCOMPARE(seen, (QList<int>{4, 0, 1, 2, 3}));
        QVERIFY(w.journalGrid()->view()->hasFocus());
        w.toolbar()->viewMenu()->actions()[4]->trigger(); // "by account and period"
        QCOMPARE(w.journalGrid()->rows().levelCount(), 3);
        clickOption(w, 2);
        QCOMPARE(w.viewState().layout, 3);
    }

    void toolbarGroups()
    {
        MainWindowFixture f(March2010);
        QStringList groups{QString()};
        for (const QAction* action : f.open().toolbar()->actions()) {
            if (action->isSeparator())
                groups << QString();
            else
                groups.last() +=
                    (groups.last().isEmpty() ? QString() : QStringLiteral(" ")) + action->objectName();
        }
        QCOMPARE(groups.join(u'|'),
                 QStringLiteral("new edit delete|print export|import|tools|charts|view expand "
                                "collapse|help about|close"));
    }

    void emptyPeriodDisablesTheRowCommands()
    {
        MainWindowFixture f(March2010);
        frmMain& w = f.open();
        auto* picVoid = w.findChild<QWidget*>(QStringLiteral("picVoid"));
        const auto expectEmpty = [&](bool empty) {
            QCOMPARE(picVoid->isVisible(), empty);
            QCOMPARE(w.journalGrid()->isVisible(), !empty);
            for (const QString& key : MainToolbar::rowCommandKeys())
                QVERIFY2(w.toolbar()->action(key)->isEnabled() == !empty, qPrintable(key));
            QVERIFY(w.toolbar()->action(QStringLiteral("new"))->isEnabled());
        };
        expectEmpty(true);
        f.journal().addEntry(QDate(2010, 3, 1), f.journal().addAccount(QStringLiteral("Cassa")), {}, money(1),
                             0);
        w.gexsBind();
        expectEmpty(false);
        w.journalGrid()->setCurrentRow(2); // deleting the period's last entry
        f.prompt().setNextAnswer(Answer::Yes);
        w.toolbar()->action(QStringLiteral("delete"))->trigger();
        expectEmpty(true);
    }

    void reloadFailureKeepsTheWindowUsable()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        QVERIFY(QFile::remove(f.journal().path()));
        w.gexsBind();
        QVERIFY(!f.prompt().messages.isEmpty());
        QVERIFY(w.isVisible());
        QVERIFY(!QFileInfo::exists(f.journal().path())); // nothing created in its place
    }

    void commands_data() { addRows(Commands); }
    void commands()
    {
        const Command& c = currentCase(Commands);
        MainWindowFixture f(March2010);
        if (c.row)
            fillExample(f.journal());
        frmMain& w = f.open();
        if (c.row)
            w.journalGrid()->setCurrentRow(c.row);
        if (c.accountRow)
            w.accountsPane()->grid()->setCurrentRow(c.accountRow);
        if (c.answer >= 0)
            f.prompt().setNextAnswer(Answer(c.answer));
        QString opened = QStringLiteral("none");
        ModalDriver driver([&](QDialog& d) {
            auto* first = control<QLineEdit>(d, "txtData_0");
            opened = d.objectName() + u'/' + (first ? first->text() : QString());
            c.script ? play(d, QString::fromUtf8(c.script)) : d.reject();
        });
        const QString how = QString::fromLatin1(c.how);
        if (how.startsWith(u"F5@")) {
            QWidget* target = w.findChild<QWidget*>(how.mid(3));
            auto* grid = qobject_cast<grid::GroupedGrid*>(target);
            QTest::keyClick(grid ? grid->view() : target, Qt::Key_F5);
        } else if (how == u"Delete" || how == u"Enter") {
            QTest::keyClick(w.journalGrid()->view(), how == u"Enter" ? Qt::Key_Return : Qt::Key_Delete);
        } else if (how == u"double click") {
            emit w.journalGrid()->doubleClicked();
        } else {
            QAction* action = w.toolbar()->action(how);
            (action ? action : w.findChild<QAction*>(how))->trigger();
        }
        QCOMPARE(opened, QString::fromUtf8(c.opened));
        QCOMPARE(f.prompt().messages.size(), c.messages);
        QCOMPARE(f.journal().text(QStringLiteral(
                     "SELECT group_concat(mlId, ' ') FROM (SELECT mlId FROM Movilibro ORDER BY mlId)")),
                 QString::fromLatin1(c.entries));
        QStringList accounts;
        for (int p = 1; p <= w.accountsPane()->grid()->displayRowCount(); ++p)
            accounts << w.accountsPane()->grid()->value(p, 2).toString();
        QCOMPARE(accounts.join(u' '), QString::fromLatin1(c.accounts));
        QCOMPARE(f.reloads().join(u' '), QString::fromLatin1(c.reloads));
    }
    void deleteThenUndoWithTheKeys_data() { addRows(UndoRows); }
    void deleteThenUndoWithTheKeys()
    {
        const UndoKeys& c = currentCase(UndoRows);
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        w.journalGrid()->setCurrentRow(2);
        f.prompt().setNextAnswer(Answer::Yes);
        QTest::keyClick(w.journalGrid()->view(), Qt::Key_Delete);
        QCOMPARE(f.prompt().messages.size(), 1); // the question, as before
        const qsizetype reloadsBefore = f.reloads().size();
        const QString keys = QString::fromLatin1(c.keys);
        for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
            const QKeySequence seq(key);
            QTest::keySequence(w.journalGrid()->view(), seq);
        }
        QCOMPARE(f.prompt().messages.size(), 1);
        QCOMPARE(f.journal().text(QStringLiteral(
                     "SELECT group_concat(mlId, ' ') FROM (SELECT mlId FROM Movilibro ORDER BY mlId)")),
                 QString::fromLatin1(c.entries));
        QCOMPARE(f.journal().text(QStringLiteral("SELECT group_concat(mlId, ' ') FROM Cestino")),
                 QString::fromLatin1(c.bin));
        QCOMPARE(f.journal().text(QStringLiteral(
                     "SELECT group_concat(crTipo, ' ') FROM (SELECT crTipo FROM Cronologia ORDER BY crId)")),
                 QString::fromLatin1(c.log));
        QCOMPARE(f.reloads().mid(reloadsBefore).join(u' '), QString::fromLatin1(c.reloads));
        // The grid shows what the file holds: entry 4 is its second row when there.
        QCOMPARE(f.idAt(2) == 4, QString::fromLatin1(c.bin).isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
