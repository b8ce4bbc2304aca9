#include "journal/journalrows.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <stdexcept>

using namespace movilibro;
using namespace movilibro::journal;
using test::money;
namespace C = JournalColumn;

namespace {

// The worked example: A 01/03/2010 in 100 (Cassa); B 05/03/2010 out 30
// (banca); C 05/03/2010 in 10 (Cassa), entered after B.
struct Example
{
    QTemporaryDir dir;
    test::Journal journal{dir.path()};
    JournalRows rows;

    explicit Example(qint64 firstIn = money(100))
    {
        const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
        const qint64 banca = journal.addAccount(QStringLiteral("banca"));
        journal.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("A"), firstIn, std::nullopt);
        journal.addEntry(QDate(2010, 3, 5), banca, QStringLiteral("B"), std::nullopt, money(30));
        journal.addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("C"), money(10), std::nullopt);
    }

    void show(int layout, const QString& filter = {})
    {
        rows.setFilter({filter});
        QCOMPARE(rows.load(journal.connString(), 0, {QDate(2010, 3, 1), QDate(2010, 3, 31)}), 3);
        rows.arrange(layout);
    }

    // Rows as "H<level>:<caption>", "E<level>:<description>:<balance>", "T<level>".
    QString shape() const
    {
        QStringList out;
        for (int p = 1; p <= rows.rowCount(); ++p) {
            const QString level = QString::number(rows.level(p));
            if (rows.rowType(p) == RowType::GroupHeader) {
                out << "H" + level + ":" + rows.caption(p);
            } else if (rows.rowType(p) == RowType::GroupTotal) {
                out << "T" + level;
            } else {
                const Entry entry = rows.entry(rows.dataIndex(p));
                out << "E" + level + ":" + entry.description + ":" +
                           QString::number(entry.balance.raw() / 10000);
            }
        }
        return out.join(u' ');
    }
};

// One column to group or sort on, one Id column to tell rows apart.
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

    // "[caption]" for each group header, the id of each entry.
    QString shape() const
    {
        QStringList out;
        for (int p = 1; p <= rows.displayRowCount(); ++p) {
            if (rows.rowType(p) == RowType::GroupHeader)
                out << "[" + rows.caption(p) + "]";
            else if (rows.rowType(p) == RowType::Entry)
                out << QString::number(data.id(2, rows.dataIndex(p)));
        }
        return out.join(u' ');
    }
};

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::pinItalianLocale(); }

    // Newest first; each entry's balance runs from its innermost group's oldest
    // entry; the filter narrows entries, sums and balances alike.
    void layouts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("rows");
        const QString all = QStringLiteral("H1:Movilibro  [Saldo: 80,00] ");
        QTest::newRow("0 no grouping") << 0 << "" << all + "E1:C:80 E1:B:70 E1:A:100 T1";
        QTest::newRow("1 by period") << 1 << "" << all + "H2:marzo 2010 E2:C:80 E2:B:70 E2:A:100 T2 T1";
        QTest::newRow("2 by account")
            << 2 << "" << all + "H2:banca E2:B:-30 T2 H2:Cassa E2:C:110 E2:A:100 T2 T1";
        QTest::newRow("3 period then account")
            << 3 << "" << all + "H2:marzo 2010 H3:banca E3:B:-30 T3 H3:Cassa E3:C:110 E3:A:100 T3 T2 T1";
        QTest::newRow("4 account then period")
            << 4 << ""
            << all +
                   "H2:banca H3:marzo 2010 E3:B:-30 T3 T2 H2:Cassa H3:marzo 2010 E3:C:110 E3:A:100 T3 T2 T1";
        QTest::newRow("2 filtered by account")
            << 2 << "cassa"
            << "H1:Movilibro  [Filtro: cassa · 2 registrazioni · Entrate 110,00 · "
               "Uscite 0,00 · Saldo 110,00] H2:Cassa "
               "E2:C:110 E2:A:100 T2 T1";
        QTest::newRow("0 filter matching none") << 0 << "nessuna"
                                                << "";
    }
    void layouts()
    {
        QFETCH(int, layout);
        QFETCH(QString, filter);
        QFETCH(QString, rows);
        Example example;
        example.show(layout, filter);
        QCOMPARE(example.shape(), rows);
        QCOMPARE(example.rows.shownEntries(), int(rows.count(QRegularExpression("E\\d:"))));
        // Every row is the child its parent names; every total closes its header.
        const GridRows& r = example.rows.rows();
        int children = r.childCount(0);
        for (int p = 1; p <= r.displayRowCount(); ++p) {
            QCOMPARE(r.childAt(r.parentOf(p), r.rowInParent(p)), p);
            children += r.childCount(p);
            if (r.rowType(p) == RowType::GroupTotal)
                QCOMPARE(r.rowInParent(p), r.childCount(r.parentOf(p)) - 1);
        }
        QCOMPARE(children, r.displayRowCount());
    }

    // What the later views read: entries by position, group sums, the filter lifted again.
    void entriesAndSums()
    {
        Example example;
        example.show(2, QStringLiteral("cassa"));
        example.rows.setFilter({});
        QCOMPARE(example.rows.shownEntries(), 3);
        QCOMPARE(example.rows.rowCount(), 9);
        QCOMPARE(example.rows.groupSum(1, C::Entrate), Currency::fromUnits(110));
        QCOMPARE(example.rows.groupSum(2, C::Uscite), Currency::fromUnits(30));
        QCOMPARE(example.rows.entryId(1), 0);
        QCOMPARE(example.rows.entryId(3), 2); // B, the second entry written
        const Entry b = example.rows.entry(example.rows.dataIndex(3));
        QCOMPARE(b.date, QDate(2010, 3, 5));
        QCOMPARE(b.period, QStringLiteral("201003"));
        QCOMPARE(b.account, QStringLiteral("banca"));
        QVERIFY(!b.incomes);
        QCOMPARE(*b.outgoings, Currency::fromUnits(30));
        QCOMPARE(example.rows.caption(3), QString());
        example.rows.clear();
        QCOMPARE(example.rows.rowCount(), 0);
        QCOMPARE(example.rows.entryCount(), 0);
    }

    void overflowingSumsAreCaptioned()
    {
        Example example(std::numeric_limits<qint64>::max());
        example.show(0);
        QCOMPARE(example.rows.caption(1), QStringLiteral("Movilibro  [Saldo: fuori scala]"));
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, example.rows.groupSum(1, C::Entrate));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, example.rows.groupSum(1, C::Conto));
    }

    // The same groups whether each row holds its text or the number of a pooled one.
    void textGroupsFollowItalianCollation_data()
    {
        QTest::addColumn<bool>("pooled");
        QTest::newRow("a text per row") << false;
        QTest::newRow("pooled texts") << true;
    }
    void textGroupsFollowItalianCollation()
    {
        QFETCH(bool, pooled);
        const QStringList values{"zeta", "Banca", "area", "banca", "Àrea", "ciao", "Zeta"};
        Simple s(ColumnType::Text, int(values.size()));
        if (pooled)
            s.data.setTextPooled(1);
        for (int k = 1; k <= values.size(); ++k)
            s.data.setText(1, k, values[k - 1]);
        QCOMPARE(s.data.text(1, 5), QStringLiteral("Àrea"));
        s.rows.addGroup(1);
        s.rows.rebuild();
        QCOMPARE(s.shape(), QStringLiteral("[area] 3 [Àrea] 5 [Banca] 2 4 [ciao] 6 [zeta] 1 7"));
    }

    void emptyValuesGroupFirst()
    {
        Simple s(ColumnType::Date, 4);
        s.data.setDate(1, 2, QDate(2010, 1, 3));
        s.data.setDate(1, 3, QDate(2009, 2, 1));
        s.rows.addGroup(1);
        s.rows.rebuild();
        QCOMPARE(s.shape(), QStringLiteral("[] 1 4 [01/02/2009] 3 [03/01/2010] 2"));
    }

    void sortKeysWithWideRanges_data()
    {
        QTest::addColumn<qint64>("low");
        QTest::addColumn<qint64>("high");
        QTest::newRow("packed into one word") << qint64(-3) << qint64(1000);
        QTest::newRow("too wide to pack")
            << std::numeric_limits<qint64>::min() << std::numeric_limits<qint64>::max();
    }
    // Same order whichever way the keys are compared.
    void sortKeysWithWideRanges()
    {
        QFETCH(qint64, low);
        QFETCH(qint64, high);
        Simple s(ColumnType::Currency, 5);
        s.data.setColumnCount(3);
        s.data.setColumnType(3, ColumnType::Id);
        const QList<qint64> firsts{high, low, high, 0, low};
        const QList<std::optional<qint64>> seconds{std::nullopt, 5, 5, std::nullopt, high};
        for (int k = 1; k <= 5; ++k) {
            s.data.setId(3, k, firsts[k - 1]);
            if (seconds[k - 1])
                s.data.setCurrency(1, k, Currency::fromRaw(*seconds[k - 1]));
        }
        s.rows.addSortKey(3, true);
        s.rows.addSortKey(1, false);
        s.rows.rebuild();
        QCOMPARE(s.shape(), QStringLiteral("1 3 4 2 5"));
        QCOMPARE(s.rows.level(1), 0);
        QCOMPARE(s.rows.childCount(0), 5);
    }

    void badUseKeepsTheRows()
    {
        Simple s(ColumnType::Text, 3);
        s.rows.addGroup(2, false);
        s.rows.rebuild();
        QCOMPARE(s.shape(), QStringLiteral("[3] 3 [2] 2 [1] 1"));
        s.rows.addGroup(12);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, s.rows.rebuild());
        QCOMPARE(s.shape(), QStringLiteral("[3] 3 [2] 2 [1] 1"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, s.rows.rowType(0));
        s.data.setRowCount(1); // shrunk under the rows: reads empty, never past the end
        QVERIFY(!s.rows.value(2, 2).isValid());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, s.data.setDate(1, 1, QDate()));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, s.data.text(1, 2));
        s.data.setColumnType(2, ColumnType::Text);
        QCOMPARE(s.data.text(2, 1), QString());
        s.data.setTextPooled(2);
        QCOMPARE(s.data.text(2, 1), QString());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, s.data.texts(2));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, s.data.setTextId(2, 1, 1));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, s.data.textId(1, QStringLiteral("a")));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "test_journal.moc"
