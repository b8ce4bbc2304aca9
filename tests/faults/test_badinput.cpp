#include "mainwindowfixture.h"

#include "db/connection.h"
#include "db/pendingrow.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/journalgrid.h"

#include <QtTest>

#include <limits>

using namespace movilibro;
using test::MainWindowFixture;

namespace {
constexpr qint64 Max = std::numeric_limits<qint64>::max();

qint64 saveEntry(test::Journal& j, const QString& date, qint64 account, const QString& description,
                 std::optional<qint64> in)
{
    db::Connection conn = j.open();
    db::PendingRow row = db::PendingRow::addNew(conn, QStringLiteral("Movilibro"));
    row.setValue(QStringLiteral("mlData"), date);
    row.setValue(QStringLiteral("mlConto"), account);
    row.setValue(QStringLiteral("mlDescrizione"), description);
    row.setValue(QStringLiteral("mlEntrate"), in ? QVariant(*in) : QVariant());
    row.setValue(QStringLiteral("mlUscite"), qint64(0));
    return row.save();
}
} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void awkwardTextIsStoredAndShownExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << "l'\"ufficio\" ''doppio''";
        QTest::newRow("sql-like") << "x'; DELETE * FROM Movilibro; --";
        QTest::newRow("percent and hash") << "100% #01/02/2010# [mlId] & \\ isnull(";
        QTest::newRow("newlines") << "prima riga\nseconda riga\r\nterza";
        QTest::newRow("emoji and accents") << QString::fromUtf8("caffè ☕ 💶 – €");
        QTest::newRow("exactly the defined size") << QString(255, u'é');
    }
    void awkwardTextIsStoredAndShownExactly()
    {
        QFETCH(QString, text);
        MainWindowFixture f(QDate(2010, 3, 15));
        const qint64 account = f.journal().addAccount(text);
        saveEntry(f.journal(), QStringLiteral("2010-03-01"), account, text, test::money(1));
        frmMain& w = f.open();
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro")), 1);
        auto* gex = w.journalGrid();
        QCOMPARE(gex->value(2, JournalColumn::Descrizione).toString(), text);
        QCOMPARE(gex->value(2, JournalColumn::Conto).toString(), text);
        QCOMPARE(w.accountsPane()->grid()->value(1, 2).toString(), text);
    }

    void overlongTextIsRefusedAndNothingStored()
    {
        MainWindowFixture f(QDate(2010, 3, 15));
        const qint64 account = f.journal().addAccount(QStringLiteral("Cassa"));
        QVERIFY_THROWS_EXCEPTION(db::DbError, saveEntry(f.journal(), QStringLiteral("2010-03-01"), account,
                                                        QString(10000, u'x'), 1));
        db::Connection conn = f.journal().open();
        db::PendingRow row = db::PendingRow::addNew(conn, QStringLiteral("Conti"));
        row.setValue(QStringLiteral("cntNome"), QString(10000, u'y'));
        QVERIFY_THROWS_EXCEPTION(db::DbError, row.save());
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro")), 0);
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Conti")), 1);
    }

    void amountsAtTheLimit()
    {
        MainWindowFixture f(QDate(2010, 3, 15));
        const qint64 account = f.journal().addAccount(QStringLiteral("Cassa"));
        saveEntry(f.journal(), QStringLiteral("2010-03-01"), account, QStringLiteral("massimo"), Max);
        {
            frmMain& w = f.open();
            QCOMPARE(w.journalGrid()->value(2, JournalColumn::Entrate).value<Currency>().raw(), Max);
            QCOMPARE(f.shown(2, JournalColumn::Entrate), QStringLiteral("922.337.203.685.477,58 "));
            QVERIFY(f.prompt().messages.isEmpty());
        }
        // A second one cannot be added up: said clearly, never wrapped.
        saveEntry(f.journal(), QStringLiteral("2010-03-02"), account, QStringLiteral("ancora"), Max);
        frmMain& w = f.open();
        QVERIFY(!f.prompt().messages.isEmpty());
        QVERIFY(f.prompt().messages.last().text.contains(QStringLiteral("valore massimo")));
        QVERIFY(w.isVisible());
        QVERIFY(!Currency::parse(QStringLiteral("922.337.203.685.478,00")));
        QCOMPARE(Currency::parse(QStringLiteral("922.337.203.685.477,5807"))->raw(), Max);
    }

    void datesAtTheEndsOfTheCalendar_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("01/01/0100") << QDate(100, 1, 1);
        QTest::newRow("31/12/9999") << QDate(9999, 12, 31);
    }
    void datesAtTheEndsOfTheCalendar()
    {
        QFETCH(QDate, date);
        MainWindowFixture f(date);
        const qint64 account = f.journal().addAccount(QStringLiteral("Cassa"));
        saveEntry(f.journal(), date.toString(Qt::ISODate), account, QStringLiteral("estremo"),
                  test::money(5));
        frmMain& w = f.open();
        QVERIFY2(f.prompt().messages.isEmpty(), qPrintable(f.prompt().messages.value(0).text));
        QCOMPARE(w.journalGrid()->rowCount(), 1);
        QCOMPARE(w.journalGrid()->value(2, JournalColumn::Data).toDate(), date);
        QCOMPARE(f.shown(2, JournalColumn::Data), date.toString(QStringLiteral("dd/MM/yyyy")));
    }
};

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
