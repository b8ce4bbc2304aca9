#include "db/connection.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;

// Jet's text and integer-division operators keep Jet's precedence and
// arithmetic once translated; what cannot be rendered is refused.
class TestJetOperators : public QObject
{
    Q_OBJECT
private slots:
    void computesAsJet_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("expected");
        // & binds below + and -; \ below * and /, above + and -; \ rounds its
        // operands half to even and truncates; / divides as reals.
        // clang-format off
        const char* const rows[][2] = {
            {"'a' & 1 + 2", "a3"}, {"1 + 2 & 'b'", "3b"}, {"7.6 \\ 2", "4"}, {"2.5 \\ 1", "2"},
            {"3.5 \\ 1", "4"}, {"-7.6 \\ 2", "-4"}, {"7 \\ -2", "-3"}, {"10 \\ 2 * 3", "1"},
            {"'9' \\ 2", "4"}, {"7 / 2", "3.5"}, {"1--1", "2"}, {"isnull(Null \\ 2)", "1"},
            {"'x' & 7 \\ 2 & 'y' & (1 + 1)", "x3y2"}, {"iif(1 = 1, 'q' & 3 \\ 2, 'n')", "q1"}};
        // clang-format on
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }
    void computesAsJet()
    {
        QFETCH(QString, jet);
        QFETCH(QString, expected);
        db::Statement st = m_conn->prepareJet(QStringLiteral("SELECT ") + jet);
        QVERIFY(st.step());
        QCOMPARE(st.text(0), expected);
    }

    void refusesWhatItCannotRender_data()
    {
        QTest::addColumn<QString>("jet");
        for (const char* jet : {"7 \\ 0", "'abc' \\ 2", "7 Mod 2", "(1 & 2"})
            QTest::newRow(jet) << QString::fromUtf8(jet);
    }
    void refusesWhatItCannotRender()
    {
        QFETCH(QString, jet);
        QVERIFY_THROWS_EXCEPTION(db::DbError, m_conn->prepareJet(QStringLiteral("SELECT ") + jet).step());
    }

    void initTestCase() { m_conn = std::make_unique<db::Connection>(m_journal.open()); }
    void cleanupTestCase() { m_conn.reset(); }

private:
    QTemporaryDir m_dir;
    test::Journal m_journal{m_dir.path()};
    std::unique_ptr<db::Connection> m_conn;
};

QTEST_GUILESS_MAIN(TestJetOperators)
#include "test_jetoperators.moc"
