#include "reportfixtures.h"

#include "report/arpschede.h"
#include "report/pagesetup.h"
#include "report/reportsetup.h"

#include <QTemporaryDir>
#include <QTest>

using namespace movilibro;
using namespace movilibro::report;

// Accounts whose names differ only by case sort together and print as one
// group, as the grid shows them: one header, one total, one running balance.
// Entries of one day print in the order they were written ("e" after "b").
class TestReportGroups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::pinItalianLocale(); }
    void namesDifferingByCaseAreOneGroup_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2 by account")
            << 2 << "Banca|155,00 |50,00 |+|105,00 / 100,00 / 70,00 / 75,00 / 125,00 / 105,00";
        QTest::newRow("3 by period and account")
            << 3
            << "gennaio 2010|105,00 |30,00 |+|75,00 / Banca|105,00 |30,00 |+|75,00 / 100,00 / 70,00 / 75,00 "
               "/ "
               "febbraio 2010|50,00 |20,00 |+|30,00 / Banca|50,00 |20,00 |+|30,00 / 50,00 / 30,00";
        QTest::newRow("4 by account and period") << 4
                                                 << "Banca|155,00 |50,00 |+|105,00 / gennaio 2010|105,00 "
                                                    "|30,00 |+|75,00 / 100,00 / 70,00 / 75,00 / "
                                                    "febbraio 2010|50,00 |20,00 |+|30,00 / 50,00 / 30,00";
    }
    void namesDifferingByCaseAreOneGroup()
    {
        QFETCH(int, layout);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const test::Journal journal(dir.path());
        test::fillJournal(journal, {{QDate(2010, 1, 10), "Banca", "a", test::money(100), std::nullopt},
                                    {QDate(2010, 1, 20), "banca", "b", std::nullopt, test::money(30)},
                                    {QDate(2010, 1, 20), "Banca", "e", test::money(5), std::nullopt},
                                    {QDate(2010, 2, 10), "Banca", "c", test::money(50), std::nullopt},
                                    {QDate(2010, 2, 20), "banca", "d", std::nullopt, test::money(20)}});
        arpSchede report;
        setUpReport(report,
                    ReportContext{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, layout, journal.connString()});
        // Inner group headers, and each entry's running balance.
        QStringList shown;
        for (const QString& line : test::bodyOf(report.run(PageFrame{10605, 100000, 1.0}))) {
            if (line.startsWith(QLatin1String("Detail:")))
                shown << line.section(u'|', -1);
            else if (line.startsWith(QLatin1String("GroupHeader")) &&
                     !line.startsWith(QLatin1String("GroupHeader1")))
                shown << line.section(u':', 1);
        }
        QCOMPARE(shown.join(QLatin1String(" / ")), expected);
    }
};

QTEST_MAIN(TestReportGroups)
#include "test_reportgroups.moc"
