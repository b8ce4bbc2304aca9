#include "reportfixtures.h"

#include "report/reporterror.h"
#include "report/xlsxexport.h"
#include "statement/xlsxpackage.h"
#include "statement/xlsxreader.h"

#include <QTemporaryDir>
#include <QTest>

using namespace movilibro;
using namespace movilibro::report;

namespace {

QStringList describeSheet(const statement::Sheet& sheet)
{
    QStringList rows;
    for (const statement::SheetRow& row : sheet.rows)
        rows << test::describeSheetRow(sheet, row);
    return rows;
}

// The outline level of every row of the first sheet, as its XML gives it.
QString outlineLevels(const QByteArray& workbook)
{
    statement::xlsx::Package package(workbook);
    statement::xlsx::Part part(package, QStringLiteral("xl/worksheets/sheet1.xml"));
    QStringList levels;
    QXmlStreamReader& xml = part.xml();
    while (xml.readNextStartElement()) {
        if (xml.name() == u"row") {
            const QStringView level = xml.attributes().value(QStringLiteral("outlineLevel"));
            levels << (level.isEmpty() ? QStringLiteral("0") : level.toString());
            xml.skipCurrentElement();
        } else if (xml.name() != u"worksheet" && xml.name() != u"sheetData") {
            xml.skipCurrentElement();
        }
    }
    return levels.join(u',');
}

} // namespace

class TestXlsxExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        m_journal = std::make_unique<test::Journal>(m_dir.filePath(QStringLiteral("giornale")));
        test::fillJournal(
            *m_journal,
            {
                {QDate(2010, 1, 15), "Cassa", "=SOMMA(A1:A2)", test::money(1234, 50), std::nullopt},
                {QDate(2010, 2, 10), "Banca", "+39 affitto", std::nullopt, test::money(800)},
                {QDate(2010, 3, 5), "Cassa", "-sconto", std::nullopt, test::money(1500)},
                {QDate(2010, 3, 20), "Banca", "@nota", test::money(800), std::nullopt},
            });
    }

    // Both sheets read back by the statement reader: typed cells, texts kept as typed.
    void workbookHoldsTheLaidOutRows_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("journal");
        QTest::addColumn<QStringList>("accounts");
        QTest::addColumn<QString>("levels"); // outline level of each row, title first
        const QString year = QStringLiteral("Movilibro dal 01/01/2010 al 31/12/2010");
        const QString head = QStringLiteral("Data|Conto|Descrizione|Entrate|Uscite|Saldo progressivo");
        const QString accountsHead = QStringLiteral("Conto|Entrate|Uscite|Saldo");
        const QStringList accounts{year, accountsHead, "Banca|n:800.00|n:800.00|n:0.00",
                                   "Cassa|n:1234.50|n:1500.00|n:-265.50",
                                   "Totale|n:2034.50|n:2300.00|n:-265.50"};
        QTest::newRow("no groups") << 0 << QString()
                                   << QStringList{year,
                                                  head,
                                                  "Movilibro  [Saldo: -265,50]",
                                                  "d:20/03/2010|Banca|@nota|n:800.00||n:-265.50",
                                                  "d:05/03/2010|Cassa|-sconto||n:1500.00|n:-1065.50",
                                                  "d:10/02/2010|Banca|+39 affitto||n:800.00|n:434.50",
                                                  "d:15/01/2010|Cassa|=SOMMA(A1:A2)|n:1234.50||n:1234.50",
                                                  "Totale|||n:2034.50|n:2300.00"}
                                   << accounts << QStringLiteral("0,0,0,1,1,1,1,0");
        QTest::newRow("by account") << 2 << QString()
                                    << QStringList{year,
                                                   head,
                                                   "Movilibro  [Saldo: -265,50]",
                                                   "Banca",
                                                   "d:20/03/2010|Banca|@nota|n:800.00||n:0.00",
                                                   "d:10/02/2010|Banca|+39 affitto||n:800.00|n:-800.00",
                                                   "Totale Banca|||n:800.00|n:800.00",
                                                   "Cassa",
                                                   "d:05/03/2010|Cassa|-sconto||n:1500.00|n:-265.50",
                                                   "d:15/01/2010|Cassa|=SOMMA(A1:A2)|n:1234.50||n:1234.50",
                                                   "Totale Cassa|||n:1234.50|n:1500.00",
                                                   "Totale|||n:2034.50|n:2300.00"}
                                    << accounts << QStringLiteral("0,0,0,1,2,2,1,1,2,2,1,0");
        const QString filtered = year + QStringLiteral(" · Filtro: nota");
        QTest::newRow("filtered")
            << 0 << QStringLiteral("nota")
            << QStringList{filtered, head,
                           "Movilibro  [Filtro: nota · 1 registrazione · Entrate 800,00 · "
                           "Uscite 0,00 · Saldo 800,00]",
                           "d:20/03/2010|Banca|@nota|n:800.00||n:800.00", "Totale|||n:800.00|n:0.00"}
            << QStringList{filtered, accountsHead, "Banca|n:800.00|n:0.00|n:800.00",
                           "Totale|n:800.00|n:0.00|n:800.00"}
            << QStringLiteral("0,0,0,1,0");
    }
    void workbookHoldsTheLaidOutRows()
    {
        QFETCH(int, layout);
        QFETCH(QString, search);
        QFETCH(QStringList, journal);
        QFETCH(QStringList, accounts);
        QFETCH(QString, levels);
        const QString path = m_dir.filePath(QStringLiteral("giornale%1.xlsx").arg(QTest::currentDataTag()));
        ReportContext context{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, layout, m_journal->connString()};
        context.filter.text = search;
        exportXlsx(context, path);

        const std::unique_ptr<statement::Workbook> book = statement::openXlsx(test::fileBytes(path));
        QCOMPARE(book->sheetNames(), (QStringList{"Giornale", "Conti"}));
        QCOMPARE(describeSheet(book->sheet(0)), journal);
        QCOMPARE(describeSheet(book->sheet(1)), accounts);
        QCOMPARE(outlineLevels(test::fileBytes(path)), levels);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_journal;
};

QTEST_GUILESS_MAIN(TestXlsxExport)
#include "test_xlsxexport.moc"
