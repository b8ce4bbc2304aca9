// The entry editor, driven from the keyboard and mouse on a real journal.
#include "dialogfixture.h"
#include "keyboard.h"
#include "modaldriver.h"

#include "db/enginefunctions.h"
#include "ui/dialogs/frmscadenze.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QString NoAmount = QStringLiteral("Inserire un valore di Entrata o Uscita finanziaria");
const QString TwoAmounts = QStringLiteral("Inserire solo un valore di Entrata o Uscita finanziaria");

struct EntryRow
{
    QString date;
    qint64 account = 0;
    QString description;
    qint64 in = -1;
    qint64 out = -1;
};

EntryRow readEntry(const Journal& journal, qint64 id)
{
    db::Connection conn = journal.open();
    db::Statement st = conn.prepare(QStringLiteral(
        "SELECT mlData, mlConto, mlDescrizione, mlEntrate, mlUscite FROM Movilibro WHERE mlId = ?"));
    st.bind(0, id);
    EntryRow row;
    if (st.step())
        row = {st.text(0), st.int64(1), st.text(2), st.isNull(3) ? -1 : st.int64(3),
               st.isNull(4) ? -1 : st.int64(4)};
    return row;
}

qint64 entryCount(const Journal& journal)
{
    return journal.count(QStringLiteral("SELECT count(*) FROM Movilibro"));
}

QLineEdit* box(QDialog& d, int index)
{
    return control<QLineEdit>(d, QStringLiteral("txtData_%1").arg(index));
}

// Description, account and Entrate typed in from the date picker on.
void typeEntry(const QString& description, const QString& accountKey, const QString& amountIn)
{
    press(Qt::Key_Return);
    type(description);
    press(Qt::Key_Return);
    type(accountKey);
    press(Qt::Key_Return);
    type(amountIn);
}

} // namespace

class TestEntryEditor : public QObject
{
    Q_OBJECT
private slots:
    void newEntryTypedFromKeyboard();
    void newEntryStartsEmpty();
    void accountsListedByName();
    void cancelLeavesJournalUnchanged_data();
    void cancelLeavesJournalUnchanged();
    void amountMessages_data();
    void amountMessages();
    void saveWithoutDescriptionGoesToDescription();
    void refusedKeysAndPaste();
    void emptiedAmountKeepsFocus_data();
    void emptiedAmountKeepsFocus();
    void emptyDescriptionKeepsFocus();
    void enteringTextBoxSelectsAll();
    void closeBoxRefused();
    void editingChangesThatRowOnly();
    void openingMissingEntry();
    void saveFailureKeepsTypedValues();
};

void TestEntryEditor::newEntryTypedFromKeyboard()
{
    DialogFixture fx;
    fx.journal().addAccount(QStringLiteral("Banca"));
    const qint64 cassa = fx.journal().addAccount(QStringLiteral("Cassa"));
    const int reloadsBefore = fx.reloads().size();
    frmScadenze editor(&fx.main());

    QStringList focusPath;
    ModalDriver driver([&](QDialog&) {
        focusPath << focusedName();
        press(Qt::Key_Up); // the day after the working date
        press(Qt::Key_Return);
        focusPath << focusedName();
        type(QStringLiteral("Versamento contanti"));
        press(Qt::Key_Return);
        focusPath << focusedName();
        type(QStringLiteral("c"));
        press(Qt::Key_Return);
        focusPath << focusedName();
        type(QStringLiteral("1234.56"));
        press(Qt::Key_Return);
        focusPath << focusedName();
        press(Qt::Key_Return);
        focusPath << focusedName();
        press(Qt::Key_Return);
    });
    const bool saved = editor.Nuovo(fx.main());

    QVERIFY(!driver.timedOut());
    QVERIFY(saved);
    QCOMPARE(focusPath,
             QStringList({"datData", "txtData_0", "dtcData", "txtData_1", "txtData_2", "cmdSalva"}));
    QCOMPARE(entryCount(fx.journal()), 1);
    const qint64 id = fx.journal().count(QStringLiteral("SELECT max(mlId) FROM Movilibro"));
    const EntryRow row = readEntry(fx.journal(), id);
    QCOMPARE(row.date, QStringLiteral("2024-03-16"));
    QCOMPARE(row.account, cassa);
    QCOMPARE(row.description, QStringLiteral("Versamento contanti"));
    QCOMPARE(row.in, money(1234, 56));
    QCOMPARE(row.out, 0); // left at zero: stored as 0, not empty
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
    QVERIFY(!editor.isVisible());
}

void TestEntryEditor::newEntryStartsEmpty()
{
    DialogFixture fx(QDate(2023, 11, 5));
    fx.journal().addAccount(QStringLiteral("Cassa"));
    frmScadenze editor(&fx.main());
    QDate date;
    QString description, in, out, title, afterTab;
    QStringList labels;
    int account = 0, maxLength = 0;
    ModalDriver driver([&](QDialog& d) {
        date = control<QDateEdit>(d, "datData")->date();
        description = box(d, 0)->text();
        maxLength = box(d, 0)->maxLength();
        account = control<QComboBox>(d, "dtcData")->currentIndex();
        in = box(d, 1)->text();
        out = box(d, 2)->text();
        title = d.windowTitle();
        for (int i = 0; i < 5; ++i)
            labels << control<QLabel>(d, QStringLiteral("lblData_%1").arg(i))->text();
        press(Qt::Key_Tab);
        afterTab = focusedName();
        press(Qt::Key_Escape);
    });
    editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(date, QDate(2023, 11, 5));
    QCOMPARE(description, QString());
    QCOMPARE(maxLength, 255);
    QCOMPARE(account, -1);
    QCOMPARE(in, QStringLiteral("0,00 "));
    QCOMPARE(out, QStringLiteral("0,00 "));
    QCOMPARE(title, QStringLiteral("Movilibro"));
    QCOMPARE(afterTab, QStringLiteral("txtData_0")); // Tab leaves the date picker at once
    QCOMPARE(labels, QStringList({"Uscite/Prelievo", "Data", "Descrizione", "Conto", "Entrate/Versamento"}));
}

void TestEntryEditor::accountsListedByName()
{
    DialogFixture fx;
    for (const char* name : {"zeta", "Alfa", "èlite", "beta"})
        fx.journal().addAccount(QString::fromUtf8(name));
    frmScadenze editor(&fx.main());
    QStringList names;
    ModalDriver driver([&](QDialog& d) {
        auto* combo = control<QComboBox>(d, "dtcData");
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        press(Qt::Key_Escape);
    });
    editor.Nuovo(fx.main());
    QCOMPARE(names, QStringList({"Alfa", "beta", "èlite", "zeta"}));
}

void TestEntryEditor::cancelLeavesJournalUnchanged_data()
{
    QTest::addColumn<bool>("byEsc");
    QTest::newRow("Esc") << true;
    QTest::newRow("Annulla") << false;
}

void TestEntryEditor::cancelLeavesJournalUnchanged()
{
    QFETCH(bool, byEsc);
    DialogFixture fx;
    const qint64 account = fx.journal().addAccount(QStringLiteral("Cassa"));
    fx.journal().addEntry(QDate(2024, 3, 1), account, QStringLiteral("prima"), money(5), 0);
    const QByteArray before = fileBytes(fx.journal().path());
    const int reloadsBefore = fx.reloads().size();
    frmScadenze editor(&fx.main());
    ModalDriver driver([&](QDialog& d) {
        typeEntry(QStringLiteral("da non salvare"), QStringLiteral("c"), QStringLiteral("10"));
        if (byEsc)
            press(Qt::Key_Escape);
        else
            click(control<QPushButton>(d, "cmdAnnulla"));
    });
    const bool saved = editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(!saved);
    QVERIFY(!editor.isVisible());
    QCOMPARE(entryCount(fx.journal()), 1);
    QCOMPARE(fileBytes(fx.journal().path()), before);
    QCOMPARE(fx.reloads().size(), reloadsBefore);
}

void TestEntryEditor::amountMessages_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("message");
    QTest::newRow("no amount") << QString() << QString() << NoAmount;
    QTest::newRow("zeros typed") << "0"
                                 << "0,00" << NoAmount;
    QTest::newRow("both amounts") << "10"
                                  << "5" << TwoAmounts;
}

void TestEntryEditor::amountMessages()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QString, message);
    DialogFixture fx;
    fx.journal().addAccount(QStringLiteral("Cassa"));
    frmScadenze editor(&fx.main());
    QString focusAfter;
    bool openAfter = false;
    ModalDriver driver([&](QDialog& d) {
        typeEntry(QStringLiteral("prova"), QStringLiteral("c"), in);
        press(Qt::Key_Tab);
        if (!out.isEmpty())
            type(out);
        click(control<QPushButton>(d, "cmdSalva"));
        focusAfter = focusedName();
        openAfter = d.isVisible();
        press(Qt::Key_Escape);
    });
    const bool saved = editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(!saved);
    QVERIFY(openAfter);
    QCOMPARE(fx.messageTexts(), QStringList({message}));
    QCOMPARE(fx.prompt().messages[0].style, MsgStyle::Ok);
    QCOMPARE(focusAfter, QStringLiteral("txtData_1"));
    QCOMPARE(entryCount(fx.journal()), 0);
}

void TestEntryEditor::saveWithoutDescriptionGoesToDescription()
{
    DialogFixture fx;
    fx.journal().addAccount(QStringLiteral("Cassa"));
    frmScadenze editor(&fx.main());
    QString focusAfter;
    ModalDriver driver([&](QDialog& d) {
        click(control<QPushButton>(d, "cmdSalva")); // from the date picker: no account, no description
        focusAfter = focusedName();
        press(Qt::Key_Escape);
    });
    editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(focusAfter, QStringLiteral("txtData_0"));
    QVERIFY(fx.prompt().messages.isEmpty());
}

void TestEntryEditor::refusedKeysAndPaste()
{
    DialogFixture fx;
    fx.journal().addAccount(QStringLiteral("Cassa"));
    frmScadenze editor(&fx.main());
    QString afterTyping, afterCtrlV, afterShiftInsert;
    ModalDriver driver([&](QDialog& d) {
        typeEntry(QStringLiteral("prova"), QStringLiteral("c"), QStringLiteral("-1a2.5 "));
        afterTyping = box(d, 1)->text();
        QGuiApplication::clipboard()->setText(QStringLiteral("-7x"));
        press(Qt::Key_V, Qt::ControlModifier);
        afterCtrlV = box(d, 1)->text();
        press(Qt::Key_Insert, Qt::ShiftModifier);
        afterShiftInsert = box(d, 1)->text();
        press(Qt::Key_Escape);
    });
    editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(afterTyping, QStringLiteral("12,5"));
    QCOMPARE(afterCtrlV, QStringLiteral("12,5"));
    QCOMPARE(afterShiftInsert, QStringLiteral("12,57"));
}

void TestEntryEditor::emptiedAmountKeepsFocus_data()
{
    QTest::addColumn<bool>("byEsc");
    QTest::newRow("then Esc") << true;
    QTest::newRow("then Annulla") << false;
}

void TestEntryEditor::emptiedAmountKeepsFocus()
{
    QFETCH(bool, byEsc);
    DialogFixture fx;
    fx.journal().addAccount(QStringLiteral("Cassa"));
    const int reloadsBefore = fx.reloads().size();
    frmScadenze editor(&fx.main());
    QStringList focusAfter;
    ModalDriver driver([&](QDialog& d) {
        typeEntry(QStringLiteral("prova"), QStringLiteral("c"), QString());
        press(Qt::Key_Backspace);
        press(Qt::Key_Tab);
        focusAfter << focusedName();
        press(Qt::Key_Return);
        focusAfter << focusedName();
        click(control<QPushButton>(d, "cmdSalva"));
        focusAfter << focusedName();
        click(box(d, 0));
        focusAfter << focusedName();
        if (byEsc)
            press(Qt::Key_Escape);
        else
            click(control<QPushButton>(d, "cmdAnnulla"));
    });
    const bool saved = editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(!saved);
    QVERIFY(!editor.isVisible());
    QCOMPARE(focusAfter, QStringList(4, QStringLiteral("txtData_1")));
    QVERIFY(fx.prompt().messages.isEmpty());
    QCOMPARE(entryCount(fx.journal()), 0);
    QCOMPARE(fx.reloads().size(), reloadsBefore);
}

void TestEntryEditor::emptyDescriptionKeepsFocus()
{
    DialogFixture fx;
    fx.journal().addAccount(QStringLiteral("Cassa"));
    frmScadenze editor(&fx.main());
    QStringList focusAfter;
    ModalDriver driver([&](QDialog& d) {
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        focusAfter << focusedName();
        type(QStringLiteral("x"));
        press(Qt::Key_Return);
        focusAfter << focusedName();
        // No account chosen: the combo keeps the focus too.
        press(Qt::Key_Tab);
        focusAfter << focusedName();
        click(control<QPushButton>(d, "cmdAnnulla"));
    });
    editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(focusAfter, QStringList({"txtData_0", "dtcData", "dtcData"}));
}

void TestEntryEditor::enteringTextBoxSelectsAll()
{
    DialogFixture fx;
    const qint64 account = fx.journal().addAccount(QStringLiteral("Cassa"));
    const qint64 id =
        fx.journal().addEntry(QDate(2024, 3, 2), account, QStringLiteral("affitto"), 0, money(500));
    frmScadenze editor(&fx.main());
    QString byKey, byClick;
    ModalDriver driver([&](QDialog& d) {
        press(Qt::Key_Return);
        byKey = box(d, 0)->selectedText();
        click(box(d, 2));
        QCoreApplication::processEvents();
        byClick = box(d, 2)->selectedText();
        press(Qt::Key_Escape);
    });
    editor.Apri(fx.main(), qint32(id));
    QVERIFY(!driver.timedOut());
    QCOMPARE(byKey, QStringLiteral("affitto"));
    QCOMPARE(byClick, QStringLiteral("500,00 "));
}

void TestEntryEditor::closeBoxRefused()
{
    DialogFixture fx;
    frmScadenze editor(&fx.main());
    bool openAfterClose = false;
    ModalDriver driver([&](QDialog& d) {
        d.close();
        openAfterClose = d.isVisible();
        press(Qt::Key_Escape);
    });
    editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(openAfterClose);
    QVERIFY(!(editor.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!editor.isVisible());
}

void TestEntryEditor::editingChangesThatRowOnly()
{
    DialogFixture fx;
    const qint64 cassa = fx.journal().addAccount(QStringLiteral("Cassa"));
    const qint64 banca = fx.journal().addAccount(QStringLiteral("Banca"));
    const qint64 first = fx.journal().addEntry(QDate(2024, 3, 1), cassa, QStringLiteral("uno"), money(10), 0);
    const qint64 second =
        fx.journal().addEntry(QDate(2024, 3, 2), cassa, QStringLiteral("due"), money(20), 0);
    const int reloadsBefore = fx.reloads().size();
    frmScadenze editor(&fx.main());
    QString shownDescription, shownIn, shownAccount;
    ModalDriver driver([&](QDialog& d) {
        shownDescription = box(d, 0)->text();
        shownIn = box(d, 1)->text();
        shownAccount = control<QComboBox>(d, "dtcData")->currentText();
        press(Qt::Key_Return);
        type(QStringLiteral("due bis"));
        press(Qt::Key_Return);
        type(QStringLiteral("b"));
        press(Qt::Key_Return);
        type(QStringLiteral("0"));
        press(Qt::Key_Return);
        type(QStringLiteral("2,5"));
        click(control<QPushButton>(d, "cmdSalva"));
    });
    QVERIFY(editor.Apri(fx.main(), qint32(second)));
    QVERIFY(!driver.timedOut());
    QCOMPARE(shownDescription, QStringLiteral("due"));
    QCOMPARE(shownIn, QStringLiteral("20,00 "));
    QCOMPARE(shownAccount, QStringLiteral("Cassa"));

    const EntryRow changed = readEntry(fx.journal(), second);
    QCOMPARE(changed.date, QStringLiteral("2024-03-02"));
    QCOMPARE(changed.description, QStringLiteral("due bis"));
    QCOMPARE(changed.account, banca);
    QCOMPARE(changed.in, 0);
    QCOMPARE(changed.out, money(2, 50));
    const EntryRow untouched = readEntry(fx.journal(), first);
    QCOMPARE(untouched.description, QStringLiteral("uno"));
    QCOMPARE(untouched.account, cassa);
    QCOMPARE(untouched.in, money(10));
    QCOMPARE(entryCount(fx.journal()), 2);
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
}

void TestEntryEditor::openingMissingEntry()
{
    DialogFixture fx;
    const int reloadsBefore = fx.reloads().size();
    frmScadenze editor(&fx.main());
    ModalDriver driver([&](QDialog&) { press(Qt::Key_Escape); }, 500);
    const bool saved = editor.Apri(fx.main(), 4242);
    QTest::qWait(50);
    QVERIFY(!saved);
    QVERIFY(!driver.ran());
    QVERIFY(!editor.isVisible());
    QCOMPARE(fx.messageTexts(),
             QStringList({"La registrazione scelta non esiste più: forse è stata eliminata."}));
    QCOMPARE(fx.reloads().size(), reloadsBefore);
}

void TestEntryEditor::saveFailureKeepsTypedValues()
{
    DialogFixture fx;
    const qint64 cassa = fx.journal().addAccount(QStringLiteral("Cassa"));
    frmScadenze editor(&fx.main());
    WriteLock lock(fx.journal());
    bool openAfterFailure = false;
    QString description, amount;
    ModalDriver driver([&](QDialog& d) {
        typeEntry(QStringLiteral("bolletta"), QStringLiteral("c"), QStringLiteral("42"));
        click(control<QPushButton>(d, "cmdSalva"));
        openAfterFailure = d.isVisible();
        description = box(d, 0)->text();
        amount = box(d, 1)->text();
        lock.release();
        click(control<QPushButton>(d, "cmdSalva"));
    });
    const bool saved = editor.Nuovo(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(openAfterFailure);
    QCOMPARE(description, QStringLiteral("bolletta"));
    QCOMPARE(amount, QStringLiteral("42,00 "));
    QCOMPARE(fx.prompt().messages.size(), 1);
    QVERIFY(
        fx.prompt().messages[0].text.startsWith(QStringLiteral("Impossibile salvare la registrazione.\n")));
    QVERIFY(fx.prompt().messages[0].text.contains(QStringLiteral("in uso da un altro programma")));
    QVERIFY(saved);
    const EntryRow row =
        readEntry(fx.journal(), fx.journal().count(QStringLiteral("SELECT max(mlId) FROM Movilibro")));
    QCOMPARE(row.description, QStringLiteral("bolletta"));
    QCOMPARE(row.account, cassa);
    QCOMPARE(row.in, money(42));
}

QTEST_MAIN(TestEntryEditor)
#include "test_entryeditor.moc"
