#include "db/connection.h"
#include "db/periods.h"
#include "testsupport.h"

#include <QtTest>

using namespace movilibro;
using movilibro::test::Journal;

class TestPeriods : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { test::pinItalianLocale(); }

    void ordinalName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("1") << "1"
                           << "Primo";
        QTest::newRow("6") << "6"
                           << "Sesto";
        QTest::newRow("7") << "7"
                           << "";
        QTest::newRow("01") << "01"
                            << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("0") << "0"
                           << "";
    }
    void ordinalName()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QCOMPARE(OrdinalName(text), name);
    }

    void fiscalYear_data()
    {
        QTest::addColumn<QDate>("working");
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::newRow("April, before") << QDate(2011, 2, 15) << 4 << QDate(2010, 4, 1) << QDate(2011, 3, 31);
        QTest::newRow("April, after") << QDate(2011, 4, 15) << 4 << QDate(2011, 4, 1) << QDate(2012, 3, 31);
        QTest::newRow("same month") << QDate(2011, 7, 1) << 7 << QDate(2011, 7, 1) << QDate(2012, 6, 30);
        QTest::newRow("January") << QDate(2011, 12, 31) << 1 << QDate(2011, 1, 1) << QDate(2011, 12, 31);
        QTest::newRow("March into leap")
            << QDate(2012, 1, 10) << 3 << QDate(2011, 3, 1) << QDate(2012, 2, 29);
        QTest::newRow("month out of range")
            << QDate(2011, 5, 5) << 13 << QDate(2011, 1, 1) << QDate(2011, 12, 31);
        QTest::newRow("month zero") << QDate(2011, 5, 5) << 0 << QDate(2011, 1, 1) << QDate(2011, 12, 31);
    }
    void fiscalYear()
    {
        QFETCH(QDate, working);
        QFETCH(int, month);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QCOMPARE(movilibro::fiscalYear(working, month), (DateRange{start, end}));
    }

    void selectedPeriod_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QDate>("working");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        const QDate p0(2010, 6, 20), p1(2010, 5, 2); // start after end on purpose
        QTest::newRow("year") << 0 << QDate(2010, 2, 15) << QDate(2010, 1, 1) << QDate(2010, 12, 31);
        QTest::newRow("working date") << 1 << QDate(2010, 2, 15) << QDate(2010, 2, 15) << QDate(2010, 2, 15);
        QTest::newRow("month of 31/01") << 2 << QDate(2010, 1, 31) << QDate(2010, 1, 1) << QDate(2010, 1, 31);
        QTest::newRow("leap February") << 2 << QDate(2012, 2, 10) << QDate(2012, 2, 1) << QDate(2012, 2, 29);
        QTest::newRow("free range unchanged") << 3 << QDate(2010, 2, 15) << p0 << p1;
    }
    void selectedPeriod()
    {
        QFETCH(int, option);
        QFETCH(QDate, working);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        const DateRange fy = movilibro::fiscalYear(working, 1);
        const DateRange got = movilibro::selectedPeriod(PeriodOption(option), working, fy, QDate(2010, 6, 20),
                                                        QDate(2010, 5, 2));
        QCOMPARE(got, (DateRange{start, end}));
    }

    void listingQueryText()
    {
        QCOMPARE(listingQuery(0, {QDate(2010, 1, 1), QDate(2010, 12, 31)}),
                 QStringLiteral(
                     "SELECT Format([mlData], 'yyyymm') AS mlPeriodo, Conti.cntNome AS mlConto, mlData, "
                     "mlDescrizione, mlEntrate, mlUscite, mlId FROM Movilibro INNER JOIN Conti ON "
                     "Movilibro.mlConto = Conti.cntId WHERE mlData Between #01/01/2010# And #12/31/2010#"));
        QVERIFY(listingQuery(9, {QDate(2010, 1, 1), QDate(2010, 12, 31)})
                    .startsWith(QStringLiteral("SELECT Format([mlData], 'yyyymm') AS")));
    }

    void reportQueryText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("orderBy");
        QTest::newRow("layout 0") << 0 << 0 << " ORDER BY  mlData";
        QTest::newRow("layout 1")
            << 1 << 1 << " ORDER BY Format([mlData],'yyyy') & Format(((Month([mlData])-1)\\2)+1,'0'), mlData";
        QTest::newRow("layout 2") << 0 << 2 << " ORDER BY Conti.cntNome, mlData";
        QTest::newRow("layout 3") << 2 << 3 << " ORDER BY Format([mlData], 'yyyyq'), Conti.cntNome, mlData";
        QTest::newRow("layout 4") << 0 << 4 << " ORDER BY Conti.cntNome, Format([mlData], 'yyyymm'), mlData";
        QTest::newRow("layout 7") << 0 << 7 << " ORDER BY  mlData";
    }
    void reportQueryText()
    {
        QFETCH(int, kind);
        QFETCH(int, layout);
        QFETCH(QString, orderBy);
        const QString q = reportQuery(kind, layout, {QDate(2010, 1, 1), QDate(2010, 12, 31)});
        QVERIFY2(q.endsWith(orderBy), qPrintable(q));
        if (kind == 2 && layout == 3) {
            QCOMPARE(
                q, QStringLiteral(
                       "SELECT  1 AS mlMovilibro, Format([mlData], 'yyyyq') AS mlPeriodo, Conti.cntNome AS "
                       "mlConto, mlData, mlDescrizione, mlEntrate, mlUscite, iif(isnull([mlEntrate]),0,"
                       "[mlEntrate])-iif(isnull([mlUscite]),0,[mlUscite]) AS mlSaldo  FROM Movilibro INNER "
                       "JOIN Conti ON Movilibro.mlConto = Conti.cntId WHERE mlData Between #01/01/2010# And "
                       "#12/31/2010# ORDER BY Format([mlData], 'yyyyq'), Conti.cntNome, mlData"));
        }
    }

    void keysAndCaptions_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::newRow("month") << QDate(2010, 3, 15) << 0 << "201003"
                               << "marzo 2010";
        QTest::newRow("December") << QDate(2010, 12, 31) << 0 << "201012"
                                  << "dicembre 2010";
        QTest::newRow("bimester end of year") << QDate(2010, 12, 31) << 1 << "20106"
                                              << "Sesto Bimestre 2010";
        QTest::newRow("bimester April") << QDate(2010, 4, 1) << 1 << "20102"
                                        << "Secondo Bimestre 2010";
        QTest::newRow("quarter April") << QDate(2010, 4, 1) << 2 << "20102"
                                       << "Secondo Trimestre 2010";
        QTest::newRow("quarter March") << QDate(2010, 3, 31) << 2 << "20101"
                                       << "Primo Trimestre 2010";
        QTest::newRow("four months end") << QDate(2010, 12, 31) << 3 << "20103"
                                         << "Terzo Quadrimestre 2010";
        QTest::newRow("half year June") << QDate(2010, 6, 30) << 4 << "20101"
                                        << "Primo Semestre 2010";
        QTest::newRow("half year July") << QDate(2010, 7, 1) << 4 << "20102"
                                        << "Secondo Semestre 2010";
    }
    void keysAndCaptions()
    {
        QFETCH(QDate, date);
        QFETCH(int, kind);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QCOMPARE(periodKey(date, kind), key);
        QCOMPARE(periodCaption(key, kind), caption);

        Journal j(m_dir.path() + QStringLiteral("/keys"));
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        j.addEntry(date, a, QStringLiteral("x"), 1, std::nullopt);
        db::Connection conn = j.open();
        db::Statement st = conn.prepareJet(listingQuery(kind, {date, date}));
        QVERIFY(st.step());
        QCOMPARE(st.text(0), key);
        QVERIFY(!st.step());
    }

    // The database and the program must agree on every key.
    void databaseKeysMatchProgramKeys()
    {
        Journal j(m_dir.path() + QStringLiteral("/leap"));
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        const QDate first(2012, 1, 1);
        {
            db::Connection conn = j.open();
            db::Transaction tx(conn);
            for (QDate d = first; d.year() == 2012; d = d.addDays(1))
                conn.exec(
                    QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlEntrate) VALUES ('%1', %2, 1)")
                        .arg(d.toString(Qt::ISODate))
                        .arg(a));
            tx.commit();
        }
        for (int kind = 0; kind <= 4; ++kind) {
            db::Connection conn = j.open();
            db::Statement st = conn.prepareJet(listingQuery(kind, {first, QDate(2012, 12, 31)}));
            int rows = 0;
            while (st.step()) {
                const QDate d = st.date(2);
                QCOMPARE(st.text(0), periodKey(d, kind));
                ++rows;
            }
            QCOMPARE(rows, 366);
        }
    }

    void listingDropsOrphansAndKeepsNulls()
    {
        Journal j(m_dir.path() + QStringLiteral("/orphans"));
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        j.addEntry(QDate(2010, 5, 5), a, QStringLiteral("ok"), std::nullopt, std::nullopt);
        j.addEntry(QDate(2010, 5, 5), a + 100, QStringLiteral("orfana"), 5, std::nullopt);
        j.addEntry(QDate(2010, 5, 6), a, QStringLiteral("fuori"), 5, std::nullopt);
        db::Connection conn = j.open();
        db::Statement st = conn.prepareJet(reportQuery(0, 0, {QDate(2010, 5, 5), QDate(2010, 5, 5)}));
        QVERIFY(st.step());
        QCOMPARE(st.text(4), QStringLiteral("ok"));
        QVERIFY(st.isNull(5));
        QCOMPARE(st.int64(7), 0); // null amounts count as 0 in the balance
        QVERIFY(!st.step());
    }
};

QTEST_GUILESS_MAIN(TestPeriods)
#include "test_periods.moc"
