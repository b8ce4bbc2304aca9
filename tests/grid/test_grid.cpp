#include "testsupport.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <limits>
#include <stdexcept>

using namespace movilibro;
using namespace movilibro::grid;
using test::money;
namespace C = JournalColumn;

namespace {

// The worked example: A 01/03/2010 in 100 (Cassa); B 05/03/2010 out 30
// (banca); C 05/03/2010 in 10 (Cassa), entered after B.
struct JournalView
{
    QTemporaryDir dir;
    test::Journal journal{dir.path()};
    GroupedGrid gex;
    JournalGrid grid{gex};

    explicit JournalView(int layout, qint64 firstIn = money(100), int kind = 0)
    {
        const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
        const qint64 banca = journal.addAccount(QStringLiteral("banca"));
        journal.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("A"), firstIn, std::nullopt);
        journal.addEntry(QDate(2010, 3, 5), banca, QStringLiteral("B"), std::nullopt, money(30));
        journal.addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("C"), money(10), std::nullopt);
        grid.setUp();
        grid.load(journal.connString(), kind, {QDate(2010, 3, 1), QDate(2010, 3, 31)});
        grid.arrange(layout);
        gex.setCurrentRow(1);
    }

    QString shown(int p, int col) const { return gex.model()->indexOf(p, col).data().toString(); }

    // Rows as "H<level>:<caption>", "E<level>:<description>:<balance>", "T<level>".
    QStringList rows() const
    {
        QStringList out;
        for (int p = 1; p <= gex.displayRowCount(); ++p) {
            const QString level = QString::number(gex.level(p));
            if (gex.rowType(p) == RowType::GroupHeader) {
                out << "H" + level + ":" + gex.caption(p);
            } else if (gex.rowType(p) == RowType::GroupTotal) {
                out << "T" + level;
            } else {
                const int k = gex.dataIndex(p);
                out << "E" + level + ":" + gex.data().text(C::Descrizione, k) + ":" +
                           QString::number(gex.data().currency(C::Saldo, k)->raw() / 10000);
            }
        }
        return out;
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

const QString AccountsQuery = QStringLiteral("SELECT * FROM Conti ORDER BY cntNome");

QStringList names(const GroupedGrid& gex)
{
    QStringList out;
    for (int p = 1; p <= gex.displayRowCount(); ++p)
        out << gex.value(p, 2).toString();
    return out;
}

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::pinItalianLocale(); }

    // Newest first; each entry's balance runs from its innermost group's oldest entry.
    void journalLayouts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("rows");
        QTest::newRow("0 no grouping") << 0 << "H1: E1:C:80 E1:B:70 E1:A:100 T1";
        QTest::newRow("1 by period") << 1 << "H1: H2:201003 E2:C:80 E2:B:70 E2:A:100 T2 T1";
        QTest::newRow("2 by account") << 2 << "H1: H2:banca E2:B:-30 T2 H2:Cassa E2:C:110 E2:A:100 T2 T1";
        QTest::newRow("3 period then account")
            << 3 << "H1: H2:201003 H3:banca E3:B:-30 T3 H3:Cassa E3:C:110 E3:A:100 T3 T2 T1";
        QTest::newRow("4 account then period")
            << 4 << "H1: H2:banca H3:201003 E3:B:-30 T3 T2 H2:Cassa H3:201003 E3:C:110 E3:A:100 T3 T2 T1";
    }
    void journalLayouts()
    {
        QFETCH(int, layout);
        QFETCH(QString, rows);
        JournalView view(layout);
        QAbstractItemModelTester tester(view.gex.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(view.rows().join(u' '), rows);
        QCOMPARE(view.gex.groupSum(1, C::Entrate), Currency::fromUnits(110));
        QCOMPARE(view.gex.groupSum(1, C::Uscite), Currency::fromUnits(30));
        QCOMPARE(view.shown(1, 0), QStringLiteral("Movilibro  [Saldo: 80,00]"));
        // Every row is the child its parent names; every total closes its header.
        const GridRows& r = view.gex.rows();
        int children = r.childCount(0);
        for (int p = 1; p <= r.displayRowCount(); ++p) {
            QCOMPARE(r.childAt(r.parentOf(p), r.rowInParent(p)), p);
            children += r.childCount(p);
            if (r.rowType(p) == RowType::GroupTotal)
                QCOMPARE(r.rowInParent(p), r.childCount(r.parentOf(p)) - 1);
        }
        QCOMPARE(children, r.displayRowCount());
        view.gex.collapseAll();
        view.gex.expandAll();
        view.grid.arrange((layout + 1) % 5);
        view.gex.setRowCount(0);
        QCOMPARE(view.gex.model()->rowCount(), 0);
    }

    void cellTexts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("entry date") << 0 << 2 << int(C::Data) << "05/03/2010";
        QTest::newRow("entry money in") << 0 << 2 << int(C::Entrate) << "10,00 ";
        QTest::newRow("empty money out") << 0 << 2 << int(C::Uscite) << " ";
        QTest::newRow("balance") << 0 << 2 << int(C::Saldo) << "80,00 ";
        QTest::newRow("negative balance has no sign") << 2 << 3 << int(C::Saldo) << "30,00 ";
        QTest::newRow("account caption") << 2 << 2 << 0 << "banca";
        QTest::newRow("period caption") << 1 << 2 << 0 << "marzo 2010";
        QTest::newRow("header shows no entry cells") << 2 << 2 << int(C::Conto) << "";
        QTest::newRow("total money in") << 0 << 5 << int(C::Entrate) << "110,00 ";
        QTest::newRow("zero total is blank") << 2 << 4 << int(C::Entrate) << " ";
        QTest::newRow("no total of balances") << 0 << 5 << int(C::Saldo) << "";
    }
    void cellTexts()
    {
        QFETCH(int, layout);
        QFETCH(int, position);
        QFETCH(int, column);
        QFETCH(QString, text);
        JournalView view(layout);
        QCOMPARE(view.shown(position, column), text);
    }

    void overflowingTotalIsMarked()
    {
        JournalView view(0, std::numeric_limits<qint64>::max());
        QCOMPARE(view.shown(5, C::Entrate), GridModel::overflowText());
        QVERIFY(!view.gex.model()->indexOf(5, C::Entrate).data(Qt::ToolTipRole).toString().isEmpty());
        QCOMPARE(view.shown(5, C::Uscite), QStringLiteral("30,00 "));
        QVERIFY(view.shown(1, 0).startsWith(QStringLiteral("Movilibro  [Saldo: ")));
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, view.gex.groupSum(1, C::Entrate));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, view.gex.groupSum(1, C::Conto));
    }

    // Asked once per row between two refreshes, however often the row is drawn.
    void rowFormatIsAskedOncePerRefresh()
    {
        JournalView view(0);
        QList<int> asked;
        view.gex.setRowFormatHook([&](RowFormat& row) { asked << row.position(); });
        const QModelIndex cell = view.gex.model()->indexOf(3, C::Saldo);
        cell.data(Qt::ForegroundRole);
        cell.data(Qt::BackgroundRole);
        QCOMPARE(asked.count(3), 1);
        view.gex.refreshRows();
        cell.data(Qt::BackgroundRole);
        QCOMPARE(asked.count(3), 2);
    }

    void failingRowFormatLeavesRowPlain()
    {
        JournalView view(1);
        view.gex.setRowFormatHook([](RowFormat& row) {
            row.setCaption("half done");
            throw std::runtime_error("hook failed");
        });
        QCOMPARE(view.shown(2, 0), QStringLiteral("201003"));
    }

    void textGroupsFollowItalianCollation()
    {
        const QStringList values{"zeta", "Banca", "area", "banca", "Àrea", "ciao", "Zeta"};
        Simple s(ColumnType::Text, int(values.size()));
        for (int k = 1; k <= values.size(); ++k)
            s.data.setText(1, k, values[k - 1]);
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
    }

    // A grid bound to a query: the accounts of a journal, as the accounts pane shows them.
    void boundGridLoadsTheQueryInItsOrder()
    {
        QTemporaryDir dir;
        const test::Journal journal(dir.path());
        const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
        journal.addAccount(QStringLiteral("banca"));
        journal.addAccount(QStringLiteral("Azienda"));
        GroupedGrid gex;
        QAbstractItemModelTester tester(gex.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        gex.setConnectionString(journal.connString());
        gex.setRecordSource(AccountsQuery);
        QVERIFY2(gex.refresh(true), qPrintable(gex.lastError()));
        QCOMPARE(names(gex), (QStringList{"Azienda", "banca", "Cassa"}));
        QCOMPARE(gex.data().columnType(gex.columnIndex("cntId")), ColumnType::Id);
        QCOMPARE(gex.currentRow(), 1);
        gex.setCurrentRow(3);
        QCOMPARE(gex.currentValue(1).toLongLong(), cassa);
        QVERIFY(gex.refresh(false));
        QCOMPARE(gex.currentValue(1).toLongLong(), cassa);
        // A query that fails leaves the grid empty, never showing stale rows.
        gex.setRecordSource(QStringLiteral("SELECT * FROM Nessuna"));
        QVERIFY(!gex.refresh(true));
        QVERIFY(!gex.lastError().isEmpty());
        QCOMPARE(gex.displayRowCount(), 0);
        QCOMPARE(gex.currentRow(), 0);
    }

    void collapseAndExpand()
    {
        JournalView view(3);
        const auto expanded = [&](int p) {
            return view.gex.view()->isExpanded(view.gex.model()->indexOf(p));
        };
        for (int p : {1, 2, 3, 6}) {
            QVERIFY(expanded(p));
            QVERIFY(view.gex.view()->isFirstColumnSpanned(view.gex.model()->indexOf(p).row(),
                                                          view.gex.model()->indexOf(p).parent()));
        }
        QVERIFY(!view.gex.view()->isFirstColumnSpanned(view.gex.model()->indexOf(4).row(),
                                                       view.gex.model()->indexOf(4).parent()));
        view.gex.setCurrentRow(7);
        view.gex.view()->collapse(view.gex.model()->indexOf(6));
        QCOMPARE(view.gex.currentRow(), 6);
        view.gex.setCurrentRow(8);
        QVERIFY(expanded(6));
        view.gex.collapseAll();
        for (int p : {1, 2, 3, 6})
            QVERIFY(!expanded(p));
        QCOMPARE(view.gex.currentRow(), 1);
    }

    void currentRowAndNavigator()
    {
        JournalView view(0);
        QSignalSpy changed(&view.gex, &GroupedGrid::currentRowChanged);
        auto* navigator = view.gex.findChild<QLabel*>("navigator");
        QVERIFY(navigator);
        QTest::keyClick(view.gex.view(), Qt::Key_Down);
        QCOMPARE(view.gex.currentRow(), 2);
        QCOMPARE(navigator->text(), QString("riga:2/5"));
        QCOMPARE(changed.last().at(0).toInt(), 2);
        QCOMPARE(view.gex.currentValue(C::Descrizione).toString(), QString("C"));
        view.gex.setCurrentRow(0);
        QVERIFY(!view.gex.currentValue(C::Id).isValid());
        view.gex.setRowCount(0);
        QCOMPARE(view.gex.displayRowCount(), 0);
        QCOMPARE(view.gex.currentRow(), 0);
        QCOMPARE(navigator->text(), QString("riga:0/0"));
    }

    void doubleClickOnARow()
    {
        JournalView view(0);
        view.gex.resize(900, 300);
        view.gex.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view.gex));
        QSignalSpy spy(&view.gex, &GroupedGrid::doubleClicked);
        const QPoint centre =
            view.gex.view()->visualRect(view.gex.model()->indexOf(3, C::Descrizione)).center();
        QTest::mouseClick(view.gex.view()->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseDClick(view.gex.view()->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(view.gex.currentValue(C::Descrizione).toString(), QString("B"));
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
