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
        QTest::newRow("& below +") << "'a' & 1 + 2"
                                   << "a3";
        QTest::newRow("+ before &") << "1 + 2 & 'b'"
                                    << "3b";
        QTest::newRow("operands rounded") << "7.6 \\ 2"
                                          << "4";
        QTest::newRow("half to even, down") << "2.5 \\ 1"
                                            << "2";
        QTest::newRow("half to even, up") << "3.5 \\ 1"
                                          << "4";
        QTest::newRow("negative rounded") << "-7.6 \\ 2"
                                          << "-4";
        QTest::newRow("truncated toward zero") << "7 \\ -2"
                                               << "-3";
        QTest::newRow("* before \\") << "10 \\ 2 * 3"
                                     << "1";
        QTest::newRow("numeric text") << "'9' \\ 2"
                                      << "4";
        QTest::newRow("real division") << "7 / 2"
                                       << "3.5";
        QTest::newRow("chain") << "'x' & 7 \\ 2 & 'y' & (1 + 1)"
                               << "x3y2";
        QTest::newRow("in a function") << "iif(1 = 1, 'q' & 3 \\ 2, 'n')"
                                       << "q1";
        QTest::newRow("minus minus") << "1--1"
                                     << "2";
        QTest::newRow("null divides to null") << "isnull(Null \\ 2)"
                                              << "1";
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
        QTest::newRow("division by zero") << "7 \\ 0";
        QTest::newRow("text operand") << "'abc' \\ 2";
        QTest::newRow("Mod") << "7 Mod 2";
        QTest::newRow("unclosed parenthesis") << "(1 & 2";
    }
    void refusesWhatItCannotRender()
    {
        QFETCH(QString, jet);
        QVERIFY_THROWS_EXCEPTION(db::DbError, m_conn->prepareJet(QStringLiteral("SELECT ") + jet).step());
    }

    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_journal = std::make_unique<test::Journal>(m_dir.path());
        m_conn = std::make_unique<db::Connection>(m_journal->open());
    }
    void cleanupTestCase() { m_conn.reset(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_journal;
    std::unique_ptr<db::Connection> m_conn;
};

QTEST_GUILESS_MAIN(TestJetOperators)
#include "test_jetoperators.moc"
