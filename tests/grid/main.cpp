#include "tst_boundgrid.h"
#include "tst_griddata.h"
#include "tst_gridrows.h"
#include "tst_groupedgrid.h"

#include "testsupport.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    movilibro::test::pinItalianLocale();
    int failures = 0;
    TestGridData data;
    failures += QTest::qExec(&data, argc, argv);
    TestGridRows rows;
    failures += QTest::qExec(&rows, argc, argv);
    TestGroupedGrid grid;
    failures += QTest::qExec(&grid, argc, argv);
    TestBoundGrid bound;
    failures += QTest::qExec(&bound, argc, argv);
    return failures == 0 ? 0 : 1;
}
