#include "reportfixtures.h"

#include "report/report.h"

#include <QRegularExpression>
#include <QTest>

using namespace movilibro;
using namespace movilibro::report;

Q_DECLARE_METATYPE(movilibro::report::Value)

namespace {

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
    for (const auto& [a, b, n] : rows) {
        table.addRow({a, b, Currency::fromUnits(n)});
    }
    return table;
}

PageFrame frame(int height)
{
    return PageFrame{5000, height, 1.0};
}

} // namespace

class TestLayoutEngine : public QObject
{
    Q_OBJECT

private slots:
    void groupsBreakOnTheirFieldOrAnOuterOne();
    void headerTotalsLookAheadAcrossPages_data();
    void headerTotalsLookAheadAcrossPages();
    void runningSumRestartsWithItsGroupOnly();
    void hiddenBandsDoNotPrintButStillGroup();
    void formatRunsBeforeBeforePrint();
    void bandTallerThanThePageStandsAlone();
    void noRecordsGiveOnePageWithItsHeader();
    void pageFooterSitsAtTheBottom();
    void amountsAndDatesUseTheirFormats_data();
    void amountsAndDatesUseTheirFormats();
};

void TestLayoutEngine::groupsBreakOnTheirFieldOrAnOuterOne()
{
    SmallReport report;
    // "b" stays 1 across the change of "a": the inner group must break too.
    const auto document =
        report.layout(records({{"x", "1", 5}, {"x", "1", 7}, {"y", "1", 11}}), frame(20000));
    const QStringList expected = {
        "PageHeader:1", "HeadA:x|12,00", "HeadB:1|12,00|12,00", "Detail:5,00|5,00",   "Detail:7,00|12,00",
        "FootA:",       "HeadA:y|11,00", "HeadB:1|11,00|11,00", "Detail:11,00|11,00", "FootA:",
    };
    QCOMPARE(test::describe(document), expected);
}

void TestLayoutEngine::headerTotalsLookAheadAcrossPages_data()
{
    QTest::addColumn<int>("pageHeight");
    QTest::newRow("one page") << 20000;
    QTest::newRow("three details a page") << 300 + 200 + 200 + 3 * 250;
    QTest::newRow("one detail a page") << 300 + 200 + 200 + 250;
}

void TestLayoutEngine::headerTotalsLookAheadAcrossPages()
{
    QFETCH(int, pageHeight);
    SmallReport report;
    QList<std::tuple<QString, QString, int>> rows;
    for (int i = 1; i <= 10; ++i) {
        rows.append({"x", i <= 6 ? "1" : "2", i});
    }
    const auto document = report.layout(records(rows), frame(pageHeight));
    const QStringList body = test::bodyOf(document);
    // 1+..+10 = 55; 1+..+6 = 21; 7+..+10 = 34, whatever the pages.
    QCOMPARE(body.first(), QStringLiteral("HeadA:x|55,00"));
    QCOMPARE(body.at(1), QStringLiteral("HeadB:1|21,00|55,00"));
    QVERIFY(body.contains(QStringLiteral("HeadB:2|34,00|55,00")));
    QCOMPARE(body.count(QStringLiteral("Detail:6,00|21,00")), 1);
    QCOMPARE(body.count(QStringLiteral("Detail:10,00|34,00")), 1);

    const QString pages = QString::number(document.pages.size());
    for (const auto& page : document.pages) {
        QCOMPARE(page.bands.front().name, QStringLiteral("PageHeader"));
        QCOMPARE(page.bands.front().item(QStringLiteral("pages"))->text, pages);
        for (const auto& band : page.bands) {
            QVERIFY2(band.top + band.height <= pageHeight, qPrintable(band.name));
        }
        // A header never stays behind at the foot of a page.
        QVERIFY(!page.bands.back().name.startsWith(QLatin1String("Head")));
    }
}

void TestLayoutEngine::runningSumRestartsWithItsGroupOnly()
{
    SmallReport report;
    report.detail().at(QStringLiteral("run")).summaryGroup = QStringLiteral("HeadA");
    const auto document = report.layout(records({{"x", "1", 1}, {"x", "2", 2}, {"y", "2", 4}}), frame(20000));
    const QStringList details = test::bodyOf(document).filter(QRegularExpression("^Detail"));
    QCOMPARE(details, (QStringList{"Detail:1,00|1,00", "Detail:2,00|3,00", "Detail:4,00|4,00"}));

    // A group name that names no header runs over the whole report.
    report.detail().at(QStringLiteral("run")).summaryGroup = QStringLiteral("Nessuno");
    const auto whole = report.layout(records({{"x", "1", 1}, {"x", "2", 2}, {"y", "2", 4}}), frame(20000));
    QCOMPARE(test::bodyOf(whole).filter(QRegularExpression("^Detail")),
             (QStringList{"Detail:1,00|1,00", "Detail:2,00|3,00", "Detail:4,00|7,00"}));
}

void TestLayoutEngine::hiddenBandsDoNotPrintButStillGroup()
{
    SmallReport report;
    report.band(QStringLiteral("HeadA"))->setVisible(false);
    report.band(QStringLiteral("FootA"))->setVisible(false);
    int formats = 0;
    report.band(QStringLiteral("HeadA"))->setFormatHook([&](Band&) { ++formats; });
    const auto document = report.layout(records({{"x", "1", 1}, {"y", "1", 2}}), frame(20000));
    QCOMPARE(test::bodyOf(document),
             (QStringList{"HeadB:1|1,00|1,00", "Detail:1,00|1,00", "HeadB:1|2,00|2,00", "Detail:2,00|2,00"}));
    QCOMPARE(formats, 0);
}

void TestLayoutEngine::formatRunsBeforeBeforePrint()
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

void TestLayoutEngine::bandTallerThanThePageStandsAlone()
{
    SmallReport report;
    report.detail().setHeight(5000);
    const auto document = report.layout(records({{"x", "1", 1}, {"x", "1", 2}, {"x", "1", 3}}), frame(2000));
    // Each record on a page of its own, the headers with the first one; the
    // outer footer needs a page.
    const QStringList expected = {
        "PageHeader:4", "HeadA:x|6,00",     "HeadB:1|6,00|6,00", "Detail:1,00|1,00",
        "#page 2",      "PageHeader:4",     "Detail:2,00|3,00",  "#page 3",
        "PageHeader:4", "Detail:3,00|6,00", "#page 4",           "PageHeader:4",
        "FootA:",
    };
    QCOMPARE(test::describe(document), expected);
}

void TestLayoutEngine::noRecordsGiveOnePageWithItsHeader()
{
    SmallReport report;
    const auto document = report.layout(records({}), frame(20000));
    QCOMPARE(test::describe(document), QStringList{"PageHeader:1"});
}

void TestLayoutEngine::pageFooterSitsAtTheBottom()
{
    SmallReport report;
    report.pageFooter().setHeight(400);
    report.pageFooter().add(
        Control::label(QStringLiteral("foot"), QRect(0, 0, 1000, 200), QStringLiteral("fine")));
    const int height = 300 + 200 + 200 + 2 * 250 + 400;
    QList<std::tuple<QString, QString, int>> rows;
    for (int i = 0; i < 5; ++i) {
        rows.append({"x", "1", i});
    }
    const auto document = report.layout(records(rows), frame(height));
    QVERIFY(document.pages.size() >= 2);
    for (const auto& page : document.pages) {
        const PlacedBand& last = page.bands.back();
        QCOMPARE(last.name, QStringLiteral("PageFooter"));
        QCOMPARE(last.top, height - 400);
        QCOMPARE(last.item(QStringLiteral("foot"))->rect.top(), height - 400);
        for (size_t i = 0; i + 1 < page.bands.size(); ++i) {
            QVERIFY(page.bands[i].top + page.bands[i].height <= height - 400);
        }
    }
}

void TestLayoutEngine::amountsAndDatesUseTheirFormats_data()
{
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    const QString incomes = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
    const QString balance = QStringLiteral("#,##0.00;#,##0.00;0.00;0.00");
    QTest::newRow("income") << Value(Currency::fromRaw(12345000)) << incomes << "1.234,50 ";
    QTest::newRow("zero income is blank") << Value(Currency()) << incomes << " ";
    QTest::newRow("missing income is blank") << Value(std::monostate{}) << incomes << " ";
    QTest::newRow("negative balance shows its size")
        << Value(Currency::fromUnits(-1500)) << balance << "1.500,00";
    QTest::newRow("missing balance is zero") << Value(std::monostate{}) << balance << "0,00";
    QTest::newRow("date by default") << Value(QDate(2010, 3, 7)) << QString() << "07/03/2010";
    QTest::newRow("date with a pattern") << Value(QDate(2010, 3, 7)) << "mmmm yyyy"
                                         << "marzo 2010";
    QTest::newRow("text as it is") << Value(QStringLiteral("Cassa")) << incomes << "Cassa";
    QTest::newRow("missing text") << Value(std::monostate{}) << QString() << "";
}

void TestLayoutEngine::amountsAndDatesUseTheirFormats()
{
    QFETCH(Value, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    Control control = Control::field(QStringLiteral("f"), QRect(), QStringLiteral("v"));
    control.outputFormat = format;
    control.value = value;
    QCOMPARE(control.formattedValue(), expected);
}

MOVILIBRO_REGISTER_TEST(TestLayoutEngine);

#include "test_layoutengine.moc"
