// The search's matching rules, entry by entry.
#include "search/searchquery.h"
#include "search/textfold.h"
#include "testsupport.h"

#include <QtTest>

using namespace movilibro;
using search::Direction;
using test::money;

class TestSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::pinItalianLocale(); }

    void matches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("description");
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QString>("account");
        QTest::addColumn<int>("direction");
        const auto add = [](const char* name, const char* text, const char* description, qint64 in,
                            qint64 out, bool expected, const char* account = "Cassa",
                            Direction direction = Direction::All) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(description) << in << out
                                << expected << QString::fromUtf8(account) << int(direction);
        };
        add("accent not typed", "citta", "Tassa Città", 0, 0, true);
        add("capitals, accent", "CAFFE", "caffè al bar", 0, 0, true);
        add("accent typed", "perché", "PERCHE NO", 0, 0, true);
        add("uppercase accent", "ecole", "ÉCOLE", 0, 0, true);
        add("apostrophes", "dell'acqua", "Bolletta dell’acqua", 0, 0, true);
        add("not there", "gas", "Bolletta luce", 0, 0, false);
        add("account name", "banc", "Bolletta", 0, 0, true, "Banca Sella");
        add("and: both", "luce marzo", "Luce di marzo", 0, 0, true);
        add("and: one missing", "luce aprile", "Luce di marzo", 0, 0, false);
        add("and: across fields", "luce banca", "Luce", 0, 0, true, "Banca");
        add("exclusion hits", "-luce", "Bolletta luce", 0, 0, false);
        add("exclusion misses", "-gas", "Bolletta luce", 0, 0, true);
        add("amount, comma", "12,50", "x", 0, money(12, 50), true);
        add("amount, full stop", "12.5", "x", money(12, 50), 0, true);
        add("amount, grouped", "1.234,56", "x", money(1234, 56), 0, true);
        add("amount differs", "12,50", "x", money(12, 51), 0, false);
        add("amount as text", "2010", "Fattura 2010", money(5), 0, true);
        add("excluded amount", "-30", "x", 0, money(30), false);
        add("above", ">100", "x", money(100, 1), 0, true);
        add("above, not equal", ">100", "x", money(100), 0, false);
        add("at least", ">=100", "x", money(100), 0, true);
        add("below, money out", "<100", "x", 0, money(99), true);
        add("below, no amounts", "<100", "x", 0, 0, false);
        add("range, top included", "100..200", "x", 0, money(200), true);
        add("range, beyond", "100..200", "x", money(200, 1), 0, false);
        add("range, bottom included", "100..200", "x", money(100), 0, true);
        add("range, below", "100..200", "x", 0, money(99, 99), false);
        add("at most", "<=100", "x", 0, money(100), true);
        add("at most, beyond", "<=100", "x", money(100, 1), 0, false);
        add("above, blank after the sign", "> 100", "x", money(100, 1), 0, true);
        add("above, blank, not equal", "> 100", "x", money(100), 0, false);
        add("range, blanks", "100 .. 200", "x", 0, money(150), true);
        add("range, blank before the dots", "100 ..200", "x", 0, money(201), false);
        add("range, blank after the dots", "luce 100.. 200", "luce", money(100), 0, true);
        add("range, decimals", "0,5..1.5", "x", money(1), 0, true);
        add("excluded range", "-<100", "x", 0, money(5), false);
        add("text and range", "luce >50", "luce", 0, money(40), false);
        add("only in: in", "", "x", money(1), 0, true, "Cassa", Direction::Incomes);
        add("only in: out", "", "x", 0, money(1), false, "Cassa", Direction::Incomes);
        add("only out: out", "x", "x", 0, money(1), true, "Cassa", Direction::Outgoings);
        add("only out: no amount", "", "x", 0, 0, false, "Cassa", Direction::Outgoings);
        add("only in: no amount", "", "x", 0, 0, false, "Cassa", Direction::Incomes);
    }
    void matches()
    {
        QFETCH(QString, text);
        QFETCH(QString, description);
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(bool, expected);
        QFETCH(QString, account);
        QFETCH(int, direction);
        const search::Query query = search::Query::parse({text, Direction(direction)});
        const QString d = search::foldText(description);
        const QString a = search::foldText(account);
        QCOMPARE(query.matches({d, a, in, out}), expected);
    }

    void reversedRangesAreRefused()
    {
        QVERIFY_THROWS_EXCEPTION(search::SearchError, search::Query::parse({"luce 200..100"}));
        QVERIFY_THROWS_EXCEPTION(search::SearchError, search::Query::parse({"-100,01..100"}));
        QVERIFY_THROWS_EXCEPTION(search::SearchError, search::Query::parse({"200 .. 100"}));
        QVERIFY(!search::Query::parse({"100..100 a..b"}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"
