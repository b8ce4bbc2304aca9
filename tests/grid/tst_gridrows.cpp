#include "tst_gridrows.h"

#include "journalfixture.h"

#include <QTest>

#include <limits>
#include <stdexcept>

using namespace movilibro;
using namespace movilibro::grid;
using namespace movilibro::grid::test;

namespace {

struct Journal
{
    GridData data;
    GridRows rows{data};

    explicit Journal(int layout, const QList<Entry>& entries = threeEntries())
    {
        fillJournal(data, entries);
        addJournalGroups(rows, layout);
        rows.rebuild();
    }
};

// One Text column to group on, one Id column to tell rows apart.
struct Simple
{
    GridData data;
    GridRows rows{data};

    Simple(ColumnType type, int count)
    {
        data.setColumnCount(2);
        data.setColumnType(1, type);
        data.setColumnType(2, ColumnType::Id);
        data.setRowCount(count);
        for (int k = 1; k <= count; ++k)
            data.setId(2, k, k);
    }

    QStringList captions() const
    {
        QStringList out;
        for (int p = 1; p <= rows.displayRowCount(); ++p) {
            if (rows.rowType(p) == RowType::GroupHeader)
                out << rows.caption(p);
        }
        return out;
    }

    QList<qint64> entryIds() const
    {
        QList<qint64> out;
        for (int p = 1; p <= rows.displayRowCount(); ++p) {
            if (rows.rowType(p) == RowType::Entry)
                out << data.id(2, rows.dataIndex(p));
        }
        return out;
    }
};

} // namespace

void TestGridRows::journalLayouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("0 no grouping") << 0 << QStringList{"H1:", "E1:C", "E1:B", "E1:A", "T1"};
    QTest::newRow("1 by period") << 1 << QStringList{"H1:", "H2:201003", "E2:C", "E2:B", "E2:A", "T2", "T1"};
    QTest::newRow("2 by account") << 2 << QStringList{"H1:",  "H2:banca", "E2:B", "T2", "H2:Cassa",
                                                      "E2:C", "E2:A",     "T2",   "T1"};
    QTest::newRow("3 period then account")
        << 3 << QStringList{"H1:",  "H2:201003", "H3:banca", "E3:B", "T3", "H3:Cassa",
                            "E3:C", "E3:A",      "T3",       "T2",   "T1"};
    QTest::newRow("4 account then period")
        << 4 << QStringList{"H1:",       "H2:banca", "H3:201003", "E3:B", "T3", "T2", "H2:Cassa",
                            "H3:201003", "E3:C",     "E3:A",      "T3",   "T2", "T1"};
}

void TestGridRows::journalLayouts()
{
    QFETCH(int, layout);
    QFETCH(QStringList, tokens);
    Journal journal(layout);
    QCOMPARE(rowTokens(journal.rows, journal.data), tokens);
    QCOMPARE(journal.rows.displayRowCount(), tokens.size());
    for (int p = 1; p <= journal.rows.displayRowCount(); ++p) {
        const bool entry = journal.rows.rowType(p) == RowType::Entry;
        QCOMPARE(journal.rows.dataIndex(p) > 0, entry);
        QCOMPARE(journal.rows.groupColumnOf(p) > 0, !entry);
    }
    QCOMPARE(journal.rows.groupColumnOf(1), int(Icon));
}

void TestGridRows::groupSums_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("column");
    QTest::addColumn<qint64>("units");
    QTest::newRow("all-entries header, in") << 0 << 1 << int(MoneyIn) << qint64(110);
    QTest::newRow("all-entries header, out") << 0 << 1 << int(MoneyOut) << qint64(30);
    QTest::newRow("all-entries total, in") << 0 << 5 << int(MoneyIn) << qint64(110);
    QTest::newRow("banca header, in (all empty)") << 2 << 2 << int(MoneyIn) << qint64(0);
    QTest::newRow("banca total, out") << 2 << 4 << int(MoneyOut) << qint64(30);
    QTest::newRow("Cassa header, in") << 2 << 5 << int(MoneyIn) << qint64(110);
    QTest::newRow("Cassa total, out (all empty)") << 2 << 8 << int(MoneyOut) << qint64(0);
    QTest::newRow("period in account banca, out") << 4 << 3 << int(MoneyOut) << qint64(30);
    QTest::newRow("period in account Cassa, in") << 4 << 11 << int(MoneyIn) << qint64(110);
}

void TestGridRows::groupSums()
{
    QFETCH(int, layout);
    QFETCH(int, position);
    QFETCH(int, column);
    QFETCH(qint64, units);
    Journal journal(layout);
    QCOMPARE(journal.rows.groupSum(position, column), Currency::fromUnits(units));
}

void TestGridRows::treeLinksAgree_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 0; layout <= 4; ++layout)
        QTest::addRow("layout %d", layout) << layout;
}

// Every row is the child its parent names, and the parents' child counts add
// up to all rows.
void TestGridRows::treeLinksAgree()
{
    QFETCH(int, layout);
    Journal journal(layout);
    const GridRows& rows = journal.rows;
    int children = rows.childCount(0);
    for (int p = 1; p <= rows.displayRowCount(); ++p) {
        QCOMPARE(rows.childAt(rows.parentOf(p), rows.rowInParent(p)), p);
        children += rows.childCount(p);
        if (rows.rowType(p) == RowType::GroupTotal) {
            const int header = rows.parentOf(p);
            QCOMPARE(rows.rowType(header), RowType::GroupHeader);
            QCOMPARE(rows.level(header), rows.level(p));
            QCOMPARE(rows.rowInParent(p), rows.childCount(header) - 1);
        }
    }
    QCOMPARE(children, rows.displayRowCount());
    QCOMPARE(rows.childAt(0, rows.childCount(0)), -1);
}

void TestGridRows::progressiveBalance_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<qint64>>("balancesCBA");
    QTest::newRow("one group") << 0 << QList<qint64>{80, 70, 100};
    QTest::newRow("by account") << 2 << QList<qint64>{110, -30, 100};
}

void TestGridRows::progressiveBalance()
{
    QFETCH(int, layout);
    QFETCH(QList<qint64>, balancesCBA);
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), layout);
    const QList<int> dataRowsCBA{3, 2, 1};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(grid.data().currency(Balance, dataRowsCBA[i]), Currency::fromUnits(balancesCBA[i]));
}

void TestGridRows::textGroupsFollowItalianCollation()
{
    const QStringList values{"zeta", "Banca", "area", "banca", "Àrea", "ciao", "Zeta"};
    Simple s(ColumnType::Text, int(values.size()));
    for (int k = 1; k <= values.size(); ++k)
        s.data.setText(1, k, values[k - 1]);
    s.rows.addGroup(1);
    s.rows.rebuild();
    QCOMPARE(s.captions(), (QStringList{"area", "Àrea", "Banca", "ciao", "zeta"}));
    QCOMPARE(s.entryIds(), (QList<qint64>{3, 5, 2, 4, 6, 1, 7}));
}

void TestGridRows::emptyValuesGroupFirst_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<qint64>>("ids");
    QTest::newRow("currency") << int(ColumnType::Currency) << QStringList{"", "-5,00", "3,00"}
                              << QList<qint64>{1, 4, 2, 3};
    QTest::newRow("date") << int(ColumnType::Date) << QStringList{"", "01/02/2009", "03/01/2010"}
                          << QList<qint64>{1, 4, 2, 3};
}

void TestGridRows::emptyValuesGroupFirst()
{
    QFETCH(int, type);
    QFETCH(QStringList, captions);
    QFETCH(QList<qint64>, ids);
    Simple s(ColumnType(type), 4);
    if (ColumnType(type) == ColumnType::Currency) {
        s.data.setCurrency(1, 2, Currency::fromUnits(-5));
        s.data.setCurrency(1, 3, Currency::fromUnits(3));
    } else {
        s.data.setDate(1, 2, QDate(2009, 2, 1));
        s.data.setDate(1, 3, QDate(2010, 1, 3));
    }
    s.rows.addGroup(1);
    s.rows.rebuild();
    QCOMPARE(s.captions(), captions);
    QCOMPARE(s.entryIds(), ids);
}

void TestGridRows::descendingGroups()
{
    Simple s(ColumnType::Id, 4);
    s.rows.addGroup(2, false);
    s.rows.rebuild();
    QCOMPARE(s.captions(), (QStringList{"4", "3", "2", "1"}));
}

void TestGridRows::sortKeysWithWideRanges_data()
{
    QTest::addColumn<qint64>("low");
    QTest::addColumn<qint64>("high");
    QTest::newRow("packed into one word") << qint64(-3) << qint64(1000);
    QTest::newRow("too wide to pack")
        << std::numeric_limits<qint64>::min() << std::numeric_limits<qint64>::max();
}

// Same order whichever way the keys are compared.
void TestGridRows::sortKeysWithWideRanges()
{
    QFETCH(qint64, low);
    QFETCH(qint64, high);
    GridData data;
    data.setColumnCount(3);
    data.setColumnType(1, ColumnType::Id);
    data.setColumnType(2, ColumnType::Currency);
    data.setColumnType(3, ColumnType::Id);
    const QList<qint64> firsts{high, low, high, 0, low};
    const QList<std::optional<qint64>> seconds{std::nullopt, 5, 5, std::nullopt, high};
    data.setRowCount(int(firsts.size()));
    for (int k = 1; k <= firsts.size(); ++k) {
        data.setId(1, k, firsts[k - 1]);
        if (seconds[k - 1])
            data.setCurrency(2, k, Currency::fromRaw(*seconds[k - 1]));
        data.setId(3, k, k);
    }
    GridRows rows(data);
    rows.addSortKey(1, true);
    rows.addSortKey(2, false);
    rows.rebuild();
    QList<qint64> order;
    for (int p = 1; p <= rows.displayRowCount(); ++p)
        order << data.id(3, rows.dataIndex(p));
    QCOMPARE(order, (QList<qint64>{1, 3, 4, 2, 5}));
}

void TestGridRows::headerAndTotalValues()
{
    Journal journal(2);
    QCOMPARE(journal.rows.value(2, Account).toString(), QString("banca"));
    QCOMPARE(journal.rows.value(2, Icon).toString(), QString());
    QVERIFY(!journal.rows.value(2, Description).isValid());
    QCOMPARE(journal.rows.value(8, MoneyIn).value<Currency>(), Currency::fromUnits(110));
    QVERIFY(!journal.rows.value(8, Account).isValid());
    QCOMPARE(journal.rows.value(3, EntryId).toLongLong(), 7);
}

void TestGridRows::captionsCanBeWritten()
{
    Journal journal(1);
    journal.rows.setCaption(2, "marzo 2010");
    QCOMPARE(journal.rows.caption(2), QString("marzo 2010"));
    QCOMPARE(journal.rows.caption(6), QString("marzo 2010"));
    journal.rows.rebuild();
    QCOMPARE(journal.rows.caption(2), QString("201003"));
}

void TestGridRows::noGroupsGivesEntriesOnly()
{
    Simple s(ColumnType::Text, 3);
    s.rows.addSortKey(2, true);
    s.rows.rebuild();
    QCOMPARE(s.rows.displayRowCount(), 3);
    QCOMPARE(s.entryIds(), (QList<qint64>{3, 2, 1}));
    QCOMPARE(s.rows.level(1), 0);
    QCOMPARE(s.rows.parentOf(2), 0);
    QCOMPARE(s.rows.childCount(0), 3);
}

void TestGridRows::noRowsGivesNoGroups()
{
    Journal journal(3, {});
    QCOMPARE(journal.rows.displayRowCount(), 0);
    QCOMPARE(journal.rows.childCount(0), 0);
}

void TestGridRows::overflowingSumThrows()
{
    QList<Entry> entries = threeEntries();
    entries[0].moneyIn = Currency::fromRaw(std::numeric_limits<qint64>::max());
    Journal journal(0, entries);
    QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, journal.rows.groupSum(1, MoneyIn));
    QCOMPARE(journal.rows.groupSum(1, MoneyOut), Currency::fromUnits(30));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, journal.rows.groupSum(1, Account));
}

void TestGridRows::badColumnKeepsPreviousLayout()
{
    Journal journal(1);
    journal.rows.addGroup(12);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, journal.rows.rebuild());
    QCOMPARE(journal.rows.displayRowCount(), 7);
    QCOMPARE(journal.rows.caption(2), QString("201003"));
}

void TestGridRows::shrunkDataReadsEmpty()
{
    Journal journal(0);
    journal.data.setRowCount(1);
    QVERIFY(!journal.rows.value(2, Description).isValid());
    QCOMPARE(journal.rows.value(4, Description).toString(), QString("A"));
    QCOMPARE(journal.rows.groupSum(1, MoneyIn), Currency::fromUnits(100));
}

void TestGridRows::positionsOutOfRangeThrow()
{
    Journal journal(0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, journal.rows.rowType(0));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, journal.rows.caption(6));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, journal.rows.groupColumn(2));
}
