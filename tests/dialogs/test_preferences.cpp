// The preferences dialog and the command around it.
#include "dialogfixture.h"
#include "keyboard.h"
#include "modaldriver.h"

#include "ui/dialogs/frmoptions.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QString Grouping = QStringLiteral("appset_dategrouping");
const QString StartingMonth = QStringLiteral("appset_esercizio_startingmonth");

qint64 parameter(const Journal& journal, const QString& key)
{
    return journal.count(QStringLiteral("SELECT Valore FROM Parametri WHERE Chiave = '%1'").arg(key));
}

qint64 rowsOf(const Journal& journal, const QString& key)
{
    return journal.count(QStringLiteral("SELECT count(*) FROM Parametri WHERE Chiave = '%1'").arg(key));
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void showsCurrentValues();
    void closingUnchangedWritesBothRows_data();
    void closingUnchangedWritesBothRows();
    void choicesAreStored_data();
    void choicesAreStored();
    void workingDateKeptInMemory();
    void outOfRangeValuesSelectDefaults();
    void setUpThenReloadOnce();
    void writeFailureIsReported();
};

void TestPreferences::showsCurrentValues()
{
    DialogFixture fx(QDate(2022, 6, 30));
    fx.journal().setParameter(Grouping, 3);
    fx.journal().setParameter(StartingMonth, 4);
    fx.main().SettaAmbiente();
    QDate date;
    QStringList groupings, labels;
    QString grouping, month, title, close;
    ModalDriver driver([&](QDialog& d) {
        date = control<QDateEdit>(d, "dtp")->date();
        auto* combo = control<QComboBox>(d, "cmbData_0");
        for (int i = 0; i < combo->count(); ++i)
            groupings << combo->itemText(i);
        grouping = combo->currentText();
        month = control<QComboBox>(d, "cmbData_1")->currentText();
        for (int i = 0; i < 3; ++i)
            labels << control<QLabel>(d, QStringLiteral("lblData_%1").arg(i))->text();
        title = d.windowTitle();
        close = control<QPushButton>(d, "cmdClose")->text();
        click(control<QPushButton>(d, "cmdClose"));
    });
    runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(date, QDate(2022, 6, 30));
    QCOMPARE(groupings,
             QStringList({"mensile", "bimestrale", "trimestrale", "quadrimestrale", "semestrale"}));
    QCOMPARE(grouping, QStringLiteral("quadrimestrale"));
    QCOMPARE(month, QStringLiteral("aprile"));
    QCOMPARE(labels, QStringList({"Data di lavoro", "Periodo raggruppamento Date",
                                  "Mese inizio Esercizi contabili"}));
    QCOMPARE(title, QStringLiteral("Preferenze"));
    QCOMPARE(close, QStringLiteral("Chiudi"));
}

void TestPreferences::closingUnchangedWritesBothRows_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::newRow("Chiudi") << false;
    QTest::newRow("close box") << true;
}

void TestPreferences::closingUnchangedWritesBothRows()
{
    QFETCH(bool, byCloseBox);
    DialogFixture fx;
    QCOMPARE(rowsOf(fx.journal(), Grouping), 0);
    QCOMPARE(rowsOf(fx.journal(), StartingMonth), 0);
    ModalDriver driver([&](QDialog& d) {
        if (byCloseBox)
            d.close();
        else
            click(control<QPushButton>(d, "cmdClose"));
    });
    runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(rowsOf(fx.journal(), Grouping), 1);
    QCOMPARE(rowsOf(fx.journal(), StartingMonth), 1);
    QCOMPARE(parameter(fx.journal(), Grouping), 0);
    QCOMPARE(parameter(fx.journal(), StartingMonth), 1);
}

void TestPreferences::choicesAreStored_data()
{
    QTest::addColumn<QString>("groupingKey");
    QTest::addColumn<QString>("monthKey");
    QTest::addColumn<qint64>("grouping");
    QTest::addColumn<qint64>("month");
    QTest::newRow("trimestrale, dicembre") << "t"
                                           << "d" << 2LL << 12LL;
    QTest::newRow("semestrale, luglio") << "s"
                                        << "l" << 4LL << 7LL;
}

void TestPreferences::choicesAreStored()
{
    QFETCH(QString, groupingKey);
    QFETCH(QString, monthKey);
    QFETCH(qint64, grouping);
    QFETCH(qint64, month);
    DialogFixture fx;
    fx.journal().setParameter(Grouping, 1);
    ModalDriver driver([&](QDialog&) {
        press(Qt::Key_Tab);
        type(groupingKey);
        press(Qt::Key_Tab);
        type(monthKey);
        press(Qt::Key_Tab);
        press(Qt::Key_Space); // on "Chiudi"
    });
    runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(parameter(fx.journal(), Grouping), grouping);
    QCOMPARE(parameter(fx.journal(), StartingMonth), month);
    QCOMPARE(rowsOf(fx.journal(), Grouping), 1);
    QCOMPARE(fx.main().viewState().dateGrouping, int(grouping));
    QCOMPARE(fx.main().viewState().startingMonth, int(month));
}

void TestPreferences::workingDateKeptInMemory()
{
    DialogFixture fx(QDate(2024, 3, 15));
    ModalDriver driver([&](QDialog& d) {
        press(Qt::Key_Down); // the day before
        click(control<QPushButton>(d, "cmdClose"));
    });
    runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(fx.main().viewState().workingDate, QDate(2024, 3, 14));
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT count(*) FROM Parametri")), 2);
}

void TestPreferences::outOfRangeValuesSelectDefaults()
{
    DialogFixture fx;
    fx.journal().setParameter(Grouping, 9);
    fx.journal().setParameter(StartingMonth, 13);
    fx.main().SettaAmbiente();
    int grouping = -1, month = -1;
    ModalDriver driver([&](QDialog& d) {
        grouping = control<QComboBox>(d, "cmbData_0")->currentIndex();
        month = control<QComboBox>(d, "cmbData_1")->currentIndex();
        click(control<QPushButton>(d, "cmdClose"));
    });
    runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QCOMPARE(grouping, 0);
    QCOMPARE(month, 0);
    QCOMPARE(parameter(fx.journal(), Grouping), 0);
    QCOMPARE(parameter(fx.journal(), StartingMonth), 1);
}

void TestPreferences::setUpThenReloadOnce()
{
    DialogFixture fx;
    const int reloadsBefore = fx.reloads().size();
    QStringList duringDialog;
    ModalDriver driver([&](QDialog& d) {
        duringDialog = fx.reloads().mid(reloadsBefore);
        click(control<QPushButton>(d, "cmdClose"));
    });
    runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(duringDialog.isEmpty());
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"SettaAmbiente", "gexsBind"}));

    ModalDriver again([&](QDialog& d) { click(control<QPushButton>(d, "cmdClose")); });
    runPreferences(fx.main());
    QVERIFY(!again.timedOut());
    QCOMPARE(fx.main().findChildren<frmOptions*>().size(), 1); // one dialog for the whole run
}

void TestPreferences::writeFailureIsReported()
{
    DialogFixture fx(QDate(2024, 3, 15));
    const int reloadsBefore = fx.reloads().size();
    WriteLock lock(fx.journal());
    ModalDriver driver([&](QDialog& d) {
        press(Qt::Key_Up);
        click(control<QPushButton>(d, "cmdClose"));
    });
    runPreferences(fx.main());
    lock.release();
    QVERIFY(!driver.timedOut());
    QCOMPARE(fx.prompt().messages.size(), 1);
    QVERIFY(fx.prompt().messages[0].text.startsWith(
        QStringLiteral("Impossibile salvare le preferenze nel database.\n")));
    QCOMPARE(fx.journal().count(QStringLiteral("SELECT count(*) FROM Parametri")), 0);
    QCOMPARE(fx.main().viewState().workingDate, QDate(2024, 3, 16));
    QCOMPARE(fx.reloads().mid(reloadsBefore), QStringList({"SettaAmbiente", "gexsBind"}));
}

QTEST_MAIN(TestPreferences)
#include "test_preferences.moc"
