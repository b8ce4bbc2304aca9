#include "tst_griddata.h"

#include "ui/grid/griddata.h"

#include <QTest>

#include <stdexcept>

using namespace movilibro;
using namespace movilibro::grid;

namespace {

GridData fourTypes(int rows)
{
    GridData data;
    data.setColumnCount(4);
    data.setColumnType(2, ColumnType::Date);
    data.setColumnType(3, ColumnType::Currency);
    data.setColumnType(4, ColumnType::Id);
    data.setRowCount(rows);
    return data;
}

} // namespace

void TestGridData::newRowsAreEmpty()
{
    GridData data = fourTypes(1);
    data.setCurrency(3, 1, Currency::fromUnits(4));
    data.setRowCount(3);
    QCOMPARE(data.rowCount(), 3);
    QCOMPARE(data.text(1, 3), QString());
    QVERIFY(!data.date(2, 3).isValid());
    QVERIFY(!data.currency(3, 3).has_value());
    QCOMPARE(data.id(4, 3), 0);
    QCOMPARE(data.currency(3, 1), Currency::fromUnits(4));
}

void TestGridData::cellsKeepTheirValues()
{
    GridData data = fourTypes(2);
    data.setText(1, 2, "Cassa");
    data.setDate(2, 2, QDate(2010, 3, 5));
    data.setCurrency(3, 2, Currency::fromRaw(-125000));
    data.setId(4, 2, 9);
    data.setCurrency(3, 1, Currency::fromUnits(1));
    data.setCurrency(3, 1, std::nullopt);
    QCOMPARE(data.text(1, 2), QString("Cassa"));
    QCOMPARE(data.date(2, 2), QDate(2010, 3, 5));
    QCOMPARE(data.currency(3, 2), Currency::fromRaw(-125000));
    QCOMPARE(data.id(4, 2), 9);
    QVERIFY(!data.currency(3, 1).has_value());
}

void TestGridData::boxedValues()
{
    GridData data = fourTypes(1);
    data.setCurrency(3, 1, Currency::fromUnits(2));
    data.setId(4, 1, 42);
    QCOMPARE(data.value(3, 1).value<Currency>(), Currency::fromUnits(2));
    QCOMPARE(data.value(4, 1).toLongLong(), 42);
    data.setCurrency(3, 1, std::nullopt);
    QVERIFY(!data.value(3, 1).isValid());
}

void TestGridData::changingATypeEmptiesTheColumn()
{
    GridData data = fourTypes(1);
    data.setText(1, 1, "x");
    data.setColumnType(1, ColumnType::Currency);
    QVERIFY(!data.currency(1, 1).has_value());
    data.setColumnType(1, ColumnType::Text);
    QCOMPARE(data.text(1, 1), QString());
}

void TestGridData::misuseThrows()
{
    GridData data = fourTypes(1);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, data.setText(2, 1, "x"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, data.currency(4, 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, data.text(1, 0));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, data.text(1, 2));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, data.text(5, 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, data.setRowCount(-1));
}

void TestGridData::colorsFromBgr_data()
{
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<QColor>("color");
    QTest::newRow("OddRow of the accounts") << 12582911u << QColor(0xFF, 0xFF, 0xBF);
    QTest::newRow("EvenRow of the accounts") << 12703664u << QColor(0xB0, 0xD7, 0xC1);
    QTest::newRow("pure red") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("pure blue") << 0xFF0000u << QColor(0, 0, 255);
}

void TestGridData::colorsFromBgr()
{
    QFETCH(quint32, bgr);
    QFETCH(QColor, color);
    QCOMPARE(colorFromBgr(bgr), color);
}
