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
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("account");
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<bool>("expected");
        const int all = int(Direction::All);
        QTest::newRow("accent not typed") << "citta" << all << "Tassa Città"
                                          << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("capitals, accent") << "CAFFE" << all << "caffè al bar"
                                          << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("accent typed") << "perché" << all << "PERCHE NO"
                                      << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("uppercase accent") << "ecole" << all << "ÉCOLE"
                                          << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("apostrophes") << "dell'acqua" << all << "Bolletta dell’acqua"
                                     << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("substring") << "bollet" << all << "Bolletta luce"
                                   << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("not there") << "gas" << all << "Bolletta luce"
                                   << "Cassa" << 0LL << 0LL << false;
        QTest::newRow("account name") << "banc" << all << "Bolletta"
                                      << "Banca Sella" << 0LL << 0LL << true;
        QTest::newRow("and: both") << "luce marzo" << all << "Luce di marzo"
                                   << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("and: one missing") << "luce aprile" << all << "Luce di marzo"
                                          << "Cassa" << 0LL << 0LL << false;
        QTest::newRow("and: across fields") << "luce banca" << all << "Luce"
                                            << "Banca" << 0LL << 0LL << true;
        QTest::newRow("exclusion hits") << "-luce" << all << "Bolletta luce"
                                        << "Cassa" << 0LL << 0LL << false;
        QTest::newRow("exclusion misses") << "-gas" << all << "Bolletta luce"
                                          << "Cassa" << 0LL << 0LL << true;
        QTest::newRow("word and exclusion") << "bolletta -LUCE" << all << "Bolletta luce"
                                            << "Cassa" << 0LL << 0LL << false;
        QTest::newRow("amount, comma") << "12,50" << all << "x"
                                       << "Cassa" << 0LL << money(12, 50) << true;
        QTest::newRow("amount, full stop") << "12.5" << all << "x"
                                           << "Cassa" << money(12, 50) << 0LL << true;
        QTest::newRow("amount, grouped") << "1.234,56" << all << "x"
                                         << "Cassa" << money(1234, 56) << 0LL << true;
        QTest::newRow("amount differs") << "12,50" << all << "x"
                                        << "Cassa" << money(12, 51) << 0LL << false;
        QTest::newRow("amount as text") << "2010" << all << "Fattura 2010"
                                        << "Cassa" << money(5) << 0LL << true;
        QTest::newRow("excluded amount") << "-30" << all << "x"
                                         << "Cassa" << 0LL << money(30) << false;
        QTest::newRow("above") << ">100" << all << "x"
                               << "Cassa" << money(100, 1) << 0LL << true;
        QTest::newRow("above, not equal") << ">100" << all << "x"
                                          << "Cassa" << money(100) << 0LL << false;
        QTest::newRow("at least") << ">=100" << all << "x"
                                  << "Cassa" << money(100) << 0LL << true;
        QTest::newRow("below, money out") << "<100" << all << "x"
                                          << "Cassa" << 0LL << money(99) << true;
        QTest::newRow("below, no amounts") << "<100" << all << "x"
                                           << "Cassa" << 0LL << 0LL << false;
        QTest::newRow("range, top included") << "100..200" << all << "x"
                                             << "Cassa" << 0LL << money(200) << true;
        QTest::newRow("range, beyond") << "100..200" << all << "x"
                                       << "Cassa" << money(200, 1) << 0LL << false;
        QTest::newRow("range, decimals") << "0,5..1.5" << all << "x"
                                         << "Cassa" << money(1) << 0LL << true;
        QTest::newRow("excluded range") << "-<100" << all << "x"
                                        << "Cassa" << 0LL << money(5) << false;
        QTest::newRow("text and range") << "luce >50" << all << "luce"
                                        << "Cassa" << 0LL << money(40) << false;
        QTest::newRow("only in: in") << "" << int(Direction::Incomes) << "x"
                                     << "Cassa" << money(1) << 0LL << true;
        QTest::newRow("only in: out") << "" << int(Direction::Incomes) << "x"
                                      << "Cassa" << 0LL << money(1) << false;
        QTest::newRow("only out: out") << "x" << int(Direction::Outgoings) << "x"
                                       << "Cassa" << 0LL << money(1) << true;
    }
    void matches()
    {
        QFETCH(QString, text);
        QFETCH(int, direction);
        QFETCH(QString, description);
        QFETCH(QString, account);
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(bool, expected);
        const search::Query query = search::Query::parse({text, Direction(direction)});
        const QString d = search::foldText(description);
        const QString a = search::foldText(account);
        QCOMPARE(query.matches({d, a, in, out}), expected);
    }

    void badRanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bad");
        QTest::newRow("reversed") << "luce 200..100" << true;
        QTest::newRow("reversed, excluded") << "-200..100" << true;
        QTest::newRow("reversed by cents") << "100,01..100" << true;
        QTest::newRow("one amount") << "100..100" << false;
        QTest::newRow("not amounts") << "a..b" << false;
    }
    void badRanges()
    {
        QFETCH(QString, text);
        QFETCH(bool, bad);
        bool thrown = false;
        try {
            search::Query::parse({text});
        } catch (const search::SearchError& e) {
            thrown = !e.message().isEmpty();
        }
        QCOMPARE(thrown, bad);
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"
