// The dialogs on a real journal, driven by real keys and mouse: the entry
// and account editors and their amount boxes, the purge, the preferences and
// the help window.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "db/backup.h"
#include "ui/dialogs/amountedit.h"
#include "ui/dialogs/frmconto.h"
#include "ui/dialogs/frmdelclosedrows.h"
#include "ui/dialogs/frmoptions.h"
#include "ui/dialogs/frmscadenze.h"
#include "ui/dialogs/helpwindow.h"
#include "ui/import/frmimporta.h"
#include "ui/reconcile/frmcontacassa.h"
#include "ui/reconcile/frmquadratura.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QToolButton>

using namespace movilibro;
using namespace movilibro::test;

namespace {

enum Editor
{
    EntryEditor,
    AccountEditor
};

QLineEdit* box(QDialog& d, int index)
{
    return control<QLineEdit>(d, QStringLiteral("txtData_%1").arg(index));
}

// The window's own dialog, which the program keeps for the run.
template <typename Dialog> Dialog& shared(MainWindowFixture& f)
{
    auto* d = f.window().findChild<Dialog*>(QString(), Qt::FindDirectChildrenOnly);
    return d ? *d : *new Dialog(&f.window());
}

// Opens an editor on a new record (id 0) or on `id`, with `steps` run inside it.
bool runEditor(MainWindowFixture& f, Editor editor, qint64 id, const std::function<void(QDialog&)>& steps)
{
    ModalDriver driver(steps);
    if (editor == EntryEditor) {
        frmScadenze& e = shared<frmScadenze>(f);
        return id ? e.Apri(f.window(), qint32(id)) : e.Nuovo(f.window());
    }
    frmConto& e = shared<frmConto>(f);
    return id ? e.Apri(f.window(), qint32(id)) : e.Nuovo(f.window());
}

// "date|account|description|in|out" of an entry; the newest without an id.
QString entryRow(const Journal& j, qint64 id = 0)
{
    return j.text(QStringLiteral("SELECT mlData || '|' || mlConto || '|' || mlDescrizione || '|' || "
                                 "ifnull(mlEntrate, '') || '|' || ifnull(mlUscite, '') FROM Movilibro WHERE "
                                 "mlId = %1")
                      .arg(id ? QString::number(id) : QStringLiteral("(SELECT max(mlId) FROM Movilibro)")));
}

const QString Typed =
    QStringLiteral("<Return>|prova|<Return>|c|<Return>|"); // description, account, Entrate next

// An editor closed without saving, on a journal with one account and one entry.
struct NotSaved
{
    const char* name;
    Editor editor;
    enum
    {
        New,
        Existing,
        Negative, // an existing entry whose Entrate is -5
        Missing
    } record;
    QString script;
    int messages;
    const char* focus;          // after the script: the focus in the dialog still open, or "closed"
    const char* said = nullptr; // the first message
};

// Save refused: the editor stays open, the focus on what must be fixed.
const NotSaved Refusals[] = {
    {"no amount", EntryEditor, NotSaved::New, Typed + "<cmdSalva>", 1, "txtData_1"},
    {"zeros typed", EntryEditor, NotSaved::New, Typed + "0|<Tab>|0,00|<cmdSalva>", 1, "txtData_1"},
    {"both amounts", EntryEditor, NotSaved::New, Typed + "10|<Tab>|5|<cmdSalva>", 1, "txtData_1"},
    {"emptied amount", EntryEditor, NotSaved::New, Typed + "<Backspace>|<Tab>|<Return>|<cmdSalva>", 0,
     "txtData_1"},
    // The clipboard holds "-5": never taken as 5.
    {"pasted negative", EntryEditor, NotSaved::New, Typed + "<Shift+Ins>|<cmdSalva>", 2, "txtData_1",
     "Un importo negativo va scritto come Uscita."},
    {"minus typed", EntryEditor, NotSaved::New, Typed + "<Tab>|-|<cmdSalva>", 2, "txtData_1",
     "Un importo negativo va scritto come Entrata."},
    {"stored negative", EntryEditor, NotSaved::Negative, "<cmdSalva>", 1, "txtData_1",
     "Un importo negativo va scritto come Uscita."},
    {"no description", EntryEditor, NotSaved::New, "<cmdSalva>", 0, "txtData_0"},
    {"description left empty", EntryEditor, NotSaved::New, "<Return>|<Return>", 0, "txtData_0"},
    {"no account", EntryEditor, NotSaved::New, "<Return>|x|<Return>|<Tab>", 0, "dtcData"},
    {"close box", EntryEditor, NotSaved::New, "<Return>|<Close>", 0, "txtData_0"},
    {"empty account name", AccountEditor, NotSaved::New, "<Tab>|<cmdSalva>", 0, "txtData_0"},
};

const NotSaved Cancels[] = {
    {"new entry, Esc", EntryEditor, NotSaved::New, Typed + "10|<Esc>", 0, "closed"},
    {"new entry, Annulla", EntryEditor, NotSaved::New, Typed + "10|<cmdAnnulla>", 0, "closed"},
    {"emptied amount, Esc", EntryEditor, NotSaved::New, Typed + "<Backspace>|<Esc>", 0, "closed"},
    {"emptied amount, Annulla", EntryEditor, NotSaved::New, Typed + "<Backspace>|<cmdAnnulla>", 0, "closed"},
    {"changed entry, Esc", EntryEditor, NotSaved::Existing, "<Return>|altro|<Esc>", 0, "closed"},
    {"new account, Esc", AccountEditor, NotSaved::New, "Carta|<Esc>", 0, "closed"},
    {"new account, Annulla", AccountEditor, NotSaved::New, "Carta|<cmdAnnulla>", 0, "closed"},
    {"renamed account, Esc", AccountEditor, NotSaved::Existing, "Carta|<Esc>", 0, "closed"},
};

// Opening a record that is gone: said, and no editor opens.
const NotSaved MissingIds[] = {
    {"entry", EntryEditor, NotSaved::Missing, "", 1, "not opened"},
    {"account", AccountEditor, NotSaved::Missing, "", 1, "not opened"},
};

void expectNothingSaved(const NotSaved& c)
{
    MainWindowFixture f;
    const qint64 account = f.journal().addAccount(QStringLiteral("Cassa"));
    const qint64 entry = f.journal().addEntry(QDate(2024, 3, 1), account, QStringLiteral("prima"),
                                              c.record == NotSaved::Negative ? -money(5) : money(5), 0);
    const QByteArray before = fileBytes(f.journal().path());
    QGuiApplication::clipboard()->setText(QStringLiteral("-5"));
    f.open();
    const qint64 id = c.record == NotSaved::New       ? 0
                      : c.record == NotSaved::Missing ? 4242
                      : c.editor == EntryEditor       ? entry
                                                      : account;
    QString focus = QStringLiteral("not opened");
    QVERIFY(!runEditor(f, c.editor, id, [&](QDialog& d) {
        play(d, c.script);
        focus = d.isVisible() ? focusedName() : QStringLiteral("closed");
        if (d.isVisible())
            press(Qt::Key_Escape);
    }));
    QCOMPARE(focus, QString::fromLatin1(c.focus));
    QCOMPARE(f.prompt().messages.size(), c.messages);
    if (c.said)
        QCOMPARE(f.prompt().messages[0].text, QString::fromUtf8(c.said));
    QCOMPARE(fileBytes(f.journal().path()), before);
    QVERIFY(f.reloads().isEmpty());
}

// The purge of old entries: cut-off, question, copy, delete, reload.

const QString All = QStringLiteral("2018-03-04 2018-03-05 2018-03-05 2018-03-06 2018-05-03");

struct PurgeCase
{
    const char* name;
    QDate cutOff;
    const char* closing; // the script that closes the dialog
    int answer;          // to the question; -1: no question expected
    int counted;         // in the question
    QString left;        // dates of the entries left
    QLocale::Language language = QLocale::Italian;
    bool copyBlocked = false;
    bool locked = false; // read by another program
};

const PurgeCase Purges[] = {
    {"before the first entry", QDate(2018, 3, 3), "<cmdSalva>", -1, 0, All},
    {"cut-off day included", QDate(2018, 3, 5), "<cmdSalva>", int(Answer::Yes), 3, "2018-03-06 2018-05-03"},
    {"the day after kept", QDate(2018, 3, 6), "<cmdSalva>", int(Answer::Yes), 4, "2018-05-03"},
    // Read day first, 03/05 would be 3 May and take the May entry as well.
    {"day-first locale", QDate(2018, 3, 5), "<cmdSalva>", int(Answer::Yes), 3, "2018-03-06 2018-05-03",
     QLocale::German},
    {"answer no", QDate(2018, 12, 31), "<cmdSalva>", int(Answer::No), 5, All},
    {"no copy, no purge", QDate(2018, 12, 31), "<cmdSalva>", int(Answer::Yes), 5, All, QLocale::Italian,
     true},
    {"purge refused by the file: its copy not kept", QDate(2018, 12, 31), "<cmdSalva>", int(Answer::Yes), 5,
     All, QLocale::Italian, false, true},
    {"Annulla", QDate(2018, 12, 31), "<cmdAnnulla>", -1, 5, All},
    {"close box", QDate(2018, 12, 31), "<Close>", -1, 5, All},
};

// The preferences.

struct PreferenceCase
{
    const char* name;
    int grouping, month; // stored before; -1: nothing stored
    const char* script;  // played in the dialog, closing it
    const char* shown;   // grouping and month shown
    int storedGrouping, storedMonth;
};

// Closing stores what is shown; Down on the date picker moves the working
// date, kept in memory only.
const PreferenceCase Preferences[] = {
    {"nothing stored", -1, -1, "<cmdClose>", "mensile,gennaio", 0, 1},
    {"nothing stored, close box", -1, -1, "<Close>", "mensile,gennaio", 0, 1},
    {"stored values", 3, 4, "<cmdClose>", "quadrimestrale,aprile", 3, 4},
    {"out of range", 9, 13, "<cmdClose>", "mensile,gennaio", 0, 1},
    {"trimestrale, dicembre", 1, 1, "<Down>|<Tab>|t|<Tab>|d|<Tab>|<Space>", "bimestrale,gennaio", 2, 12},
    {"semestrale, luglio", 1, 1, "<Down>|<Tab>|s|<Tab>|l|<Tab>|<Space>", "bimestrale,gennaio", 4, 7},
};

QString pageName()
{
    return HelpWindow::instance() ? HelpWindow::instance()->currentPage().fileName() : QString();
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        pinItalianLocale();
        HelpWindow::installF1();
    }
    void cleanup() { delete HelpWindow::instance(); }
    void newEntryTypedFromKeyboard()
    {
        MainWindowFixture f;
        for (const char* name : {"zeta", "Cassa", "èlite", "Banca", "Alfa"})
            f.journal().addAccount(QString::fromUtf8(name));
        f.open();
        QStringList focusPath, accounts;
        QString startDate;
        QVERIFY(runEditor(f, EntryEditor, 0, [&](QDialog& d) {
            startDate = control<QDateEdit>(d, "datData")->date().toString(Qt::ISODate);
            auto* combo = control<QComboBox>(d, "dtcData");
            for (int i = 0; i < combo->count(); ++i)
                accounts << combo->itemText(i);
            accounts << QString::number(combo->currentIndex());
            // Up: the day after the working date.
            for (const QString& step : {"<Up>|<Return>", "Versamento contanti|<Return>", "c|<Return>",
                                        "1234.56|<Return>", "<Return>", "<Return>"}) {
                focusPath << focusedName();
                play(d, step);
            }
        }));
        QCOMPARE(startDate, QStringLiteral("2024-03-15"));
        QCOMPARE(accounts, QStringList({"Alfa", "Banca", "Cassa", "èlite", "zeta", "-1"}));
        QCOMPARE(focusPath,
                 QStringList({"datData", "txtData_0", "dtcData", "txtData_1", "txtData_2", "cmdSalva"}));
        // Uscite left at zero is stored as 0, not empty.
        QCOMPARE(entryRow(f.journal()), QStringLiteral("2024-03-16|2|Versamento contanti|12345600|0"));
        QCOMPARE(f.reloads(), QStringList({"gexsBind"}));
    }

    void refusals_data() { addRows(Refusals); }
    void refusals() { expectNothingSaved(currentCase(Refusals)); }
    void cancels_data() { addRows(Cancels); }
    void cancels() { expectNothingSaved(currentCase(Cancels)); }
    void missingIds_data() { addRows(MissingIds); }
    void missingIds() { expectNothingSaved(currentCase(MissingIds)); }

    void editingSelectsFiltersAndChangesThatRowOnly()
    {
        MainWindowFixture f;
        const qint64 cassa = f.journal().addAccount(QStringLiteral("Cassa"));
        f.journal().addAccount(QStringLiteral("Banca"));
        const qint64 first =
            f.journal().addEntry(QDate(2024, 3, 1), cassa, QStringLiteral("uno"), money(10), 0);
        const qint64 second =
            f.journal().addEntry(QDate(2024, 3, 2), cassa, QStringLiteral("due"), money(20), 0);
        const QString untouched = entryRow(f.journal(), first);
        f.open();
        QStringList seen;
        QGuiApplication::clipboard()->setText(QStringLiteral("7x"));
        QVERIFY(runEditor(f, EntryEditor, second, [&](QDialog& d) {
            seen << box(d, 0)->text() << box(d, 1)->text() << control<QComboBox>(d, "dtcData")->currentText();
            press(Qt::Key_Return); // entering a box by key or click selects all of it
            seen << box(d, 0)->selectedText();
            click(box(d, 2));
            QCoreApplication::processEvents(); // the selection follows the click
            seen << box(d, 2)->selectedText();
            play(d, QStringLiteral("-1a2.5 ")); // typed keys filtered
            seen << box(d, 2)->text();
            press(Qt::Key_V, Qt::ControlModifier);    // refused
            press(Qt::Key_Insert, Qt::ShiftModifier); // pasted, filtered
            seen << box(d, 2)->text();
            click(box(d, 0));
            QCoreApplication::processEvents();
            play(d, QStringLiteral("due bis|<Return>|b|<Return>|0|<cmdSalva>"));
        }));
        QCOMPARE(seen, QStringList({"due", "20,00 ", "Cassa", "due", "0,00 ", "12,5", "12,57"}));
        QCOMPARE(entryRow(f.journal(), second), QStringLiteral("2024-03-02|2|due bis|0|125700"));
        QCOMPARE(entryRow(f.journal(), first), untouched);
    }

    void newAccountByEnterTwice()
    {
        MainWindowFixture f;
        f.open();
        QString focusAfterFirstEnter;
        QVERIFY(runEditor(f, AccountEditor, 0, [&](QDialog& d) {
            play(d, QString(300, u'x') + "|<Return>"); // no more than 255 can be typed
            focusAfterFirstEnter = focusedName();
            press(Qt::Key_Return);
        }));
        QCOMPARE(focusAfterFirstEnter, QStringLiteral("cmdSalva"));
        QCOMPARE(f.journal().text(QStringLiteral("SELECT cntNome FROM Conti")), QString(255, u'x'));
    }

    void amountFilters()
    {
        const QList<std::pair<QString, QString>> pasted = {
            {"12,50", "12,50"}, {"1.234,50 ", "1234,50"}, {"1a2.5x", "12,5"}, {"abc-", ""}};
        for (const auto& [text, kept] : pasted) {
            QCOMPARE(filterPastedAmount(text), kept);
            QVERIFY2(!readsAsNegative(text), qPrintable(text));
        }
        for (const char* text : {"-5",
                                 " \u2212"
                                 "12,50",
                                 "3,00-", "-7x"})
            QVERIFY2(readsAsNegative(QString::fromUtf8(text)), text);
        QVERIFY(!readsAsNegative(QStringLiteral("2024-03-01")));
        for (const char* text : {"922337203685477,5808", "1234567890123456", "9.223.372.036.854.776"})
            QVERIFY2(amountOverflows(QString::fromLatin1(text)), text);
        for (const char* text : {"922337203685477,5807", "12,34,5", ""})
            QVERIFY2(!amountOverflows(QString::fromLatin1(text)), text);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QChar kept = FilterAmountKey(u'.');
        pinItalianLocale();
        QCOMPARE(kept, QChar(u'.')); // a full stop is kept where it is the decimal point
    }

    // Too large, typed or pasted: refused with a message, the box unchanged.
    void tooLargeAmountRefused()
    {
        ScopedScriptedPrompt prompt;
        AmountEdit box;
        box.show();
        QTest::keyClicks(&box, QStringLiteral("922337203685477"));
        QVERIFY(prompt.messages.isEmpty());
        QTest::keyClick(&box, Qt::Key_0);
        QCOMPARE(box.text(), QStringLiteral("922337203685477"));
        QCOMPARE(prompt.messages.size(), 1);
        box.setText(QStringLiteral("5"));
        QGuiApplication::clipboard()->setText(QStringLiteral("99999999999999999999"));
        box.pasteFiltered();
        QCOMPARE(box.text(), QStringLiteral("5"));
        QCOMPARE(prompt.messages.size(), 2);
        // The context menu's paste is filtered too.
        box.clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("2.000,10"));
        std::unique_ptr<QMenu> menu(box.createFilteredContextMenu());
        QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
        QVERIFY(paste);
        paste->trigger();
        QCOMPARE(box.text(), QStringLiteral("2000,10"));
    }

    void purge_data() { addRows(Purges); }
    void purge()
    {
        const PurgeCase& c = currentCase(Purges);
        MainWindowFixture f(QDate(2021, 7, 9));
        const qint64 cassa = f.journal().addAccount(QStringLiteral("Cassa"));
        const qint64 banca = f.journal().addAccount(QStringLiteral("Banca"));
        for (const QString& day : All.split(u' '))
            f.journal().addEntry(QDate::fromString(day, Qt::ISODate), day == u"2018-03-05" ? banca : cassa,
                                 {}, money(1), 0);
        if (c.copyBlocked) // a file where the copies go
            QVERIFY(QFile(f.journal().folder() + QStringLiteral("/backup")).open(QIODevice::WriteOnly));
        const QByteArray before = fileBytes(f.journal().path());
        f.open();
        QLocale::setDefault(QLocale(c.language));
        if (c.answer >= 0)
            f.prompt().setNextAnswer(Answer(c.answer));
        QDate shown;
        ModalDriver driver([&](QDialog& d) {
            shown = control<QDateEdit>(d, "dtp")->date();
            control<QDateEdit>(d, "dtp")->setDate(c.cutOff);
            play(d, QString::fromLatin1(c.closing));
        });
        std::optional<HeldLock> lock;
        if (c.locked)
            lock.emplace(f.journal(), true); // reading: the purge begins, cannot commit
        frmDelClosedRows(&f.window()).Mostra(f.window());
        lock.reset();
        pinItalianLocale();
        QVERIFY(driver.ran());
        QCOMPARE(shown, QDate(2021, 7, 9)); // opens on the working date
        QCOMPARE(f.journal().text(QStringLiteral("SELECT group_concat(mlData, ' ') FROM "
                                                 "(SELECT mlData FROM Movilibro ORDER BY mlData)")),
                 c.left);
        const bool confirmed = QByteArray(c.closing) == "<cmdSalva>";
        QCOMPARE(f.prompt().messages.size(), !confirmed ? 0 : c.answer < 0 ? 1 : 2);
        if (c.answer >= 0) {
            const QString question = f.prompt().messages[0].text;
            QVERIFY2(question.contains(QStringLiteral(" %1 ").arg(c.counted)), qPrintable(question));
        }
        // Only a purge that runs is preceded by a copy; the message after it says where the copy
        // lies, and it holds every entry.
        const QStringList copies = db::JournalBackup(f.journal().path()).copies(db::CopyKind::BeforePurge);
        QCOMPARE(copies.size(), c.left == All ? 0 : 1);
        if (c.left != All) {
            const QString copy = f.prompt().messages[1].text.section(QStringLiteral("\r\n"), -1);
            QCOMPARE(copy, copies[0]);
            db::Connection copied = db::Connection::open(copy, db::Connection::Mode::ReadOnly);
            db::Statement st = copied.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
            QVERIFY(st.step() && st.int64(0) == 5);
            // One line of the log, naming the copy.
            QCOMPARE(f.journal().text(QStringLiteral("SELECT crTipo || ': ' || crNota FROM Cronologia")),
                     QStringLiteral("pulizia: %1 registrazioni eliminate fino al %2. Copia del giornale: %3")
                         .arg(c.counted)
                         .arg(c.cutOff.toString(QStringLiteral("dd/MM/yyyy")), QFileInfo(copy).fileName()));
        }
        if (c.left == All) {
            QCOMPARE(fileBytes(f.journal().path()), before);
            QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Cronologia")), 0);
        }
        if (!c.copyBlocked)
            QCOMPARE(f.reloads(), confirmed ? QStringList({"gexsBind"}) : QStringList());
    }

    void preferences_data() { addRows(Preferences); }
    void preferences()
    {
        const PreferenceCase& c = currentCase(Preferences);
        MainWindowFixture f;
        if (c.grouping >= 0) {
            f.journal().setParameter(QStringLiteral("appset_dategrouping"), c.grouping);
            f.journal().setParameter(QStringLiteral("appset_esercizio_startingmonth"), c.month);
        }
        f.open();
        QString shown;
        QStringList reloadsDuring;
        ModalDriver driver([&](QDialog& d) {
            reloadsDuring = f.reloads();
            shown = control<QComboBox>(d, "cmbData_0")->currentText() + u',' +
                    control<QComboBox>(d, "cmbData_1")->currentText();
            play(d, QString::fromLatin1(c.script));
        });
        runPreferences(f.window());
        QVERIFY(driver.ran());
        QCOMPARE(shown, QString::fromLatin1(c.shown));
        QCOMPARE(f.journal().text(QStringLiteral("SELECT group_concat(Chiave || '=' || Valore, ' ') FROM "
                                                 "(SELECT * FROM Parametri ORDER BY Chiave)")),
                 QStringLiteral("appset_dategrouping=%1 appset_esercizio_startingmonth=%2")
                     .arg(c.storedGrouping)
                     .arg(c.storedMonth));
        const ViewState& state = f.window().viewState();
        QCOMPARE(state.dateGrouping, c.storedGrouping);
        QCOMPARE(state.startingMonth, c.storedMonth);
        QCOMPARE(state.workingDate, QDate(2024, 3, QByteArray(c.script).contains("<Down>") ? 14 : 15));
        // Set up, then one reload, after the dialog closed.
        QVERIFY(reloadsDuring.isEmpty());
        QCOMPARE(f.reloads(), QStringList({"SettaAmbiente", "gexsBind"}));
    }

    void pagesExistAndLinksResolve_data()
    {
        QTest::addColumn<QString>("page");
        for (const char* page : {"index", "registrazioni", "conti", "periodi", "ricerca", "stampa",
                                 "preferenze", "eliminazione", "tasti", "cestino"})
            QTest::newRow(page) << QString::fromLatin1(page) + ".html";
    }
    void pagesExistAndLinksResolve()
    {
        QFETCH(QString, page);
        const QUrl url = HelpWindow::pageUrl(page);
        QFile file(u':' + url.path());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(url.toString()));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.size() > 300);
        int links = 0;
        for (const QRegularExpressionMatch& link :
             QRegularExpression(QStringLiteral("href=\"([^\"]+)\"")).globalMatch(html)) {
            const QUrl target = url.resolved(QUrl(link.captured(1)));
            QCOMPARE(target.scheme(), QStringLiteral("qrc"));
            QVERIFY2(QFile::exists(u':' + target.path()), qPrintable(link.captured(1)));
            ++links;
        }
        QVERIFY(links > 0);
    }

    void oneWindowFollowsOnlyItsOwnLinks()
    {
        HelpWindow* help = HelpWindow::showHelp();
        QCOMPARE(pageName(), QStringLiteral("index.html"));
        QCOMPARE(HelpWindow::showHelp(QStringLiteral("conti.html")), help);
        for (const char* link : {"https://www.example.com/", "file:///etc/passwd", "periodi.html"})
            emit help->browser()->anchorClicked(QUrl(QString::fromLatin1(link)));
        QCOMPARE(pageName(), QStringLiteral("periodi.html"));
        // Whole on the screen, even after being left beyond its edge.
        help->setGeometry(3000, 2000, 1500, 1200);
        HelpWindow::showHelp();
        QVERIFY(help->screen()->availableGeometry().contains(help->frameGeometry()));
    }

    // F1 opens the help on the page of the window it is pressed in, and the
    // help takes clicks while a dialog is modal.
    void f1_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("page");
        QTest::newRow("main window") << QString() << QString("index.html");
        QTest::newRow("account editor") << QString("frmConto") << QString("conti.html");
        QTest::newRow("purge") << QString("frmDelClosedRows") << QString("eliminazione.html");
        QTest::newRow("preferences") << QString("frmOptions") << QString("preferenze.html");
        QTest::newRow("import assistant") << QString("frmImporta") << QString("importazione.html");
        QTest::newRow("bin") << QString("frmCestino") << QString("cestino.html");
        QTest::newRow("change log") << QString("frmCronologia") << QString("cestino.html");
        QTest::newRow("reconciliation") << QString("frmQuadratura") << QString("quadratura.html");
        QTest::newRow("cash count") << QString("frmContaCassa") << QString("quadratura.html");
    }
    void f1()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, page);
        MainWindowFixture f;
        f.journal().addAccount(QStringLiteral("Cassa"));
        f.open();
        QTest::keyClick(&f.window(), Qt::Key_F1);
        QCOMPARE(pageName(), QStringLiteral("index.html"));
        if (dialog.isEmpty())
            return;
        QString shownPage, pageAfterHome;
        ModalDriver driver([&](QDialog& d) {
            press(Qt::Key_F1);
            shownPage = pageName();
            HelpWindow* help = HelpWindow::instance();
            QVERIFY(help && QTest::qWaitForWindowExposed(help));
            // Through the window system, which drops input to windows a modal dialog blocks.
            auto* home = help->findChild<QToolButton*>(QStringLiteral("helpHome"));
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {},
                              home->mapTo(help, home->rect().center()));
            pageAfterHome = pageName();
            d.reject();
        });
        if (dialog == "frmConto")
            frmConto(&f.window()).Nuovo(f.window());
        else if (dialog == "frmDelClosedRows")
            frmDelClosedRows(&f.window()).Mostra(f.window());
        else if (dialog == "frmImporta")
            frmImporta(&f.window()).Mostra(f.window());
        else if (dialog == "frmCestino")
            QTest::keyClick(&f.window(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
        else if (dialog == "frmCronologia")
            QTest::keyClick(&f.window(), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        else if (dialog == "frmQuadratura")
            frmQuadratura(&f.window()).Mostra(f.window(), reconcile::StatementTarget());
        else if (dialog == "frmContaCassa")
            frmContaCassa(&f.window()).Mostra(f.window(), 0);
        else
            runPreferences(f.window());
        QVERIFY(driver.ran());
        QCOMPARE(shownPage, page);
        QCOMPARE(pageAfterHome, QStringLiteral("index.html"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
