// Descriptions that complete themselves in the entry editor, driven by keys on a real journal.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "completion/descriptionhistory.h"
#include "db/connection.h"
#include "statement/statement.h"
#include "ui/dialogs/frmscadenze.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace movilibro;
using namespace movilibro::test;

namespace {

// Types `script` where the window system delivers keys: to the open list, else to the focus.
// ⏎ is Enter, ⎋ Esc, ↓ Down, ⇤ Shift+Tab, ⌫ Backspace; accented letters have no key code.
void drive(const QString& script)
{
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Down, Qt::Key_Backtab,
                                   Qt::Key_Backspace};
    for (QChar c : script) {
        const auto special = QStringLiteral("⏎⎋↓⇤⌫").indexOf(c);
        const Qt::Key plain = c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QWidget* popup = QApplication::activePopupWidget();
        QTest::sendKeyEvent(QTest::Click, popup ? popup : QApplication::focusWidget(),
                            special < 0 ? plain : keys[special], special < 0 ? QString(c) : QString(),
                            Qt::NoModifier);
    }
}
QStringList suggestions()
{
    auto* list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
    QStringList texts;
    for (int r = 0; list && list->isVisible() && r < list->model()->rowCount(); ++r)
        texts << list->model()->index(r, 0).data().toString();
    return texts;
}
// Suggestions shown, description, control with the focus.
QString state(QDialog& d)
{
    return QString::number(suggestions().size()) + ':' + control<QLineEdit>(d, "txtData_0")->text() + ':' +
           focusedName();
}

class CompletionFixture : public MainWindowFixture
{
public:
    CompletionFixture()
    {
        const qint64 banca = journal().addAccount("Banca"), cassa = journal().addAccount("Cassa");
        journal().addEntry({2023, 12, 1}, banca, "Caffè al bar", 0, money(2));
        journal().addEntry({2024, 1, 10}, cassa, "Caffè al bar", std::nullopt, money(1, 50));
        journal().addEntry({2024, 2, 1}, banca, "CAFFETTERIA Rossi", 0, money(30));
        journal().addEntry({2024, 2, 20}, banca, "Affitto ufficio", 0, money(800));
        stazione = journal().addEntry({2024, 3, 10}, banca, "Stazione di servizio", 0, money(40));
        journal().addEntry({2024, 1, 5}, banca, "Bolletta Enel", 0, money(80));
        // A bank's text, newer, brought by a statement.
        statement::Movement sdd;
        sdd.date = {2024, 3, 1};
        sdd.description = "Addebito SDD Enel Energia bolletta dicembre";
        sdd.amount = Currency::fromRaw(-money(95));
        db::Connection conn = journal().open();
        statement::importMovements(conn, journal().path(), banca, {sdd}, 0);
        open();
    }
    // Entry `id` (the newest without one): date|account|description|in|out.
    QString lastSaved(qint64 id = 0)
    {
        return journal().text(
            QStringLiteral("SELECT mlData||'|'||mlConto||'|'||mlDescrizione||'|'||mlEntrate||'|'||mlUscite "
                           "FROM Movilibro WHERE mlId = %1 OR %1 = 0 ORDER BY mlId DESC")
                .arg(id));
    }
    qint64 stazione = 0;
};

// Runs `steps` from the description box of a new entry (or of entry `id`) in
// the window's own editor, which every opening after the first reuses; true when saved.
bool openEditor(CompletionFixture& fx, const std::function<void(QDialog&)>& steps, qint64 id = 0)
{
    auto* shared = fx.window().findChild<frmScadenze*>(QString(), Qt::FindDirectChildrenOnly);
    frmScadenze& editor = shared ? *shared : *new frmScadenze(&fx.window());
    ModalDriver driver([&](QDialog& d) {
        // Into the description, entered as by a key. (Offscreen, a list shown
        // by the last opening may be activated late and leave the focus there.)
        auto* description = control<QLineEdit>(d, "txtData_0");
        description->setFocus(Qt::TabFocusReason);
        description->selectAll();
        steps(d);
        for (int i = 0; i < 2 && d.isVisible(); ++i) // the list first, then the dialog
            drive("⎋");
    });
    const bool saved = id ? editor.Apri(fx.window(), qint32(id)) : editor.Nuovo(fx.window());
    return saved && !driver.timedOut();
}

} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT
private slots:
    void offersMatchesNewestFirst_data();
    void offersMatchesNewestFirst();
    void acceptFillsOnlyUntouchedFields_data();
    void acceptFillsOnlyUntouchedFields();
    void listTakesEnterAndEscWhileOpen();
    void clickBesideTheListDoesItsWork_data();
    void clickBesideTheListDoesItsWork();
    void eachDescriptionOnceWithItsLatestEntry_data();
    void eachDescriptionOnceWithItsLatestEntry();
};

void TestCompletion::offersMatchesNewestFirst_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("accent and case") << "CAFFE" << QStringList{"CAFFETTERIA Rossi", "Caffè al bar"};
    QTest::newRow("inside the text") << "ffè" << QStringList{"CAFFETTERIA Rossi", "Caffè al bar"};
    QTest::newRow("recency") << "ff" << QStringList{"Affitto ufficio", "CAFFETTERIA Rossi", "Caffè al bar"};
    QTest::newRow("typed before imported")
        << "enel" << QStringList{"Bolletta Enel", "Addebito SDD Enel Energia bolletta dicembre"};
    QTest::newRow("one letter") << "c" << QStringList();
    QTest::newRow("nothing like it") << "cafè doppio" << QStringList();
}

void TestCompletion::offersMatchesNewestFirst()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    CompletionFixture fx;
    openEditor(fx, [&](QDialog& d) {
        drive(typed);
        QCOMPARE(suggestions(), offered);
        drive("⎋"); // closes the list when there is one, else the dialog
        QCOMPARE(d.isVisible(), !offered.isEmpty());
    });
}

void TestCompletion::acceptFillsOnlyUntouchedFields_data()
{
    QTest::addColumn<QString>("typed"); // up to leaving the description box
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("saved");
    const QString toSave = "⏎⏎⏎⏎⏎"; // account, Entrate, Uscite, Salva, save
    // The description box left and entered again: all selected.
    QTest::newRow("untouched") << "al b↓⏎" << toSave << false << "2024-03-15|2|Caffè al bar|0|15000";
    QTest::newRow("account chosen") << "al b⏎b⇤al b↓⏎" << toSave << false
                                    << "2024-03-15|1|Caffè al bar|0|15000";
    QTest::newRow("account and amount")
        << "al b⏎b⏎5⇤⇤al b↓⏎" << toSave << false << "2024-03-15|1|Caffè al bar|50000|0";
    QTest::newRow("editing: text only") << "al b↓⏎" << toSave << true << "2024-03-10|1|Caffè al bar|0|400000";
    // Leaving the box counts as taking it; Enter with nothing chosen leaves.
    QTest::newRow("typed out in full")
        << "CAFFE AL BAR" << toSave << false << "2024-03-15|2|CAFFE AL BAR|0|15000";
    // Money in typed over the money out brought: that goes back to 0.
    QTest::newRow("the other amount typed") << "al b↓⏎"
                                            << "⏎⏎200⏎⏎⏎" << false << "2024-03-15|2|Caffè al bar|2000000|0";
}

void TestCompletion::acceptFillsOnlyUntouchedFields()
{
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(bool, existing);
    QFETCH(QString, saved);
    CompletionFixture fx;
    // An opening where account and amount were touched, then cancelled: the next one starts afresh.
    openEditor(fx, [](QDialog&) { drive("al b↓⏎⏎⏎⏎9"); });
    QVERIFY(openEditor(
        fx, [&](QDialog&) { drive(typed + after); }, existing ? fx.stazione : 0));
    QCOMPARE(fx.lastSaved(existing ? fx.stazione : 0), saved);
}

void TestCompletion::clickBesideTheListDoesItsWork_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("saved");
    QTest::newRow("Salva") << "cmdSalva"
                           << "2024-03-15|2|Caffè al ba|0|15000";
    QTest::newRow("Annulla") << "cmdAnnulla"
                             << "2024-03-01|1|Addebito SDD Enel Energia bolletta dicembre|0|950000";
}

void TestCompletion::clickBesideTheListDoesItsWork()
{
    QFETCH(QString, button);
    QFETCH(QString, saved);
    CompletionFixture fx;
    bool closed = false;
    openEditor(fx, [&](QDialog& d) {
        drive("al b↓⏎⌫");
        QCOMPARE(suggestions(), QStringList{"Caffè al bar"});
        // Through the window system, which hands the click to the open list.
        QWidget* target = control<QWidget>(d, button);
        QTest::mouseClick(d.windowHandle(), Qt::LeftButton, {}, target->mapTo(&d, target->rect().center()));
        closed = !d.isVisible();
    });
    QVERIFY(closed);
    QCOMPARE(fx.lastSaved(), saved);
}

void TestCompletion::listTakesEnterAndEscWhileOpen()
{
    CompletionFixture fx;
    QStringList states;
    QVERIFY(openEditor(fx, [&](QDialog& d) {
        for (const char* keys : {"Caf⎋fè al", "↓⎋", "⌫", "⏎"}) { // on after the text, not over it
            drive(QString::fromUtf8(keys));
            states << state(d);
        }
        drive("b⏎12.5⏎⏎⏎");
    }));
    QCOMPARE(states, QStringList({"1:Caffè al:txtData_0", "0:Caffè al:txtData_0", "1:Caffè a:txtData_0",
                                  "0:Caffè a:dtcData"}));
    QCOMPARE(fx.lastSaved(), QStringLiteral("2024-03-15|1|Caffè a|125000|0"));
    openEditor(fx, [&](QDialog&) {
        drive("caffe a");
        QCOMPARE(suggestions(), QStringList({"Caffè a", "Caffè al bar"})); // offered from the next opening
    });
}

void TestCompletion::eachDescriptionOnceWithItsLatestEntry_data()
{
    QTest::addColumn<bool>("indexed");
    QTest::newRow("description index") << true;
    QTest::newRow("journal without it") << false;
}

void TestCompletion::eachDescriptionOnceWithItsLatestEntry()
{
    QFETCH(bool, indexed);
    QTemporaryDir dir;
    const Journal j(dir.path());
    const qint64 cassa = j.addAccount("Cassa");
    j.addEntry({2024, 3, 1}, cassa, "Affitto", std::nullopt, money(800));
    j.addEntry({2024, 2, 1}, cassa, "Affitto", std::nullopt, money(700)); // typed later, dated earlier
    j.addEntry({2024, 2, 15}, cassa, "Bar", money(3), std::nullopt);
    j.addEntry({2024, 4, 1}, cassa, "", money(1), std::nullopt);
    db::Connection conn = j.open();
    if (!indexed)
        conn.exec("DROP INDEX ixMovilibroDescrizione");
    const DescriptionHistory history = DescriptionHistory::read(conn);
    QStringList read;
    for (const PastEntry& e : history.entries())
        read << QStringLiteral("%1|%2|%3|%4")
                    .arg(e.description, e.date.toString(Qt::ISODate))
                    .arg(e.in)
                    .arg(e.out);
    QCOMPARE(read, QStringList({"Affitto|2024-03-01|0|8000000", "Bar|2024-02-15|30000|0"}));
}

QTEST_MAIN(TestCompletion)
#include "test_completion.moc"
