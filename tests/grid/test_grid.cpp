#include "testsupport.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/querygrid.h"
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
using journal::ColumnType;
using journal::RowType;
using test::money;
namespace C = journal::JournalColumn;

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

    // The model follows the core through every layout and back to no rows.
    void modelFollowsTheLayouts()
    {
        JournalView view(0);
        QAbstractItemModelTester tester(view.gex.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int layout : {1, 2, 3, 4, 0}) {
            view.grid.arrange(layout);
            QCOMPARE(view.gex.displayRowCount(), view.grid.rows().rowCount());
            view.gex.collapseAll();
            view.gex.expandAll();
        }
        view.grid.clear();
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
        QCOMPARE(view.shown(1, 0), QStringLiteral("Movilibro  [Saldo: fuori scala]"));
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

    // A grid bound to a query: the accounts of a journal, as the accounts pane shows them.
    void boundGridLoadsTheQueryInItsOrder()
    {
        QTemporaryDir dir;
        const test::Journal journal(dir.path());
        const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
        journal.addAccount(QStringLiteral("banca"));
        journal.addAccount(QStringLiteral("Azienda"));
        QueryGrid gex;
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
        view.grid.clear();
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
