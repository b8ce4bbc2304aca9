// The account editor and the deletion of accounts.
#include "dialogfixture.h"
#include "keyboard.h"
#include "modaldriver.h"

#include "db/connstring.h"
#include "ui/dialogs/accountdeletion.h"
#include "ui/dialogs/frmconto.h"

#include <QLineEdit>
#include <QPushButton>

using namespace movilibro;
using namespace movilibro::test;

namespace {

qint64 accountCount(const Journal& journal)
{
    return journal.count(QStringLiteral("SELECT count(*) FROM Conti"));
}

QString accountName(const Journal& journal, qint64 id)
{
    db::Connection conn = journal.open();
    db::Statement st = conn.prepare(QStringLiteral("SELECT cntNome FROM Conti WHERE cntId = ?"));
    st.bind(0, id);
    return st.step() ? st.text(0) : QString();
}

QLineEdit* nameBox(QDialog& d)
{
    return control<QLineEdit>(d, QStringLiteral("txtData_0"));
}

} // namespace

class TestAccountEditor : public QObject
{
    Q_OBJECT
private slots:
    void newAccountByEnterTwice();
    void emptyNameKeepsDialogOpen();
    void escClosesWithoutSaving();
    void tooLongNameCannotBeTyped();
    void renameKeepsEntriesOnTheAccount();
    void openingMissingAccount();
    void saveFailureKeepsTypedName();
    void deletion_data();
    void deletion();
};

void TestAccountEditor::newAccountByEnterTwice()
{
    DialogFixture fx;
    const int reloadsBefore = fx.reloads().size();
    frmConto editor(&fx.main());
    QString title, focusAfterFirstEnter;
    ModalDriver driver([&](QDialog& d) {
        title = d.windowTitle();
        type(QStringLiteral("Posta"));
        press(Qt::Key_Return);
        focusAfterFirstEnter = focusedName();
        press(Qt::Key_Return);
    });
    QVERIFY(editor.Nuovo(fx.main()));
    QVERIFY(!driver.timedOut());
    QCOMPARE(title, QStringLiteral("Nuovo Conto"));
    QCOMPARE(focusAfterFirstEnter, QStringLiteral("cmdSalva"));
    QCOMPARE(accountCount(fx.journal()), 1);
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT count(*) FROM Conti WHERE cntNome = 'Posta'")), 1);
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
}

void TestAccountEditor::emptyNameKeepsDialogOpen()
{
    DialogFixture fx;
    frmConto editor(&fx.main());
    bool openAfterSave = false;
    QStringList focus;
    ModalDriver driver([&](QDialog& d) {
        press(Qt::Key_Tab);
        focus << focusedName();
        click(control<QPushButton>(d, "cmdSalva"));
        focus << focusedName();
        openAfterSave = d.isVisible();
        click(control<QPushButton>(d, "cmdAnnulla"));
    });
    QVERIFY(!editor.Nuovo(fx.main()));
    QVERIFY(!driver.timedOut());
    QVERIFY(openAfterSave);
    QCOMPARE(focus, QStringList({"txtData_0", "txtData_0"}));
    QCOMPARE(accountCount(fx.journal()), 0);
    QVERIFY(fx.prompt().messages.isEmpty());
}

void TestAccountEditor::escClosesWithoutSaving()
{
    DialogFixture fx;
    const int reloadsBefore = fx.reloads().size();
    frmConto editor(&fx.main());
    ModalDriver driver([&](QDialog&) {
        type(QStringLiteral("Carta"));
        press(Qt::Key_Escape);
    });
    QVERIFY(!editor.Nuovo(fx.main()));
    QVERIFY(!driver.timedOut());
    QVERIFY(!editor.isVisible());
    QCOMPARE(accountCount(fx.journal()), 0);
    QCOMPARE(fx.reloads().size(), reloadsBefore);
}

void TestAccountEditor::tooLongNameCannotBeTyped()
{
    DialogFixture fx;
    frmConto editor(&fx.main());
    ModalDriver driver([&](QDialog&) {
        type(QString(300, u'x'));
        press(Qt::Key_Return);
        press(Qt::Key_Return);
    });
    QVERIFY(editor.Nuovo(fx.main()));
    QVERIFY(!driver.timedOut());
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT length(cntNome) FROM Conti")), 255);
}

void TestAccountEditor::renameKeepsEntriesOnTheAccount()
{
    DialogFixture fx;
    const qint64 cassa = fx.journal().addAccount(QStringLiteral("Cassa"));
    const qint64 other = fx.journal().addAccount(QStringLiteral("Banca"));
    fx.journal().addEntry(QDate(2024, 3, 1), cassa, QStringLiteral("uno"), money(1), 0);
    frmConto editor(&fx.main());
    QString title, shown, selected;
    ModalDriver driver([&](QDialog& d) {
        title = d.windowTitle();
        shown = nameBox(d)->text();
        selected = nameBox(d)->selectedText();
        type(QStringLiteral("Cassa contanti"));
        click(control<QPushButton>(d, "cmdSalva"));
    });
    QVERIFY(editor.Apri(fx.main(), qint32(cassa)));
    QVERIFY(!driver.timedOut());
    QCOMPARE(title, QStringLiteral("Modifica Conto"));
    QCOMPARE(shown, QStringLiteral("Cassa"));
    QCOMPARE(selected, QStringLiteral("Cassa"));
    QCOMPARE(accountName(fx.journal(), cassa), QStringLiteral("Cassa contanti"));
    QCOMPARE(accountName(fx.journal(), other), QStringLiteral("Banca"));
    QCOMPARE(
        fx.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlConto = %1").arg(cassa)),
        1);
}

void TestAccountEditor::openingMissingAccount()
{
    DialogFixture fx;
    frmConto editor(&fx.main());
    ModalDriver driver([&](QDialog&) { press(Qt::Key_Escape); }, 500);
    QVERIFY(!editor.Apri(fx.main(), 77));
    QTest::qWait(50);
    QVERIFY(!driver.ran());
    QCOMPARE(fx.messageTexts(), QStringList({"Il conto scelto non esiste più: forse è stato eliminato."}));
}

void TestAccountEditor::saveFailureKeepsTypedName()
{
    DialogFixture fx;
    frmConto editor(&fx.main());
    WriteLock lock(fx.journal());
    bool openAfterFailure = false;
    QString kept;
    ModalDriver driver([&](QDialog& d) {
        type(QStringLiteral("Risparmi"));
        click(control<QPushButton>(d, "cmdSalva"));
        openAfterFailure = d.isVisible();
        kept = nameBox(d)->text();
        lock.release();
        click(control<QPushButton>(d, "cmdSalva"));
    });
    QVERIFY(editor.Nuovo(fx.main()));
    QVERIFY(!driver.timedOut());
    QVERIFY(openAfterFailure);
    QCOMPARE(kept, QStringLiteral("Risparmi"));
    QCOMPARE(fx.prompt().messages.size(), 1);
    QVERIFY(fx.prompt().messages[0].text.startsWith(QStringLiteral("Impossibile salvare il conto.\n")));
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT count(*) FROM Conti WHERE cntNome = 'Risparmi'")), 1);
}

void TestAccountEditor::deletion_data()
{
    QTest::addColumn<QDate>("entryDate");
    QTest::addColumn<bool>("deleteTheOther");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("accountsLeft");
    QTest::newRow("used in the period")
        << QDate(2024, 3, 1) << false << int(AccountDeletion::Result::InUse) << 2LL;
    QTest::newRow("used years ago") << QDate(1999, 1, 1) << false << int(AccountDeletion::Result::InUse)
                                    << 2LL;
    QTest::newRow("unused") << QDate(2024, 3, 1) << true << int(AccountDeletion::Result::Deleted) << 1LL;
}

void TestAccountEditor::deletion()
{
    QFETCH(QDate, entryDate);
    QFETCH(bool, deleteTheOther);
    QFETCH(int, result);
    QFETCH(qint64, accountsLeft);
    TestHome home;
    Journal journal(home.defaultDbFolder());
    const qint64 used = journal.addAccount(QStringLiteral("Cassa"));
    const qint64 unused = journal.addAccount(QStringLiteral("Banca"));
    journal.addEntry(entryDate, used, QStringLiteral("uno"), money(1), 0);
    const auto outcome =
        AccountDeletion::deleteIfUnused(journal.connString(), deleteTheOther ? unused : used);
    QCOMPARE(int(outcome), result);
    QCOMPARE(journal.count(QStringLiteral("SELECT count(*) FROM Conti")), accountsLeft);
    QCOMPARE(journal.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 1);
    QCOMPARE(AccountDeletion::deleteIfUnused(journal.connString(), 999), AccountDeletion::Result::Missing);
}

QTEST_MAIN(TestAccountEditor)
#include "test_accounteditor.moc"
