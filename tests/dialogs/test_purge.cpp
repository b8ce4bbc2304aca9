// The purge of old entries: count, question, delete, reload.
#include "dialogfixture.h"
#include "keyboard.h"
#include "modaldriver.h"

#include "db/connection.h"
#include "ui/dialogs/entrypurge.h"
#include "ui/dialogs/frmdelclosedrows.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

using namespace movilibro;
using namespace movilibro::test;

namespace {

qint64 entryCount(const Journal& journal)
{
    return journal.count(QStringLiteral("SELECT count(*) FROM Movilibro"));
}

// Entries on 4, 5 and 6 March 2018 and on 3 May 2018, on two accounts.
void fillMarch2018(const Journal& journal)
{
    const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
    const qint64 banca = journal.addAccount(QStringLiteral("Banca"));
    journal.addEntry(QDate(2018, 3, 4), cassa, QStringLiteral("a"), money(1), 0);
    journal.addEntry(QDate(2018, 3, 5), banca, QStringLiteral("b"), 0, money(2));
    journal.addEntry(QDate(2018, 3, 5), cassa, QStringLiteral("c"), money(3), 0);
    journal.addEntry(QDate(2018, 3, 6), banca, QStringLiteral("d"), money(4), 0);
    journal.addEntry(QDate(2018, 5, 3), cassa, QStringLiteral("e"), money(5), 0);
}

// Opens the purge, sets the cut-off and presses OK.
void purgeUpTo(DialogFixture& fx, frmDelClosedRows& dialog, const QDate& cutOff)
{
    ModalDriver driver([&](QDialog& d) {
        control<QDateEdit>(d, "dtp")->setDate(cutOff);
        click(control<QPushButton>(d, "cmdSalva"));
    });
    dialog.Mostra(fx.main());
    QVERIFY(!driver.timedOut());
}

// The first line of each message: the purge question goes on with where the copy lies.
QStringList firstLines(const QStringList& texts)
{
    QStringList lines;
    for (const QString& t : texts)
        lines << t.section(QStringLiteral("\r\n"), 0, 0);
    return lines;
}

qint64 entriesIn(const QString& path)
{
    db::Connection conn = db::Connection::open(path, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
    return st.step() ? st.int64(0) : -1;
}
} // namespace

class TestPurge : public QObject
{
    Q_OBJECT
private slots:
    void statementsAreMonthFirst_data();
    void statementsAreMonthFirst();
    void opensOnWorkingDate();
    void cutOffBeforeFirstEntry();
    void countIncludesCutOffDay();
    void answerNoDeletesNothing();
    void noCopyNoPurge();
    void cancelling_data();
    void cancelling();
    void dayFirstLocaleKeepsMonthFirstLiteral();
    void lockedJournalIsReportedAndUnchanged();
};

void TestPurge::statementsAreMonthFirst_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Italian") << QLocale(QLocale::Italian, QLocale::Italy);
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("US") << QLocale(QLocale::English, QLocale::UnitedStates);
}

void TestPurge::statementsAreMonthFirst()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    const QString count = EntryPurge::countStatement(QDate(2018, 3, 5));
    const QString remove = EntryPurge::deleteStatement(QDate(2018, 3, 5));
    pinItalianLocale();
    QCOMPARE(count, QStringLiteral("SELECT mlId From Movilibro WHERE mlData<=#03/05/2018#"));
    QCOMPARE(remove, QStringLiteral("DELETE * FROM Movilibro WHERE mlData<=#03/05/2018#"));
}

void TestPurge::opensOnWorkingDate()
{
    DialogFixture fx(QDate(2021, 7, 9));
    frmDelClosedRows dialog(&fx.main());
    QDate shown;
    QString title, label, ok, cancel;
    ModalDriver driver([&](QDialog& d) {
        shown = control<QDateEdit>(d, "dtp")->date();
        title = d.windowTitle();
        label = control<QLabel>(d, "lblData")->text();
        ok = control<QPushButton>(d, "cmdSalva")->text();
        cancel = control<QPushButton>(d, "cmdAnnulla")->text();
        click(control<QPushButton>(d, "cmdAnnulla"));
    });
    dialog.Mostra(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(shown, QDate(2021, 7, 9));
    QCOMPARE(title, QStringLiteral("Registrazioni"));
    QCOMPARE(label, QStringLiteral("Elimina le registrazioni fino alla seguente Data:"));
    QCOMPARE(ok, QStringLiteral("OK"));
    QCOMPARE(cancel, QStringLiteral("Annulla"));
}

void TestPurge::cutOffBeforeFirstEntry()
{
    DialogFixture fx;
    fillMarch2018(fx.journal());
    const int reloadsBefore = fx.reloads().size();
    frmDelClosedRows dialog(&fx.main());
    purgeUpTo(fx, dialog, QDate(2018, 3, 3));
    QCOMPARE(fx.messageTexts(), QStringList({"Nessuna registrazione individuata."}));
    QCOMPARE(fx.prompt().messages[0].style, MsgStyle::Ok);
    QCOMPARE(entryCount(fx.journal()), 5);
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
    QVERIFY(!dialog.isVisible());
}

void TestPurge::countIncludesCutOffDay()
{
    DialogFixture fx;
    fillMarch2018(fx.journal());
    const int reloadsBefore = fx.reloads().size();
    fx.prompt().setNextAnswer(Answer::Yes);
    frmDelClosedRows dialog(&fx.main());
    purgeUpTo(fx, dialog, QDate(2018, 3, 5));
    QCOMPARE(firstLines(fx.messageTexts()),
             QStringList({"Individuate 3 registrazioni da eliminare. Procedere?",
                          "Operazione eseguita con successo"}));
    // The question says where the copy kept before the purge lies.
    const QString copy = fx.messageTexts()[0].section(QStringLiteral("\r\n"), -1);
    QVERIFY2(copy.startsWith(fx.journal().folder() + QStringLiteral("/backup/movilibro-")), qPrintable(copy));
    QCOMPARE(entriesIn(copy), 5);
    QCOMPARE(fx.prompt().messages[0].style, MsgStyle::YesNo);
    QCOMPARE(entryCount(fx.journal()), 2);
    QCOMPARE(
        fx.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlData <= '2018-03-05'")), 0);
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT count(*) FROM Conti")), 2);
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
}

void TestPurge::answerNoDeletesNothing()
{
    DialogFixture fx;
    fillMarch2018(fx.journal());
    const QByteArray before = fileBytes(fx.journal().path());
    const int reloadsBefore = fx.reloads().size();
    fx.prompt().setNextAnswer(Answer::No);
    frmDelClosedRows dialog(&fx.main());
    purgeUpTo(fx, dialog, QDate(2018, 12, 31));
    QCOMPARE(firstLines(fx.messageTexts()),
             QStringList({"Individuate 5 registrazioni da eliminare. Procedere?", "Operazione annullata"}));
    QCOMPARE(entryCount(fx.journal()), 5);
    QCOMPARE(fileBytes(fx.journal().path()), before);
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
    QVERIFY(!dialog.isVisible());
}

void TestPurge::noCopyNoPurge()
{
    DialogFixture fx;
    fillMarch2018(fx.journal());
    QFile blocker(fx.journal().folder() + QStringLiteral("/backup")); // a file where the copies go
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray before = fileBytes(fx.journal().path());
    fx.prompt().setNextAnswer(Answer::Yes);
    frmDelClosedRows dialog(&fx.main());
    purgeUpTo(fx, dialog, QDate(2018, 12, 31));
    QCOMPARE(fx.messageTexts().size(), 1); // no question asked
    QVERIFY(fx.messageTexts()[0].endsWith(QStringLiteral("Le registrazioni non sono state eliminate.")));
    QCOMPARE(entryCount(fx.journal()), 5);
    QCOMPARE(fileBytes(fx.journal().path()), before);
}

void TestPurge::cancelling_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::newRow("Annulla") << false;
    QTest::newRow("close box") << true;
}

void TestPurge::cancelling()
{
    QFETCH(bool, byCloseBox);
    DialogFixture fx;
    fillMarch2018(fx.journal());
    const int reloadsBefore = fx.reloads().size();
    frmDelClosedRows dialog(&fx.main());
    ModalDriver driver([&](QDialog& d) {
        control<QDateEdit>(d, "dtp")->setDate(QDate(2018, 12, 31));
        if (byCloseBox)
            d.close();
        else
            click(control<QPushButton>(d, "cmdAnnulla"));
    });
    dialog.Mostra(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(!dialog.isVisible());
    QVERIFY(fx.prompt().messages.isEmpty());
    QCOMPARE(entryCount(fx.journal()), 5);
    QCOMPARE(fx.reloads().size(), reloadsBefore);
}

void TestPurge::dayFirstLocaleKeepsMonthFirstLiteral()
{
    DialogFixture fx;
    fillMarch2018(fx.journal());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    fx.prompt().setNextAnswer(Answer::Yes);
    frmDelClosedRows dialog(&fx.main());
    purgeUpTo(fx, dialog, QDate(2018, 3, 5));
    pinItalianLocale();
    // Read day first, 03/05 would be 3 May and take the May entry as well.
    QCOMPARE(firstLines(fx.messageTexts()).value(0),
             QStringLiteral("Individuate 3 registrazioni da eliminare. Procedere?"));
    QCOMPARE(entryCount(fx.journal()), 2);
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlData = '2018-05-03'")),
             1);
}

void TestPurge::lockedJournalIsReportedAndUnchanged()
{
    DialogFixture fx;
    fillMarch2018(fx.journal());
    const int reloadsBefore = fx.reloads().size();
    frmDelClosedRows dialog(&fx.main());
    {
        WriteLock lock(fx.journal());
        purgeUpTo(fx, dialog, QDate(2018, 12, 31));
    }
    QCOMPARE(fx.prompt().messages.size(), 1);
    QVERIFY(fx.prompt().messages[0].text.startsWith(
        QStringLiteral("Impossibile eliminare le registrazioni: il database non è stato modificato.\n")));
    QCOMPARE(entryCount(fx.journal()), 5);
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"gexsBind"}));
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestPurge)
#include "test_purge.moc"
