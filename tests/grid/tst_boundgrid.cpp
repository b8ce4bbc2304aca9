#include "tst_boundgrid.h"

#include "testsupport.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/groupedgrid.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTest>
#include <QTreeView>

#include <sqlite3.h>

using namespace movilibro::grid;

namespace {

const QString AccountsQuery = QStringLiteral("SELECT * FROM Conti ORDER BY cntNome");

QString connString(const QString& path)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

void bind(GroupedGrid& grid, const QString& path, const QString& query = AccountsQuery)
{
    grid.setConnectionString(connString(path));
    grid.setRecordSource(query);
}

QStringList names(const GroupedGrid& grid)
{
    QStringList out;
    for (int p = 1; p <= grid.displayRowCount(); ++p)
        out << grid.value(p, 2).toString();
    return out;
}

} // namespace

void TestBoundGrid::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    exec("CREATE TABLE Conti (cntId INTEGER PRIMARY KEY AUTOINCREMENT, cntNome VARCHAR(50));"
         "INSERT INTO Conti (cntId, cntNome) VALUES (3, 'Posta'), (8, 'Banca'), (5, 'Cassa');");
}

QString TestBoundGrid::journalPath() const
{
    return m_dir->filePath("movilibro.mdb");
}

void TestBoundGrid::exec(const QString& sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(journalPath().toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

void TestBoundGrid::loadsTheQueryInItsOrder()
{
    GroupedGrid grid;
    bind(grid, journalPath());
    QVERIFY2(grid.refresh(true), qPrintable(grid.lastError()));
    QCOMPARE(grid.columnCount(), 2);
    QCOMPARE(grid.columnIndex("cntId"), 1);
    QCOMPARE(grid.columnIndex("cntNome"), 2);
    QCOMPARE(grid.data().columnType(1), ColumnType::Id);
    QCOMPARE(grid.data().columnType(2), ColumnType::Text);
    QCOMPARE(grid.displayRowCount(), 3);
    QCOMPARE(names(grid), (QStringList{"Banca", "Cassa", "Posta"}));
    QCOMPARE(grid.level(1), 0);
    QCOMPARE(grid.rowType(3), RowType::Entry);
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.currentValue(1).toLongLong(), 8);
}

void TestBoundGrid::accountsPanePresentation()
{
    GroupedGrid grid;
    grid.setObjectName("gexContiView");
    grid.addStyle("OddRow", colorFromBgr(12582911));
    grid.addStyle("EvenRow", colorFromBgr(12703664));
    grid.setAlternatingRowStyles("OddRow", "EvenRow");
    grid.setHeaderVisible(false);
    grid.setGridLinesVisible(false);
    bind(grid, journalPath());
    QVERIFY(grid.refresh(true));
    grid.setColumnVisible(1, false);
    grid.setColumnWidth(2, 123);
    QVERIFY(grid.refresh(true));

    QTreeView* view = grid.view();
    QVERIFY(view->isColumnHidden(0));
    QVERIFY(view->isColumnHidden(1));
    QVERIFY(!view->isColumnHidden(2));
    QCOMPARE(view->columnWidth(2), 123);
    QVERIFY(view->isHeaderHidden());
    QVERIFY(!view->rootIsDecorated());
    const auto background = [&](int p) {
        return grid.model()->indexOf(p, 2).data(Qt::BackgroundRole).value<QColor>();
    };
    QCOMPARE(background(1), QColor("#FFFFBF"));
    QCOMPARE(background(2), QColor("#B0D7C1"));
    QCOMPARE(background(3), QColor("#FFFFBF"));
    QCOMPARE(grid.model()->indexOf(1, 2).data().toString(), QString("Banca"));
}

void TestBoundGrid::currentRowFollowsTheAccount_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<qint64>("currentId");
    QTest::newRow("renamed to sort first") << "UPDATE Conti SET cntNome='Azienda' WHERE cntId=5"
                                           << QStringList{"Azienda", "Banca", "Posta"} << qint64(5);
    QTest::newRow("another account deleted")
        << "DELETE FROM Conti WHERE cntId=8" << QStringList{"Cassa", "Posta"} << qint64(5);
    QTest::newRow("current account deleted")
        << "DELETE FROM Conti WHERE cntId=5" << QStringList{"Banca", "Posta"} << qint64(8);
}

void TestBoundGrid::currentRowFollowsTheAccount()
{
    QFETCH(QString, change);
    QFETCH(QStringList, names);
    QFETCH(qint64, currentId);
    GroupedGrid grid;
    bind(grid, journalPath());
    QVERIFY(grid.refresh(true));
    grid.setCurrentRow(2);
    QCOMPARE(grid.currentValue(1).toLongLong(), 5);
    exec(change);
    QVERIFY(grid.refresh(true));
    QCOMPARE(::names(grid), names);
    QCOMPARE(grid.currentValue(1).toLongLong(), currentId);
}

void TestBoundGrid::emptyTableHasNoCurrentValue()
{
    exec("DELETE FROM Conti");
    GroupedGrid grid;
    bind(grid, journalPath());
    QVERIFY(grid.refresh(true));
    QCOMPARE(grid.displayRowCount(), 0);
    QCOMPARE(grid.currentRow(), 0);
    QVERIFY(!grid.currentValue(1).isValid());
}

void TestBoundGrid::failedQueryLeavesTheGridEmpty_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("query");
    QTest::newRow("missing file") << "absent.mdb" << AccountsQuery;
    QTest::newRow("missing table") << "movilibro.mdb"
                                   << "SELECT * FROM Nothing";
}

void TestBoundGrid::failedQueryLeavesTheGridEmpty()
{
    QFETCH(QString, file);
    QFETCH(QString, query);
    GroupedGrid grid;
    bind(grid, journalPath());
    QVERIFY(grid.refresh(true));
    bind(grid, m_dir->filePath(file), query);
    QVERIFY(!grid.refresh(true));
    QVERIFY(!grid.lastError().isEmpty());
    QCOMPARE(grid.displayRowCount(), 0);
    QCOMPARE(grid.currentRow(), 0);
    QVERIFY(!grid.currentValue(1).isValid());
    QVERIFY(QFile::exists(journalPath()));
    QCOMPARE(QFile::exists(m_dir->filePath("absent.mdb")), false);
}

void TestBoundGrid::modelPassesTester()
{
    GroupedGrid grid;
    QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    bind(grid, journalPath());
    QVERIFY(grid.refresh(true));
    exec("DELETE FROM Conti WHERE cntId=3");
    QVERIFY(grid.refresh(true));
    QVERIFY(grid.refresh(false));
    QCOMPARE(grid.model()->rowCount(), 2);
}

// The real schema sorts names with the Italian collation, ignoring case.
void TestBoundGrid::accountsOfAJournalFromTheTemplate()
{
    QTemporaryDir folder;
    const movilibro::test::Journal journal(folder.path());
    const qint64 cassa = journal.addAccount("Cassa");
    journal.addAccount("banca");
    journal.addAccount("Azienda");
    GroupedGrid grid;
    grid.setConnectionString(journal.connString());
    grid.setRecordSource(AccountsQuery);
    QVERIFY2(grid.refresh(true), qPrintable(grid.lastError()));
    QCOMPARE(names(grid), (QStringList{"Azienda", "banca", "Cassa"}));
    QCOMPARE(grid.data().columnType(1), ColumnType::Id);
    grid.setCurrentRow(3);
    QCOMPARE(grid.currentValue(1).toLongLong(), cassa);
}
