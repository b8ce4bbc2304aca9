#include "db/connection.h"
#include "db/dialect.h"

#include <QtTest>

using namespace movilibro::db;

class TestDialect : public QObject
{
    Q_OBJECT
private slots:
    void translates_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("delete star") << "DELETE * FROM Movilibro WHERE mlId=7"
                                     << "DELETE FROM Movilibro WHERE mlId=7";
        QTest::newRow("date literal") << "SELECT mlId From Movilibro WHERE mlData<=#12/31/2017#"
                                      << "SELECT mlId From Movilibro WHERE mlData<='2017-12-31'";
        QTest::newRow("between") << "WHERE mlData Between #01/01/2010# And #03/05/2010#"
                                 << "WHERE mlData Between '2010-01-01' And '2010-03-05'";
        QTest::newRow("concat and intdiv")
            << "Format([mlData],'yyyy') & Format(((Month([mlData])-1)\\2)+1,'0')"
            << "Format([mlData],'yyyy') || Format(((Month([mlData])-1)/2)+1,'0')";
        QTest::newRow("isnull")
            << "iif(isnull([mlEntrate]),0,[mlEntrate])-iif(isnull([mlUscite]),0,[mlUscite])"
            << "iif(([mlEntrate] IS NULL),0,[mlEntrate])-iif(([mlUscite] IS NULL),0,[mlUscite])";
        QTest::newRow("nested isnull") << "isnull(iif(isnull(a),1,(2)))"
                                       << "(iif((a IS NULL),1,(2)) IS NULL)";
        QTest::newRow("literal untouched") << "SELECT * FROM Parametri WHERE Chiave='a & b \\ #1/2/3# [x]'"
                                           << "SELECT * FROM Parametri WHERE Chiave='a & b \\ #1/2/3# [x]'";
        QTest::newRow("quote in literal") << "WHERE x='l''isnull(y)'"
                                          << "WHERE x='l''isnull(y)'";
        QTest::newRow("bracketed name untouched") << "SELECT [a & b] FROM t"
                                                  << "SELECT [a & b] FROM t";
        QTest::newRow("word containing delete") << "SELECT deleted * 2 FROM t"
                                                << "SELECT deleted * 2 FROM t";
    }
    void translates()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(translateJet(jet), sqlite);
    }

    void rejects_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::newRow("double quoted text") << "SELECT * FROM Conti WHERE cntNome=\"x\"";
        QTest::newRow("two statements") << "DELETE * FROM Conti; DELETE * FROM Movilibro";
        QTest::newRow("open literal") << "SELECT 'abc";
        QTest::newRow("open bracket") << "SELECT [abc";
        QTest::newRow("open date") << "WHERE mlData<=#12/31/2017";
        QTest::newRow("day-first date") << "WHERE mlData<=#31/12/2017#";
        QTest::newRow("short date") << "WHERE mlData<=#1/2/2017#";
        QTest::newRow("isnull without parens") << "SELECT isnull FROM t";
        QTest::newRow("isnull unclosed") << "SELECT isnull(a FROM t";
        QTest::newRow("parameter mark") << "SELECT * FROM t WHERE a=?";
    }
    void rejects()
    {
        QFETCH(QString, jet);
        try {
            translateJet(jet);
            QFAIL("accepted");
        } catch (const DbError& e) {
            QCOMPARE(e.code(), -1);
            QVERIFY(e.message().contains(QStringLiteral("non riconosciuta")));
        }
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "test_dialect.moc"
