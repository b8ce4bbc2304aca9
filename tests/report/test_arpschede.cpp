#include "reportfixtures.h"

#include "db/connection.h"
#include "db/connstring.h"
#include "report/arpschede.h"
#include "report/pagesetup.h"
#include "report/reportcommands.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace movilibro;
using namespace movilibro::report;

namespace {

const PageFrame TallPage{10605, 100000, 1.0};
const QString Header =
    QStringLiteral("PageHeader:Data|Descrizione|Conto|Entrate |Uscite |Saldo progressivo|1");
const QString Whole =
    QStringLiteral("GroupHeader1:Movilibro dal 01/01/2010 al 31/12/2010|2.234,50 |850,00 |+|1.384,50");

ReportContext contextFor(int layout, int kind, const QString& connString = {})
{
    return ReportContext{QDate(2010, 1, 1), QDate(2010, 12, 31), kind, layout, connString};
}

RecordTable oneRecord(const QString& periodKey, const QString& account)
{
    RecordTable table({{"mlMovilibro", FieldType::Text},
                       {"mlPeriodo", FieldType::Text},
                       {"mlConto", FieldType::Text},
                       {"mlData", FieldType::Date},
                       {"mlDescrizione", FieldType::Text},
                       {"mlEntrate", FieldType::Currency},
                       {"mlUscite", FieldType::Currency},
                       {"mlSaldo", FieldType::Currency}});
    table.addRow({QStringLiteral("1"), periodKey, account, QDate(2010, 3, 1), QStringLiteral("x"),
                  Currency::fromUnits(1), std::monostate{}, Currency::fromUnits(1)});
    return table;
}

} // namespace

class TestArpSchede : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printsEveryLayout_data();
    void printsEveryLayout();
    void periodCaptions_data();
    void periodCaptions();
    void accountCaptionIsLeftAsItIs();
    void outerCaptionShowsTheSelectedPeriod();
    void fullerLayoutAfterASmallerOnePrintsEveryLevel_data();
    void fullerLayoutAfterASmallerOnePrintsEveryLevel();
    void layoutOutsideTheRangeKeepsTheDesign();
    void pagesNeverSplitABand_data();
    void pagesNeverSplitABand();
    void dataControlReadsTypedValues();

private:
    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_journal;
};

void TestArpSchede::initTestCase()
{
    m_journal = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/journal"));
    QList<test::SampleEntry> entries = test::sampleEntries();
    // Outside the period: never printed.
    entries.append({QDate(2011, 1, 3), "Cassa", "Anno dopo", test::money(99), std::nullopt});
    test::fillJournal(*m_journal, entries);
}

void TestArpSchede::printsEveryLayout_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("0 no groups, months")
        << 0 << 0
        << QStringList{Header,
                       Whole,
                       "Detail:15/01/2010|Incasso fattura 1|Cassa|1.234,50 | |+|1.234,50",
                       "Detail:10/02/2010|Affitto|Banca| |800,00 |+|434,50",
                       "Detail:05/03/2010|Vendita|Cassa|200,00 | |+|634,50",
                       "Detail:20/03/2010|Bonifico|Banca|800,00 | |+|1.434,50",
                       "Detail:02/04/2010|Spese|Cassa| |50,00 |+|1.384,50",
                       "Detail:10/05/2010|Nota|Banca| | |+|1.384,50"};
    QTest::newRow("1 by period, bimesters")
        << 1 << 1
        << QStringList{Header,
                       Whole,
                       "GroupHeader2:Primo Bimestre 2010|1.234,50 |800,00 |+|434,50",
                       "Detail:15/01/2010|Incasso fattura 1|Cassa|1.234,50 | |+|1.234,50",
                       "Detail:10/02/2010|Affitto|Banca| |800,00 |+|434,50",
                       "GroupFooter2:",
                       "GroupHeader2:Secondo Bimestre 2010|1.000,00 |50,00 |+|950,00",
                       "Detail:05/03/2010|Vendita|Cassa|200,00 | |+|200,00",
                       "Detail:20/03/2010|Bonifico|Banca|800,00 | |+|1.000,00",
                       "Detail:02/04/2010|Spese|Cassa| |50,00 |+|950,00",
                       "GroupFooter2:",
                       "GroupHeader2:Terzo Bimestre 2010| | ||0,00",
                       "Detail:10/05/2010|Nota|Banca| | ||0,00",
                       "GroupFooter2:"};
    QTest::newRow("2 by account, months")
        << 2 << 0
        << QStringList{Header,
                       Whole,
                       "GroupHeader2:Banca|800,00 |800,00 ||0,00",
                       "Detail:10/02/2010|Affitto|Banca| |800,00 |-|800,00",
                       "Detail:20/03/2010|Bonifico|Banca|800,00 | ||0,00",
                       "Detail:10/05/2010|Nota|Banca| | ||0,00",
                       "GroupFooter2:",
                       "GroupHeader2:Cassa|1.434,50 |50,00 |+|1.384,50",
                       "Detail:15/01/2010|Incasso fattura 1|Cassa|1.234,50 | |+|1.234,50",
                       "Detail:05/03/2010|Vendita|Cassa|200,00 | |+|1.434,50",
                       "Detail:02/04/2010|Spese|Cassa| |50,00 |+|1.384,50",
                       "GroupFooter2:"};
    QTest::newRow("3 by period and account, quarters")
        << 3 << 2
        << QStringList{Header,
                       Whole,
                       "GroupHeader2:Primo Trimestre 2010|2.234,50 |800,00 |+|1.434,50",
                       "GroupHeader3:Banca|800,00 |800,00 ||0,00",
                       "Detail:10/02/2010|Affitto|Banca| |800,00 |-|800,00",
                       "Detail:20/03/2010|Bonifico|Banca|800,00 | ||0,00",
                       "GroupFooter3:",
                       "GroupHeader3:Cassa|1.434,50 | |+|1.434,50",
                       "Detail:15/01/2010|Incasso fattura 1|Cassa|1.234,50 | |+|1.234,50",
                       "Detail:05/03/2010|Vendita|Cassa|200,00 | |+|1.434,50",
                       "GroupFooter3:",
                       "GroupFooter2:",
                       "GroupHeader2:Secondo Trimestre 2010| |50,00 |-|50,00",
                       "GroupHeader3:Banca| | ||0,00",
                       "Detail:10/05/2010|Nota|Banca| | ||0,00",
                       "GroupFooter3:",
                       "GroupHeader3:Cassa| |50,00 |-|50,00",
                       "Detail:02/04/2010|Spese|Cassa| |50,00 |-|50,00",
                       "GroupFooter3:",
                       "GroupFooter2:"};
    QTest::newRow("4 by account and period, quarters")
        << 4 << 2
        << QStringList{Header,
                       Whole,
                       "GroupHeader2:Banca|800,00 |800,00 ||0,00",
                       "GroupHeader3:Primo trimestre 2010|800,00 |800,00 ||0,00",
                       "Detail:10/02/2010|Affitto|Banca| |800,00 |-|800,00",
                       "Detail:20/03/2010|Bonifico|Banca|800,00 | ||0,00",
                       "GroupFooter3:",
                       "GroupHeader3:Secondo trimestre 2010| | ||0,00",
                       "Detail:10/05/2010|Nota|Banca| | ||0,00",
                       "GroupFooter3:",
                       "GroupFooter2:",
                       "GroupHeader2:Cassa|1.434,50 |50,00 |+|1.384,50",
                       "GroupHeader3:Primo trimestre 2010|1.434,50 | |+|1.434,50",
                       "Detail:15/01/2010|Incasso fattura 1|Cassa|1.234,50 | |+|1.234,50",
                       "Detail:05/03/2010|Vendita|Cassa|200,00 | |+|1.434,50",
                       "GroupFooter3:",
                       "GroupHeader3:Secondo trimestre 2010| |50,00 |-|50,00",
                       "Detail:02/04/2010|Spese|Cassa| |50,00 |-|50,00",
                       "GroupFooter3:",
                       "GroupFooter2:"};
}

void TestArpSchede::printsEveryLayout()
{
    QFETCH(int, layout);
    QFETCH(int, kind);
    QFETCH(QStringList, expected);

    arpSchede fed;
    setUpReport(fed, contextFor(layout, kind));
    QCOMPARE(test::describe(fed.layout(test::reportRecords(test::sampleEntries(), kind, layout), TallPage)),
             expected);

    // The same through the report's own query on a real journal file.
    arpSchede queried;
    setUpReport(queried, contextFor(layout, kind, m_journal->connString()));
    QCOMPARE(test::describe(queried.run(TallPage)), expected);
}

void TestArpSchede::periodCaptions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("expected");

    QTest::newRow("month") << 0 << 3 << "201003"
                           << "GroupHeader2"
                           << "marzo 2010";
    QTest::newRow("month, level 3") << 0 << 4 << "201012"
                                    << "GroupHeader3"
                                    << "dicembre 2010";
    QTest::newRow("bimester, level 2") << 1 << 1 << "20102"
                                       << "GroupHeader2"
                                       << "Secondo Bimestre 2010";
    QTest::newRow("bimester, level 3") << 1 << 4 << "20106"
                                       << "GroupHeader3"
                                       << "Sesto bimestre 2010";
    QTest::newRow("quarter, level 2") << 2 << 3 << "20104"
                                      << "GroupHeader2"
                                      << "Quarto Trimestre 2010";
    QTest::newRow("quarter, level 3") << 2 << 4 << "20101"
                                      << "GroupHeader3"
                                      << "Primo trimestre 2010";
    QTest::newRow("four months") << 3 << 1 << "20103"
                                 << "GroupHeader2"
                                 << "Terzo Quadrimestre 2010";
    QTest::newRow("half year, level 3") << 4 << 4 << "20111"
                                        << "GroupHeader3"
                                        << "Primo semestre 2011";
    QTest::newRow("not a period digit") << 1 << 1 << "2010x"
                                        << "GroupHeader2"
                                        << " Bimestre 2010";
}

void TestArpSchede::periodCaptions()
{
    QFETCH(int, kind);
    QFETCH(int, layout);
    QFETCH(QString, key);
    QFETCH(QString, band);
    QFETCH(QString, expected);

    arpSchede report;
    setUpReport(report, contextFor(layout, kind));
    const auto document = report.layout(oneRecord(key, QStringLiteral("Cassa")), TallPage);
    const QString caption = band == QLatin1String("GroupHeader2") ? "txtH2" : "txtH3";
    for (const auto& placed : document.pages.front().bands) {
        if (placed.name == band) {
            QCOMPARE(placed.item(caption)->text, expected);
            return;
        }
    }
    QFAIL("group header not printed");
}

void TestArpSchede::accountCaptionIsLeftAsItIs()
{
    // An account named like a period key is not a period.
    arpSchede report;
    setUpReport(report, contextFor(2, 1));
    const auto document =
        report.layout(oneRecord(QStringLiteral("20102"), QStringLiteral("20102")), TallPage);
    QCOMPARE(test::bodyOf(document).at(1), QStringLiteral("GroupHeader2:20102|1,00 | |+|1,00"));
}

void TestArpSchede::outerCaptionShowsTheSelectedPeriod()
{
    arpSchede report;
    setUpReport(report, ReportContext{QDate(2010, 4, 1), QDate(2011, 3, 31), 0, 0, {}});
    const auto document =
        report.layout(oneRecord(QStringLiteral("201004"), QStringLiteral("Cassa")), TallPage);
    QCOMPARE(document.pages.front().bands.at(1).item("txtH1")->text,
             QStringLiteral("Movilibro dal 01/04/2010 al 31/03/2011"));
}

void TestArpSchede::fullerLayoutAfterASmallerOnePrintsEveryLevel_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("0 then 3") << 0 << 3;
    QTest::newRow("1 then 4") << 1 << 4;
    QTest::newRow("2 then 3") << 2 << 3;
    QTest::newRow("4 then 0") << 4 << 0;
}

void TestArpSchede::fullerLayoutAfterASmallerOnePrintsEveryLevel()
{
    QFETCH(int, before);
    QFETCH(int, after);
    const auto records = test::reportRecords(test::sampleEntries(), 2, after);

    arpSchede fresh;
    setUpReport(fresh, contextFor(after, 2));
    const QStringList expected = test::describe(fresh.layout(records, TallPage));

    arpSchede reused;
    setUpReport(reused, contextFor(before, 2));
    reused.layout(test::reportRecords(test::sampleEntries(), 2, before), TallPage);
    setUpReport(reused, contextFor(after, 2));
    QCOMPARE(test::describe(reused.layout(records, TallPage)), expected);
}

void TestArpSchede::layoutOutsideTheRangeKeepsTheDesign()
{
    arpSchede report;
    setUpReport(report, contextFor(9, 0));
    const QStringList body =
        test::bodyOf(report.layout(test::reportRecords(test::sampleEntries(), 0, 0), TallPage));
    // Every band shown; the undesigned group levels hold all records in one group.
    QCOMPARE(body.filter(QRegularExpression("^GroupHeader2")).size(), 1);
    QCOMPARE(body.filter(QRegularExpression("^GroupHeader3")).size(), 1);
    QCOMPARE(body.filter(QRegularExpression("^Detail")).size(), 6);
    QCOMPARE(body.last(), QStringLiteral("GroupFooter2:"));
}

void TestArpSchede::pagesNeverSplitABand_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("pageHeight");
    const int a4 = frameFor(defaultPageLayout(), arpSchede::DesignedWidth).height;
    QTest::newRow("A4, by period and account") << 3 << 0 << a4;
    QTest::newRow("A4, no groups") << 0 << 0 << a4;
    QTest::newRow("short page, by account and period") << 4 << 1 << 3000;
    QTest::newRow("very short page") << 3 << 2 << 750 + 540 + 285 + 285 + 270;
}

void TestArpSchede::pagesNeverSplitABand()
{
    QFETCH(int, layout);
    QFETCH(int, kind);
    QFETCH(int, pageHeight);
    const auto records = test::reportRecords(test::manyEntries(150), kind, layout);

    arpSchede onePage;
    setUpReport(onePage, contextFor(layout, kind));
    const QStringList unbroken = test::bodyOf(onePage.layout(records, PageFrame{10605, 10000000, 1.0}));

    arpSchede report;
    setUpReport(report, contextFor(layout, kind));
    const auto document = report.layout(records, PageFrame{10605, pageHeight, 1.0});
    QVERIFY(document.pages.size() > 1);
    // Paging changes where bands stand, never what they say.
    QCOMPARE(test::bodyOf(document), unbroken);
    QCOMPARE(unbroken.filter(QRegularExpression("^Detail")).size(), 150);

    const QString pageCount = QString::number(document.pages.size());
    for (const auto& page : document.pages) {
        QCOMPARE(page.bands.front().name, QStringLiteral("PageHeader"));
        QCOMPARE(page.bands.front().item("Field1")->text, pageCount);
        int y = 0;
        for (const auto& band : page.bands) {
            QCOMPARE(band.top, y);
            QVERIFY2(band.top + band.height <= pageHeight, qPrintable(band.name));
            for (const auto& item : band.items) {
                QVERIFY(item.rect.top() >= band.top &&
                        item.rect.top() + item.rect.height() <= band.top + band.height);
            }
            y += band.height;
        }
        QVERIFY2(!page.bands.back().name.startsWith(QLatin1String("GroupHeader")), "header left at the foot");
    }
}

void TestArpSchede::dataControlReadsTypedValues()
{
    DataControl data;
    data.setConnectionString(m_journal->connString());
    data.setSource(
        QStringLiteral("SELECT mlData, mlEntrate, mlUscite, mlDescrizione FROM Movilibro "
                       "WHERE mlDescrizione = 'Nota' OR mlDescrizione = 'Affitto' ORDER BY mlData"));
    data.setFieldType(QStringLiteral("mldata"), FieldType::Date);
    data.setFieldType(QStringLiteral("MLENTRATE"), FieldType::Currency);
    data.setFieldType(QStringLiteral("mlUscite"), FieldType::Currency);
    const RecordTable table = data.fetch();
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.value(0, 0), Value(QDate(2010, 2, 10)));
    QCOMPARE(table.value(0, 1), Value(std::monostate{}));
    QCOMPARE(table.value(0, 2), Value(Currency::fromUnits(800)));
    QCOMPARE(table.value(1, 3), Value(QStringLiteral("Nota")));

    data.setConnectionString(db::connStringFor(m_dir.path() + QStringLiteral("/nessuno")));
    QVERIFY_THROWS_EXCEPTION(db::DbError, data.fetch());
}

MOVILIBRO_REGISTER_TEST(TestArpSchede);

#include "test_arpschede.moc"
