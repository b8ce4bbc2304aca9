#include "tst_groupedgrid.h"

#include "journalfixture.h"
#include "ui/grid/gridmodel.h"

#include "format/formatengine.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <limits>
#include <memory>
#include <stdexcept>

using namespace movilibro;
using namespace movilibro::grid;
using namespace movilibro::grid::test;

namespace {

QString cell(const GroupedGrid& grid, int p, int col, int role = Qt::DisplayRole)
{
    return grid.model()->indexOf(p, col).data(role).toString();
}

QColor color(const GroupedGrid& grid, int p, int col, int role)
{
    return grid.model()->indexOf(p, col).data(role).value<QColor>();
}

// The main window's row format: red negative balances, the balance of the
// period in the all-entries caption, 380 on group rows.
void journalRowFormat(const GroupedGrid& grid, RowFormat& row)
{
    if (row.type() == RowType::Entry) {
        if (grid.data().currency(Balance, row.dataIndex()).value_or(Currency()).isNegative())
            row.setCellStyle(Balance, "rosso");
        return;
    }
    row.setRowAttribute(380);
    if (row.type() == RowType::GroupHeader && row.groupColumn() == Icon) {
        const Currency saldo = row.groupSum(MoneyIn) - row.groupSum(MoneyOut);
        row.setCaption("Movilibro  [Saldo: " + Format::number(saldo, "#,#0.00;-#,#0.00;0.00 ;0.00") + "]");
    }
}

QList<int> headerPositions(const GroupedGrid& grid)
{
    QList<int> out;
    for (int p = 1; p <= grid.displayRowCount(); ++p) {
        if (grid.rowType(p) == RowType::GroupHeader)
            out << p;
    }
    return out;
}

class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
};

} // namespace

void TestGroupedGrid::modelPassesTester_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 0; layout <= 4; ++layout)
        QTest::addRow("layout %d", layout) << layout;
}

void TestGroupedGrid::modelPassesTester()
{
    QFETCH(int, layout);
    GroupedGrid grid;
    QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    setUpJournalGrid(grid, threeEntries(), layout);
    grid.setRowFormatHook([&](RowFormat& row) { journalRowFormat(grid, row); });
    grid.collapseAll();
    grid.expandAll();
    grid.refreshRows();
    addJournalGroups(grid, (layout + 1) % 5);
    grid.rebuild();
    grid.setRowCount(0);
    QCOMPARE(grid.model()->rowCount(), 0);
}

void TestGroupedGrid::cellTexts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("entry date") << 0 << 2 << int(Date) << "05/03/2010";
    QTest::newRow("entry account") << 0 << 2 << int(Account) << "Cassa";
    QTest::newRow("entry money in") << 0 << 2 << int(MoneyIn) << "10,00 ";
    QTest::newRow("entry empty money out") << 0 << 2 << int(MoneyOut) << " ";
    QTest::newRow("entry balance") << 0 << 2 << int(Balance) << "80,00 ";
    QTest::newRow("negative balance has no sign") << 2 << 3 << int(Balance) << "30,00 ";
    QTest::newRow("header caption") << 2 << 2 << 0 << "banca";
    QTest::newRow("all-entries caption") << 0 << 1 << 0 << "";
    QTest::newRow("header shows no sum") << 0 << 1 << int(MoneyIn) << "";
    QTest::newRow("header shows no entry cells") << 2 << 2 << int(Account) << "";
    QTest::newRow("total money in") << 0 << 5 << int(MoneyIn) << "110,00 ";
    QTest::newRow("total money out") << 0 << 5 << int(MoneyOut) << "30,00 ";
    QTest::newRow("zero total is blank") << 2 << 4 << int(MoneyIn) << " ";
    QTest::newRow("total without total format") << 0 << 5 << int(Balance) << "";
    QTest::newRow("total has no caption") << 0 << 5 << 0 << "";
}

void TestGroupedGrid::cellTexts()
{
    QFETCH(int, layout);
    QFETCH(int, position);
    QFETCH(int, column);
    QFETCH(QString, text);
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), layout);
    QCOMPARE(cell(grid, position, column), text);
}

void TestGroupedGrid::groupHeadersSpanTheRow()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 3);
    for (int p = 1; p <= grid.displayRowCount(); ++p) {
        const QModelIndex index = grid.model()->indexOf(p);
        QCOMPARE(grid.view()->isFirstColumnSpanned(index.row(), index.parent()),
                 grid.rowType(p) == RowType::GroupHeader);
    }
}

void TestGroupedGrid::appearance()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 1);
    QTreeView* view = grid.view();
    QVERIFY(view->uniformRowHeights());
    QVERIFY(!view->header()->sectionsMovable());
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(grid.model()->flags(grid.model()->indexOf(3, Description)) & Qt::ItemIsEditable));
    QVERIFY(view->header()->font().bold());
    QCOMPARE(view->header()->font().pointSizeF(), 6.75);
    QCOMPARE(view->font().pointSizeF(), 8.25);
    QCOMPARE(view->palette().color(QPalette::Base), QColor(252, 252, 252));
    QFont larger("Verdana");
    larger.setPointSize(10);
    grid.setFont(larger);
    QCOMPARE(view->font().pointSize(), 10);
    QCOMPARE(view->header()->font().pointSizeF(), 6.75);
    for (int c : {int(Icon), int(Period), int(EntryId)})
        QVERIFY(view->isColumnHidden(c));
    for (int c = Account; c <= Balance; ++c)
        QVERIFY(!view->isColumnHidden(c));
    QCOMPARE(grid.model()->headerData(Balance, Qt::Horizontal).toString(), QString("Saldo prog.vo"));
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QString());
    QCOMPARE(Qt::Alignment(grid.model()->indexOf(3, MoneyIn).data(Qt::TextAlignmentRole).toInt()),
             Qt::AlignRight | Qt::AlignVCenter);
    // Deeper rows sit further right.
    grid.resize(900, 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QVERIFY(view->visualRect(grid.model()->indexOf(2)).left() >
            view->visualRect(grid.model()->indexOf(1)).left());
}

void TestGroupedGrid::focusGoesToTheView()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 0);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.activateWindow();
    grid.setFocus();
    QTRY_VERIFY(grid.view()->hasFocus());
}

void TestGroupedGrid::columnsByKey()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 0);
    QCOMPARE(grid.columnIndex("mlId"), 9);
    QCOMPARE(grid.columnIndex("mlConto"), 3);
    QCOMPARE(grid.columnIndex("mlNothing"), 0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setColumnCaption(10, "x"));
}

void TestGroupedGrid::namedStylesAreLayered_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("column");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("foreground");
    const QColor none;
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    QTest::newRow("money in column") << 3 << int(MoneyIn) << QColor(241, 255, 232) << none;
    QTest::newRow("money out column") << 3 << int(MoneyOut) << QColor(255, 240, 240) << none;
    QTest::newRow("plain column") << 3 << int(Description) << none << none;
    QTest::newRow("red on a plain column") << 3 << int(Balance) << none << QColor(255, 0, 0);
    QTest::newRow("group header") << 2 << 0 << QColor(252, 252, 252) << buttonText;
    QTest::newRow("group total, money in") << 4 << int(MoneyIn) << QColor(252, 252, 252) << buttonText;
}

void TestGroupedGrid::namedStylesAreLayered()
{
    QFETCH(int, position);
    QFETCH(int, column);
    QFETCH(QColor, background);
    QFETCH(QColor, foreground);
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 2);
    grid.setRowFormatHook([&](RowFormat& row) { journalRowFormat(grid, row); });
    QCOMPARE(color(grid, position, column, Qt::BackgroundRole), background);
    QCOMPARE(color(grid, position, column, Qt::ForegroundRole), foreground);
}

void TestGroupedGrid::rowFormatHookAppliesWhenDrawn()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 2);
    grid.setRowFormatHook([&](RowFormat& row) { journalRowFormat(grid, row); });
    QCOMPARE(color(grid, 3, Balance, Qt::ForegroundRole), QColor(255, 0, 0)); // banca: -30
    QVERIFY(!color(grid, 6, Balance, Qt::ForegroundRole).isValid());          // Cassa: 110
    QCOMPARE(cell(grid, 1, 0), QString("Movilibro  [Saldo: 80,00]"));
    QCOMPARE(cell(grid, 2, 0), QString("banca"));
    QCOMPARE(grid.caption(1), QString());
    QCOMPARE(grid.model()->rowFormat(2).rowAttribute(), 380);
    QCOMPARE(grid.model()->rowFormat(9).rowAttribute(), 380);
    QCOMPARE(grid.model()->rowFormat(3).rowAttribute(), 0);

    // The style follows the data once the rows are refreshed.
    grid.data().setCurrency(Balance, 2, Currency::fromUnits(1));
    QCOMPARE(color(grid, 3, Balance, Qt::ForegroundRole), QColor(255, 0, 0));
    grid.refreshRows();
    QVERIFY(!color(grid, 3, Balance, Qt::ForegroundRole).isValid());
}

void TestGroupedGrid::rowFormatHookIsAskedOncePerRefresh()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 0);
    QList<int> asked;
    grid.setRowFormatHook([&](RowFormat& row) { asked << row.position(); });
    QCOMPARE(asked.count(3), 0);
    cell(grid, 3, Description);
    cell(grid, 3, Balance, Qt::ForegroundRole);
    QCOMPARE(asked.count(3), 1);
    grid.refreshRows();
    QCOMPARE(asked.count(3), 1);
    cell(grid, 3, Description, Qt::BackgroundRole);
    QCOMPARE(asked.count(3), 2);

    // Drawing asks for the rows on screen.
    grid.refreshRows();
    asked.clear();
    grid.resize(900, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QTRY_VERIFY(asked.contains(3));
    QCOMPARE(asked.count(3), 1);
}

void TestGroupedGrid::failingHookLeavesRowPlain()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 1);
    grid.setRowFormatHook([](RowFormat& row) {
        row.setCaption("half done");
        throw std::runtime_error("hook failed");
    });
    QCOMPARE(cell(grid, 2, 0), QString("201003"));
}

void TestGroupedGrid::overflowingTotalIsMarked()
{
    QList<Entry> entries = threeEntries();
    entries[0].moneyIn = Currency::fromRaw(std::numeric_limits<qint64>::max());
    GroupedGrid grid;
    setUpJournalGrid(grid, entries, 0);
    QCOMPARE(cell(grid, 5, MoneyIn), GridModel::overflowText());
    QVERIFY(!cell(grid, 5, MoneyIn, Qt::ToolTipRole).isEmpty());
    QCOMPARE(cell(grid, 5, MoneyOut), QString("30,00 "));
}

void TestGroupedGrid::expandAndCollapseThroughTheView()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 3);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QTreeView* view = grid.view();
    const QList<int> headers = headerPositions(grid);
    QCOMPARE(headers, (QList<int>{1, 2, 3, 6}));
    for (int p : headers)
        QVERIFY(view->isExpanded(grid.model()->indexOf(p)));

    grid.collapseAll();
    for (int p : headers)
        QVERIFY(!view->isExpanded(grid.model()->indexOf(p)));
    grid.expandAll();
    for (int p : headers)
        QVERIFY(view->isExpanded(grid.model()->indexOf(p)));

    grid.setCurrentRow(3);
    QTest::keyClick(view, Qt::Key_Left);
    QVERIFY(!view->isExpanded(grid.model()->indexOf(3)));
    QVERIFY(view->isExpanded(grid.model()->indexOf(6)));
    QTest::keyClick(view, Qt::Key_Right);
    QVERIFY(view->isExpanded(grid.model()->indexOf(3)));
}

void TestGroupedGrid::collapsingMovesCurrentToVisibleHeader()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 3);
    grid.setCurrentRow(7);
    grid.view()->collapse(grid.model()->indexOf(6));
    QCOMPARE(grid.currentRow(), 6);
    grid.setCurrentRow(8);
    QVERIFY(grid.view()->isExpanded(grid.model()->indexOf(6)));
    grid.collapseAll();
    QCOMPARE(grid.currentRow(), 1);
}

void TestGroupedGrid::currentRowAndNavigator()
{
    GroupedGrid grid;
    QSignalSpy changed(&grid, &GroupedGrid::currentRowChanged);
    setUpJournalGrid(grid, threeEntries(), 0);
    auto* navigator = grid.findChild<QLabel*>("navigator");
    QVERIFY(navigator);
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(navigator->text(), QString("riga:1/5"));
    QCOMPARE(changed.last().at(0).toInt(), 1);

    QTest::keyClick(grid.view(), Qt::Key_Down);
    QCOMPARE(grid.currentRow(), 2);
    QCOMPARE(navigator->text(), QString("riga:2/5"));
    QCOMPARE(changed.last().at(0).toInt(), 2);
    QCOMPARE(grid.currentValue(EntryId).toLongLong(), 9);
    QCOMPARE(grid.currentValue(Description).toString(), QString("C"));

    grid.setCurrentRow(0);
    QCOMPARE(grid.currentRow(), 0);
    QVERIFY(!grid.currentValue(EntryId).isValid());
    QCOMPARE(navigator->text(), QString("riga:0/5"));
    QCOMPARE(changed.last().at(0).toInt(), 0);
}

void TestGroupedGrid::keyDownComesBeforeTheView_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier);
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("shift Down") << int(Qt::Key_Down) << int(Qt::ShiftModifier);
}

void TestGroupedGrid::keyDownComesBeforeTheView()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 0);
    grid.setCurrentRow(2);
    QList<int> currentWhenSignalled;
    QSignalSpy spy(&grid, &GroupedGrid::keyDown);
    connect(&grid, &GroupedGrid::keyDown, this, [&] { currentWhenSignalled << grid.currentRow(); });
    QTest::keyClick(grid.view(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // A modifier arrives first as a key of its own, as the platform sends it.
    QVERIFY(spy.count() >= 1);
    QCOMPARE(spy.last().at(0).toInt(), key);
    QCOMPARE(spy.last().at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(currentWhenSignalled.last(), 2);
}

void TestGroupedGrid::enterReachesTheOwner()
{
    KeyRecorder owner;
    auto* grid = new GroupedGrid(&owner);
    setUpJournalGrid(*grid, threeEntries(), 0);
    grid->setCurrentRow(3);
    QTest::keyClick(grid->view(), Qt::Key_Return);
    QCOMPARE(owner.keys, QList<int>{Qt::Key_Return});
}

void TestGroupedGrid::doubleClickOnARow()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 0);
    grid.resize(900, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy spy(&grid, &GroupedGrid::doubleClicked);
    const QPoint centre = grid.view()->visualRect(grid.model()->indexOf(3, Description)).center();
    // The platform's sequence: a click, then the second press as a double click.
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(grid.currentRow(), 3);
    QCOMPARE(grid.currentValue(EntryId).toLongLong(), 7);
}

void TestGroupedGrid::emptyingTheDataEmptiesTheView()
{
    GroupedGrid grid;
    setUpJournalGrid(grid, threeEntries(), 3);
    grid.setRowCount(0);
    QCOMPARE(grid.displayRowCount(), 0);
    QCOMPARE(grid.model()->rowCount(), 0);
    QCOMPARE(grid.currentRow(), 0);
    QCOMPARE(grid.findChild<QLabel*>("navigator")->text(), QString("riga:0/0"));
}
