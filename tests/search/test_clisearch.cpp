// --search on a real journal, through the real program.
#include "testsupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;
using test::money;

namespace {

test::ProgramRun runProgram(const QStringList& arguments)
{
    return test::runProgram(QStringLiteral(MOVILIBRO_EXE), arguments);
}

} // namespace

class TestCliSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_common;

    QString out(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        test::Journal j(m_dir.path());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        const qint64 banca = j.addAccount(QStringLiteral("Banca"));
        j.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("Incasso fattura"), money(100), std::nullopt);
        j.addEntry(QDate(2010, 3, 5), banca, QStringLiteral("Bolletta luce"), std::nullopt, money(30));
        j.addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("Rimborso Luce"), money(10), std::nullopt);
        m_common = QStringList{"--db", m_dir.path(), "--from", "01/01/2010", "--to", "31/12/2010"};
    }

    void csvHoldsTheMatchingEntries()
    {
        QCOMPARE(
            runProgram(m_common + QStringList{"--export-csv", out("luce.csv"), "--search", "LUCE"}).status,
            0);
        QCOMPARE(test::fileBytes(out("luce.csv")),
                 QByteArray("\xEF\xBB\xBF"
                            "Data;Conto;Descrizione;Entrate;Uscite;Saldo progressivo\r\n"
                            "05/03/2010;\"Cassa\";\"Rimborso Luce\";\"10,00\";;\"-20,00\"\r\n"
                            "05/03/2010;\"Banca\";\"Bolletta luce\";;\"30,00\";\"-30,00\"\r\n"));
    }

    void pdfSaysItIsFiltered()
    {
        QCOMPARE(runProgram(m_common + QStringList{"--export-pdf", out("f.pdf"), "--search", "-luce"}).status,
                 0);
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), out("f.pdf"), QStringLiteral("-")});
        QVERIFY(tool.waitForFinished(60000));
        const QString text = QString::fromUtf8(tool.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral("Filtro: -luce")));
        QVERIFY(text.contains(QStringLiteral("Incasso fattura")));
        QVERIFY(!text.contains(QStringLiteral("Bolletta")));
    }

    void badSearchIsAUsageError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("reversed range")
            << QStringList{"--export-csv", out("bad.csv"), "--search", "200..100"};
        QTest::newRow("without export") << QStringList{"--search", "luce"};
    }
    void badSearchIsAUsageError()
    {
        QFETCH(QStringList, arguments);
        const auto [status, output, err] = runProgram(m_common + arguments);
        QCOMPARE(status, 2);
        QVERIFY(!err.isEmpty());
        QVERIFY(!QFile::exists(out("bad.csv")));
    }
};

QTEST_GUILESS_MAIN(TestCliSearch)
#include "test_clisearch.moc"
