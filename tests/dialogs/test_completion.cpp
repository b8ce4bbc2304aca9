// Descriptions that complete themselves in the entry editor, driven by keys on a real journal.
#include "dialogfixture.h"
#include "keyboard.h"
#include "modaldriver.h"

#include "ui/dialogs/frmscadenze.h"

#include <QAbstractItemView>
#include <QLineEdit>

using namespace movilibro;
using namespace movilibro::test;

namespace {

// Where the window system delivers keys: to the open list, else to the focus.
QWidget* keyTarget()
{
    QWidget* popup = QApplication::activePopupWidget();
    return popup ? popup : focused();
}
void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(keyTarget(), k, modifiers);
}
void typeText(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(keyTarget(), QString(c));
        else // an accented letter from the keyboard layout, with no key code of its own
            QTest::sendKeyEvent(QTest::Click, keyTarget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
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
QString description(QDialog& d)
{
    return control<QLineEdit>(d, QStringLiteral("txtData_0"))->text();
}

class CompletionFixture : public DialogFixture
{
public:
    CompletionFixture()
    {
        banca = journal().addAccount(QStringLiteral("Banca"));
        cassa = journal().addAccount(QStringLiteral("Cassa"));
        journal().addEntry({2023, 12, 1}, banca, QStringLiteral("Caffè al bar"), 0, money(2));
        journal().addEntry({2024, 1, 10}, cassa, QStringLiteral("Caffè al bar"), std::nullopt, money(1, 50));
        journal().addEntry({2024, 2, 1}, banca, QStringLiteral("CAFFETTERIA Rossi"), 0, money(30));
        journal().addEntry({2024, 2, 20}, banca, QStringLiteral("Affitto ufficio"), 0, money(800));
        stazione =
            journal().addEntry({2024, 3, 10}, banca, QStringLiteral("Stazione di servizio"), 0, money(40));
    }
    // The newest entry: date|account|description|in|out.
    QString lastSaved()
    {
        db::Statement st = journal().open().prepare(QStringLiteral(
            "SELECT mlData || '|' || mlConto || '|' || mlDescrizione || '|' || mlEntrate || '|' || mlUscite "
            "FROM Movilibro ORDER BY mlId DESC LIMIT 1"));
        return st.step() ? st.text(0) : QString();
    }
    qint64 banca = 0, cassa = 0, stazione = 0;
};

// Opens a new entry, runs `steps` in its description box, and returns whether it was saved.
bool newEntry(CompletionFixture& fx, const std::function<void(QDialog&)>& steps)
{
    frmScadenze editor(&fx.main());
    ModalDriver driver([&](QDialog& d) {
        key(Qt::Key_Return);
        steps(d);
        for (int i = 0; i < 2 && d.isVisible(); ++i) // the list first, then the dialog
            key(Qt::Key_Escape);
    });
    const bool saved = editor.Nuovo(fx.main());
    return saved && !driver.timedOut();
}

void saveByEnter()
{
    for (int i = 0; i < 5; ++i) // account, Entrate, Uscite, Salva, save
        key(Qt::Key_Return);
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
    void listTakesEnterAndEscOnlyWhileOpen();
    void flowWithoutSuggestionSavesTypedRow();
    void editingCompletesTextOnly();
};

void TestCompletion::offersMatchesNewestFirst_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("accent and case") << "CAFFE" << QStringList{"CAFFETTERIA Rossi", "Caffè al bar"};
    QTest::newRow("inside the text") << "ffè" << QStringList{"CAFFETTERIA Rossi", "Caffè al bar"};
    QTest::newRow("any word") << "SERVIZIO" << QStringList{"Stazione di servizio"};
    QTest::newRow("shared letters") << "ff"
                                    << QStringList{"Affitto ufficio", "CAFFETTERIA Rossi", "Caffè al bar"};
    QTest::newRow("one letter") << "c" << QStringList();
    QTest::newRow("nothing like it") << "cafè doppio" << QStringList();
}

void TestCompletion::offersMatchesNewestFirst()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    CompletionFixture fx;
    QStringList shown;
    newEntry(fx, [&](QDialog&) {
        typeText(typed);
        shown = suggestions();
    });
    QCOMPARE(shown, offered);
}

void TestCompletion::acceptFillsOnlyUntouchedFields_data()
{
    QTest::addColumn<int>("touched");
    QTest::addColumn<QString>("saved");
    QTest::newRow("untouched") << 0 << "2024-03-15|2|Caffè al bar|0|15000";
    QTest::newRow("account chosen") << 1 << "2024-03-15|1|Caffè al bar|0|15000";
    QTest::newRow("account and amount") << 2 << "2024-03-15|1|Caffè al bar|50000|0";
}

void TestCompletion::acceptFillsOnlyUntouchedFields()
{
    QFETCH(int, touched);
    QFETCH(QString, saved);
    CompletionFixture fx;
    QString afterEnter;
    QVERIFY(newEntry(fx, [&](QDialog& d) {
        typeText("al b");
        for (int i = 0; i < touched; ++i) { // the account, then Entrate
            key(Qt::Key_Return);
            typeText(i ? "5" : "b");
        }
        for (int i = 0; i < touched; ++i) // back to the description, all selected
            key(Qt::Key_Tab, Qt::ShiftModifier);
        if (touched)
            typeText("al b");
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        afterEnter = focusedName() + ':' + description(d);
        saveByEnter();
    }));
    QCOMPARE(afterEnter, QStringLiteral("txtData_0:Caffè al bar"));
    QCOMPARE(fx.lastSaved(), saved);
}

void TestCompletion::listTakesEnterAndEscOnlyWhileOpen()
{
    CompletionFixture fx;
    QStringList steps;
    const bool saved = newEntry(fx, [&](QDialog& d) {
        typeText("caf");
        key(Qt::Key_Escape); // closes the list, keeps the text unselected
        typeText("fe");
        steps << QString::number(suggestions().size()) + ':' + description(d);
        key(Qt::Key_Down);
        key(Qt::Key_Escape);
        steps << QString::number(suggestions().size()) + ':' + description(d) + ':' + focusedName();
        typeText("t");
        key(Qt::Key_Return); // nothing chosen: on to the account
        steps << QString::number(suggestions().size()) + ':' + description(d) + ':' + focusedName();
        key(Qt::Key_Escape); // the list is closed: cancels
        steps << QString::number(d.isVisible());
    });
    QVERIFY(!saved);
    QCOMPARE(steps, QStringList({"2:caffe", "0:caffe:txtData_0", "0:caffet:dtcData", "0"}));
    QCOMPARE(fx.journal().count("SELECT count(*) FROM Movilibro"), 5);
}

void TestCompletion::flowWithoutSuggestionSavesTypedRow()
{
    CompletionFixture fx;
    QVERIFY(newEntry(fx, [&](QDialog&) {
        typeText("Caffè al");
        key(Qt::Key_Return);
        typeText("b");
        key(Qt::Key_Return);
        typeText("12.5");
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        key(Qt::Key_Return);
    }));
    QCOMPARE(fx.lastSaved(), QStringLiteral("2024-03-15|1|Caffè al|125000|0"));
    QStringList next; // offered from the next opening, as the newest
    newEntry(fx, [&](QDialog&) {
        typeText("caffe a");
        next = suggestions();
    });
    QCOMPARE(next, QStringList({"Caffè al", "Caffè al bar"}));
}

void TestCompletion::editingCompletesTextOnly()
{
    CompletionFixture fx;
    frmScadenze editor(&fx.main());
    ModalDriver driver([&](QDialog&) {
        key(Qt::Key_Return);
        typeText("al b");
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        saveByEnter();
    });
    QVERIFY(editor.Apri(fx.main(), qint32(fx.stazione)));
    QCOMPARE(fx.lastSaved(), QStringLiteral("2024-03-10|1|Caffè al bar|0|400000"));
}

QTEST_MAIN(TestCompletion)
#include "test_completion.moc"
