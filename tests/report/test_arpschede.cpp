#include "reportfixtures.h"

#include "report/arpschede.h"
#include "report/pagesetup.h"
#include "report/reportsetup.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace movilibro;
using namespace movilibro::report;

namespace {

const PageFrame TallPage{10605, 10000000, 1.0};

// A small report: groups on "a" then "b", a detail with the amount "n", the
// page count in the page header.
class SmallReport : public Report
{
public:
    SmallReport()
    {
        setBaseFont(QStringLiteral("Verdana"), 10);
        setPrintWidth(5000);
        pageHeader().setHeight(300);
        Control pages = Control::field(QStringLiteral("pages"), QRect(0, 0, 1000, 200));
        pages.summary = Summary::PageCount;
        pageHeader().add(pages);

        Group& outer = addGroup(QStringLiteral("HeadA"), 200, QStringLiteral("FootA"), 100);
        outer.header.setGroupField(QStringLiteral("a"));
        outer.header.add(Control::field(QStringLiteral("keyA"), QRect(0, 0, 1000, 200), QStringLiteral("a")));
        outer.header.add(total(QStringLiteral("sumA"), QStringLiteral("HeadA")));

        Group& inner = addGroup(QStringLiteral("HeadB"), 200, QStringLiteral("FootB"), 0);
        inner.header.setGroupField(QStringLiteral("b"));
        inner.header.add(Control::field(QStringLiteral("keyB"), QRect(0, 0, 1000, 200), QStringLiteral("b")));
        inner.header.add(total(QStringLiteral("sumB"), QStringLiteral("HeadB")));
        inner.header.add(total(QStringLiteral("sumOfA"), QStringLiteral("HeadA")));

        detail().setHeight(250);
        detail().add(Control::field(QStringLiteral("n"), QRect(0, 0, 1000, 200), QStringLiteral("n")));
        Control running =
            Control::field(QStringLiteral("run"), QRect(1000, 0, 1000, 200), QStringLiteral("n"));
        running.summary = Summary::RunningGroupSum;
        running.summaryGroup = QStringLiteral("HeadB");
        detail().add(running);
    }

    static Control total(const QString& name, const QString& group)
    {
        Control control = Control::field(name, QRect(2000, 0, 1000, 200), QStringLiteral("n"));
        control.summary = Summary::GroupSum;
        control.summaryGroup = group;
        return control;
    }
};

RecordTable records(const QList<std::tuple<QString, QString, int>>& rows)
{
    RecordTable table({{"a", FieldType::Text}, {"b", FieldType::Text}, {"n", FieldType::Currency}});
    for (const auto& [a, b, n] : rows)
        table.addRow({a, b, Currency::fromUnits(n)});
    return table;
}

PageFrame frame(int height)
{
    return PageFrame{5000, height, 1.0};
}

} // namespace

class TestArpSchede : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        m_sample = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/sample"));
        QList<test::SampleEntry> entries = test::sampleEntries();
        entries.append(
            {QDate(2011, 1, 3), "Cassa", "Anno dopo", test::money(99), std::nullopt}); // never printed
        test::fillJournal(*m_sample, entries);
        m_large = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/large"));
        test::fillJournal(*m_large, test::manyEntries(150));
    }

    // The report of every layout as the files in tests/data/report give it, also from
    // the shared report after another layout ran.
    void printsEveryLayout_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0 no groups, months") << -1 << 0 << 0 << "layout0-months.txt";
        QTest::newRow("1 by period, bimesters") << -1 << 1 << 1 << "layout1-bimesters.txt";
        QTest::newRow("2 by account, months") << -1 << 2 << 0 << "layout2-months.txt";
        QTest::newRow("3 by period and account, quarters") << -1 << 3 << 2 << "layout3-quarters.txt";
        QTest::newRow("4 by account and period, months") << -1 << 4 << 0 << "layout4-months.txt";
        QTest::newRow("0 then 3") << 0 << 3 << 2 << "layout3-quarters.txt";
        QTest::newRow("1 then 4") << 1 << 4 << 0 << "layout4-months.txt";
        QTest::newRow("4 then 0") << 4 << 0 << 0 << "layout0-months.txt";
        QTest::newRow("outside the range, then 3") << 9 << 3 << 2 << "layout3-quarters.txt";
    }
    void printsEveryLayout()
    {
        QFETCH(int, before);
        QFETCH(int, layout);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        arpSchede report;
        if (before >= 0) {
            setUpReport(report,
                        {QDate(2010, 1, 1), QDate(2010, 12, 31), kind, before, m_sample->connString()});
            report.run(TallPage);
        }
        setUpReport(report, {QDate(2010, 1, 1), QDate(2010, 12, 31), kind, layout, m_sample->connString()});
        QCOMPARE(
            test::describe(report.run(TallPage)).join(u'\n') + u'\n',
            QString::fromUtf8(test::fileBytes(QStringLiteral(MOVILIBRO_TEST_DATA "/report/") + expected)));
    }

    // Period keys the sample does not reach, from a journal of one entry.
    void periodCaptions_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("caption");
        QTest::newRow("quarter, level 2")
            << QDate(2010, 12, 1) << 2 << 3 << "GroupHeader2:Quarto Trimestre 2010";
        QTest::newRow("bimester, level 3")
            << QDate(2010, 11, 30) << 1 << 4 << "GroupHeader3:Sesto bimestre 2010";
        QTest::newRow("half year, level 3")
            << QDate(2010, 7, 1) << 4 << 4 << "GroupHeader3:Secondo semestre 2010";
    }
    void periodCaptions()
    {
        QFETCH(QDate, date);
        QFETCH(int, kind);
        QFETCH(int, layout);
        QFETCH(QString, caption);
        QTemporaryDir dir;
        const test::Journal journal(dir.path());
        journal.addEntry(date, journal.addAccount(QStringLiteral("Cassa")), QStringLiteral("x"),
                         test::money(1), {});
        QVERIFY(
            test::bodyOf(run(journal, layout, kind)).contains(caption + QStringLiteral("|1,00 | |+|1,00")));
    }

    void pagesNeverSplitABand_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pageHeight");
        const int a4 = frameFor(defaultPageLayout(), arpSchede::DesignedWidth).height;
        QTest::newRow("A4, by period and account") << 3 << 0 << a4;
        QTest::newRow("short page, by account and period") << 4 << 1 << 3000;
        QTest::newRow("very short page") << 3 << 2 << 750 + 540 + 285 + 285 + 270;
    }
    void pagesNeverSplitABand()
    {
        QFETCH(int, layout);
        QFETCH(int, kind);
        QFETCH(int, pageHeight);
        const QStringList unbroken = test::bodyOf(run(*m_large, layout, kind));
        arpSchede report;
        setUpReport(report, {QDate(2010, 1, 1), QDate(2010, 12, 31), kind, layout, m_large->connString()});
        const auto document = report.run(PageFrame{10605, pageHeight, 1.0});
        QVERIFY(document.pages.size() > 1);
        // Paging changes where bands stand, never what they say.
        QCOMPARE(test::bodyOf(document), unbroken);
        QCOMPARE(unbroken.filter(QRegularExpression("^Detail")).size(), 150);
        const QString pageCount = QString::number(document.pages.size());
        for (const auto& page : document.pages) {
            QCOMPARE(page.bands.front().item("Field1")->text, pageCount);
            int y = 0;
            for (const auto& band : page.bands) {
                QCOMPARE(band.top, y);
                QVERIFY2(band.top + band.height <= pageHeight, qPrintable(band.name));
                for (const auto& item : band.items)
                    QVERIFY(item.rect.top() >= band.top && item.rect.bottom() < band.top + band.height);
                y += band.height;
            }
            QVERIFY2(!page.bands.back().name.startsWith(QLatin1String("GroupHeader")),
                     "header left at the foot");
        }
        // The preview lays pages out as they come into sight, in any order: the same pages.
        ReportPages pages = report.paginate(PageFrame{10605, pageHeight, 1.0});
        ReportDocument backwards{document.title, document.fontFamily, document.frame, {}};
        backwards.pages.resize(size_t(pages.pageCount()));
        for (int index = pages.pageCount(); index-- > 0;)
            backwards.pages[size_t(index)] = pages.page(index);
        QCOMPARE(test::describe(backwards), test::describe(document));
    }

    // The layout engine on a report of its own.
    void groupsBreakOnTheirFieldOrAnOuterOne()
    {
        SmallReport report;
        // "b" stays 1 across the change of "a": the inner group must break too.
        const auto document =
            report.layout(records({{"x", "1", 5}, {"x", "1", 7}, {"y", "1", 11}}), frame(20000));
        QCOMPARE(test::describe(document),
                 (QStringList{"PageHeader:1", "HeadA:x|12,00", "HeadB:1|12,00|12,00", "Detail:5,00|5,00",
                              "Detail:7,00|12,00", "FootA:", "HeadA:y|11,00", "HeadB:1|11,00|11,00",
                              "Detail:11,00|11,00", "FootA:"}));
        QCOMPARE(test::describe(report.layout(records({}), frame(20000))), QStringList{"PageHeader:1"});
    }

    // Texts that repeat are held once, and every text end to end once too many differ: either
    // way each value reads back as it was added, a NULL apart from an empty text.
    void recordsReadBackAsAdded_data()
    {
        QTest::addColumn<int>("distinct");
        QTest::newRow("few texts") << 3;
        QTest::newRow("as many as are held once") << 4096;
        QTest::newRow("one more") << 4097;
    }
    void recordsReadBackAsAdded()
    {
        QFETCH(int, distinct);
        RecordTable table({{"t", FieldType::Text}, {"d", FieldType::Date}, {"n", FieldType::Currency}});
        const auto text = [](int i) { return QStringLiteral("Caffè n° %1").arg(i); };
        for (int i = 0; i < distinct - 1; ++i)
            table.addRow({text(i), QDate(2010, 1, 1).addDays(i % 300), Currency::fromUnits(i)});
        table.addRow({QStringLiteral(""), std::monostate{}, std::monostate{}});
        table.addRow({std::monostate{}, QDate(2011, 2, 3), Currency::fromUnits(-7)});
        table.addRow({text(1), QDate(2012, 3, 4), Currency()});
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 table.addRow({QDate(2010, 1, 1), QDate(), Currency()}));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, table.addRow({QString(), QDate()}));

        QCOMPARE(table.rowCount(), distinct + 2);
        for (int i = 0; i < distinct - 1; ++i) {
            QVERIFY(table.value(i, 0) == Value(text(i)));
            QVERIFY(table.value(i, 1) == Value(QDate(2010, 1, 1).addDays(i % 300)));
            QVERIFY(table.value(i, 2) == Value(Currency::fromUnits(i)));
        }
        const int last = distinct - 1;
        QVERIFY(table.value(last, 0) == Value(QStringLiteral("")));
        QVERIFY(table.value(last, 1) == Value() && table.value(last, 2) == Value());
        QVERIFY(table.value(last + 1, 0) == Value());
        QVERIFY(table.value(last + 1, 1) == Value(QDate(2011, 2, 3)));
        QVERIFY(table.value(last + 1, 2) == Value(Currency::fromUnits(-7)));
        QVERIFY(table.value(last + 2, 0) == Value(QStringLiteral("Caffè n° 1")));
        QVERIFY(table.value(last + 2, 2) == Value(Currency()));
    }

    void formatRunsBeforeBeforePrint()
    {
        SmallReport report;
        QStringList calls;
        Band& header = *report.band(QStringLiteral("HeadB"));
        header.setFormatHook([&](Band& band) {
            Control& key = band.at(QStringLiteral("keyB"));
            calls.append(QStringLiteral("format ") + key.text);
            key.text = QStringLiteral("Gruppo ") + key.text;
        });
        header.setBeforePrintHook([&](Band& band) {
            calls.append(QStringLiteral("print ") + band.at(QStringLiteral("keyB")).text + u' ' +
                         amountOf(band.at(QStringLiteral("sumB")).value).toString());
        });
        const auto document = report.layout(records({{"x", "1", 3}, {"x", "2", 4}}), frame(20000));
        QCOMPARE(calls, (QStringList{"format 1", "print Gruppo 1 3,00", "format 2", "print Gruppo 2 4,00"}));
        QCOMPARE(test::bodyOf(document).at(1), QStringLiteral("HeadB:Gruppo 1|3,00|7,00"));
    }

    // Each record on a page of its own, the headers with the first one; the outer footer needs a page.
    void bandTallerThanThePageStandsAlone()
    {
        SmallReport report;
        report.detail().setHeight(5000);
        const auto document =
            report.layout(records({{"x", "1", 1}, {"x", "1", 2}, {"x", "1", 3}}), frame(2000));
        QCOMPARE(test::describe(document),
                 (QStringList{"PageHeader:4", "HeadA:x|6,00", "HeadB:1|6,00|6,00", "Detail:1,00|1,00",
                              "#page 2", "PageHeader:4", "Detail:2,00|3,00", "#page 3", "PageHeader:4",
                              "Detail:3,00|6,00", "#page 4", "PageHeader:4", "FootA:"}));
    }

private:
    static ReportDocument run(const test::Journal& journal, int layout, int kind)
    {
        arpSchede report;
        setUpReport(report, {QDate(2010, 1, 1), QDate(2010, 12, 31), kind, layout, journal.connString()});
        return report.run(TallPage);
    }

    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_sample, m_large;
};

QTEST_MAIN(TestArpSchede)
#include "test_arpschede.moc"
