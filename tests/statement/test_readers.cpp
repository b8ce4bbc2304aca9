// The readers under the statement import: spreadsheets as typed cells and as
// text rows, OFX through LibOFX, and the kind of a file told by its content.
#include "statement/filekind.h"
#include "statement/ofxreader.h"
#include "statement/sheettable.h"
#include "statement/statement.h"
#include "statement/xlsreader.h"
#include "statement/xlsxreader.h"
#include "testsupport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryFile>
#include <QtTest>

#include <quazip.h>
#include <quazipfile.h>

#include <ctime>
#include <unistd.h>

using namespace movilibro;
using namespace movilibro::statement;
using test::money;

namespace {

const QString Data = QStringLiteral(MOVILIBRO_TEST_DATA) + u'/';

QByteArray fileBytes(const QString& name)
{
    QFile f(Data + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray zipOf(const QList<std::pair<QString, QByteArray>>& parts)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto& [name, content] : parts) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(name));
        file.write(content);
    }
    zip.close();
    return bytes;
}

// A workbook of one sheet with the given rows (and what follows them).
QByteArray workbookWith(const QString& sheetData, const QString& after = {}, bool date1904 = false)
{
    const QString main =
        QStringLiteral("xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"");
    const QString rel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    return zipOf({
        {"xl/workbook.xml",
         QStringLiteral(
             "<workbook %1 xmlns:r=\"%2\"><workbookPr date1904=\"%3\"/><sheets><sheet name=\"Foglio1\" "
             "r:id=\"rId1\"/></sheets></workbook>")
             .arg(main, rel, date1904 ? "1" : "0")
             .toUtf8()},
        {"xl/_rels/workbook.xml.rels",
         QStringLiteral("<Relationships><Relationship Id=\"rId1\" Type=\"%1/worksheet\" "
                        "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"%1/styles\" "
                        "Target=\"/xl/styles.xml\"/><Relationship Id=\"rId3\" Type=\"%1/sharedStrings\" "
                        "Target=\"sharedStrings.xml\"/></Relationships>")
             .arg(rel)
             .toUtf8()},
        // Styles 1 to 5: a date of its own, the built-in date, an amount, a time, a date and time.
        {"xl/styles.xml",
         "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"[$-410]d\\ mmmm&quot; "
         "del &quot;yyyy\"/></numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/>"
         "<xf numFmtId=\"14\"/><xf numFmtId=\"4\"/><xf numFmtId=\"20\"/><xf numFmtId=\"22\"/>"
         "</cellXfs></styleSheet>"},
        {"xl/sharedStrings.xml", "<sst><si><t>Data</t></si><si><r><t xml:space=\"preserve\">Caff\xC3\xA8 "
                                 "</t></r><r><rPr/><t>Bar</t></r><rPh><t>ba</t></rPh></si><si><t>a_x000D_b"
                                 "</t></si></sst>"},
        {"xl/worksheets/sheet1.xml", QStringLiteral("<worksheet %1><sheetData>%2</sheetData>%3</worksheet>")
                                         .arg(main, sheetData, after)
                                         .toUtf8()},
    });
}

// Rows as "line:cell|cell", joined by " / ".
QString shown(const Table& lines)
{
    QStringList out;
    for (const TableRow& l : lines)
        out << QString::number(l.line) + u':' + l.cells.join(u'|');
    return out.join(QStringLiteral(" / "));
}

QString errorOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const StatementError& e) {
        return e.message();
    }
    return {};
}

// What a call writes on the process's standard error.
QByteArray stderrOf(const std::function<void()>& call)
{
    QTemporaryFile sink;
    sink.open();
    const int saved = dup(STDERR_FILENO);
    dup2(sink.handle(), STDERR_FILENO);
    call();
    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    sink.seek(0);
    return sink.readAll();
}

} // namespace

class TestReaders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::pinItalianLocale(); }

    void sheetCells_data();
    void sheetCells();
    void brokenWorkbooks_data();
    void brokenWorkbooks();
    void bankWorkbook();
    void ofxFiles_data();
    void ofxFiles();
    void ofxValues_data();
    void ofxValues();
    void fileKinds_data();
    void fileKinds();
    void statements_data();
    void statements();
};

void TestReaders::sheetCells_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shared strings: runs joined, phonetic hints out, escapes decoded")
        << R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c></row>)"
        << "" << false << "1:Data|Caffè Bar|a\rb";
    QTest::newRow("inline strings, formula texts, booleans, errors")
        << R"(<row r="2"><c r="B2" t="inlineStr"><is><r><t>In</t></r><r><t>linea</t></r></is></c>)"
           R"(<c r="C2" t="str"><f>A1</f><v>Calcolato</v></c><c r="D2" t="b"><v>1</v></c><c r="E2" t="e"><v>#N/A</v></c></row>)"
        << "" << false << "2:|Inlinea|Calcolato|VERO|#N/A";
    QTest::newRow("serial dates in their formats, a time, an amount")
        << R"(<row r="3"><c s="1"><v>45352</v></c><c s="2"><v>45352.75</v></c><c s="5"><v>45352.75</v></c>)"
           R"(<c s="5"><v>45352</v></c><c s="4"><v>0.75</v></c><c s="3"><v>-1234.5</v></c></row>)"
        << "" << false << "3:2024-03-01|2024-03-01|2024-03-01 18:00|2024-03-01|18:00|-1234,5";
    QTest::newRow("1900 base: serials before March 1900 and the day that never was")
        << R"(<row r="1"><c s="2"><v>1</v></c><c s="2"><v>59</v></c><c s="2"><v>60</v></c><c s="2"><v>61</v></c></row>)"
        << "" << false << "1:1900-01-01|1900-02-28|60|1900-03-01";
    QTest::newRow("1904 base") << R"(<row r="1"><c s="2"><v>43889</v></c><c s="2"><v>0</v></c></row>)"
                               << "" << true << "1:2024-02-29|1904-01-01";
    QTest::newRow("ISO dates are the same in either base")
        << R"(<row r="1"><c t="d"><v>2024-02-29T00:00:00</v></c><c t="d" s="5"><v>2024-02-29T09:30:00</v></c></row>)"
        << "" << true << "1:2024-02-29|2024-02-29 09:30";
    QTest::newRow("numbers as a spreadsheet shows them")
        << R"(<row r="1"><c><v>0.30000000000000004</v></c><c><v>1E-3</v></c><c><v>12345678901</v></c><c><v>-0</v></c></row>)"
        << "" << false << "1:0,3|0,001|12345678901|0";
    QTest::newRow("decimal point when the texts write one")
        << R"(<row r="1"><c t="inlineStr"><is><t>12.50</t></is></c><c><v>3.25</v></c><c t="inlineStr"><is><t>1,000</t></is></c></row>)"
        << "" << false << "1:12.50|3.25|1,000";
    QTest::newRow("rows and cells without reference follow the previous ones, empty rows and cells vanish")
        << R"(<row r="7"><c r="B7"><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c></row><row r="10"/>)"
           R"(<row r="11"><c r="A11" s="1"/><c r="B11" t="s"><v>99</v></c><c r="C11"><v></v></c></row>)"
        << "" << false << "7:|1|2 / 8:3";
    QTest::newRow("rows out of order, a cell merged down repeated, across not")
        << R"(<row r="3"><c r="B3"><v>3</v></c></row><row r="1"><c r="A1" s="2"><v>45352</v></c><c r="B1"><v>1</v></c></row>)"
        << R"(<mergeCells><mergeCell ref="A1:A4"/><mergeCell ref="B1:C1"/></mergeCells>)" << false
        << "1:2024-03-01|1 / 2:2024-03-01 / 3:2024-03-01|3 / 4:2024-03-01";
}

void TestReaders::sheetCells()
{
    QFETCH(QString, rows);
    QFETCH(QString, after);
    QFETCH(bool, date1904);
    QFETCH(QString, expected);
    std::unique_ptr<Workbook> book = openXlsx(workbookWith(rows, after, date1904));
    QCOMPARE(book->sheetNames(), QStringList{"Foglio1"});
    QCOMPARE(shown(textRowsOf(book->sheet(0))), expected);
}

void TestReaders::brokenWorkbooks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QByteArray sample = fileBytes("movimenti.xlsx");
    QByteArray damaged = sample;
    // Inside the compressed rows of the second sheet.
    damaged[damaged.indexOf("xl/worksheets/sheet2.xml") + 60] ^= 0x55;
    QTest::newRow("no ZIP") << QByteArray("PK\x03\x04 not really") << "non è un archivio ZIP integro";
    QTest::newRow("cut in half") << sample.left(sample.size() / 2) << "non è un archivio ZIP integro";
    QTest::newRow("damaged sheet") << damaged << "danneggiata";
    QTest::newRow("no workbook") << zipOf({{"documento.txt", "testo"}}) << "manca la parte xl/workbook.xml";
    QTest::newRow("XLS cut in half") << fileBytes("movimenti.xls").left(3072)
                                     << "Il file Excel (.xls) non è leggibile: è danneggiato";
    QTest::newRow("broken XML") << workbookWith("<row><c><v>1</v></row>")
                                << "XML non valido in xl/worksheets/sheet1.xml";
}

void TestReaders::brokenWorkbooks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const QString message = errorOf([&bytes] {
        std::unique_ptr<Workbook> book = isCompoundDocument(bytes) ? openXls(bytes) : openXlsx(bytes);
        for (int i = 0; i < book->sheetNames().size(); ++i)
            book->sheet(i);
    });
    QVERIFY2(message.contains(error), qPrintable(message));
}

// A bank's workbook as rows of text, and as typed cells (what a program
// reading back its own workbook relies on).
void TestReaders::bankWorkbook()
{
    std::unique_ptr<Workbook> book = openXlsx(fileBytes("movimenti.xlsx"));
    QCOMPARE(book->sheetNames(), (QStringList{"Note", "Conto corrente", "Carta"}));
    QVERIFY(!book->hasData(0) && book->hasData(1) && book->hasData(2));
    const Sheet sheet = book->sheet(1);
    QCOMPARE(
        shown(textRowsOf(sheet)),
        "1:Banca Esempio S.p.A. - Elenco movimenti / 2:Intestatario|Mario Rossi / "
        "3:IBAN|IT60X0542811101000000123456 / 4:Periodo|dal 01/03/2024 al 31/03/2024 / "
        "7:Data contabile|Data valuta|Descrizione|Importo|Saldo / "
        "8:2024-03-01|2024-03-01|Stipendio marzo|1500|2500 / "
        "9:2024-03-04|2024-03-04|Pagamento POS Bar Sport|-12,5|2487,5 / "
        "10:2024-03-04|2024-03-05|Addebito SDD Enel|-45,90|2441,6 / "
        "12:2024-03-15|2024-03-15|Bonifico a Bianchi|-1234,56|1207,04 / "
        "13:18/03/2024|18/03/2024|Prelievo ATM|-100,00|1107,04 / 15:Saldo finale al 31/03/2024||||1107,04");
    const SheetRow& row = sheet.rows.at(8);
    QCOMPARE(row.row, 11);
    QCOMPARE(row.cells.size(), size_t(5));
    const SheetCell& date = row.cells[0];
    QCOMPARE(date.type, SheetCell::Type::Number);
    QCOMPARE(date.number, 45366.0);
    QCOMPARE(date.shape(), NumberShape::Date);
    QCOMPARE(sheet.dateTimeOf(date.number).date(), QDate(2024, 3, 15));
    QCOMPARE(row.cells[2].type, SheetCell::Type::Text);
    QCOMPARE(row.cells[2].text, QStringLiteral("Bonifico a Bianchi"));
    QCOMPARE(row.cells[3].number, -1234.56);
    QCOMPARE(row.cells[3].numberFormat, QStringLiteral("#,##0.00"));
    QCOMPARE(row.cells[3].shape(), NumberShape::Plain);
    QCOMPARE(shapeOfFormat(u"[Red]#,##0.00\" dd\";-0"), NumberShape::Plain);
    QCOMPARE(shapeOfFormat(u"[h]:mm"), NumberShape::Time);
    QCOMPARE(shapeOfFormat(u"Standard"), NumberShape::Plain);
    QCOMPARE(sheet.merged.size(), size_t(2));
}

void TestReaders::ofxFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("transactions");
    const QString conto =
        "2024-03-01 1500,00 2024030100001 «Stipendio marzo» «Bonifico da Ditta Esempio» Accredito / "
        "2024-03-04 -12,50 2024030400002 «Caffè Bar Sport» «» Pagamento POS / "
        "2024-03-05 -45,90 2024030500003 «Addebito SDD» «Enel Energia bolletta marzo» Addebito diretto / "
        "2024-03-18 -200,00 2024031800004 «» «Prelievo bancomat» Operazione bancomat";
    const QString account = "03069 01234 000012345678 EUR";
    // A time of day late in the evening, in New York: still the bank's day wherever the computer is.
    QTest::newRow("OFX 1 SGML, Windows-1252, Rome")
        << "conto.ofx" << QByteArray("Europe/Rome") << account << "1241,60 2024-03-31" << conto;
    QTest::newRow("OFX 1 SGML, east of every bank")
        << "conto.ofx" << QByteArray("Pacific/Kiritimati") << account << "1241,60 2024-03-31" << conto;
    QTest::newRow("OFX 1 SGML, west")
        << "conto.ofx" << QByteArray("America/Los_Angeles") << account << "1241,60 2024-03-31" << conto;
    QTest::newRow("OFX 2 XML, credit card")
        << "carta.qfx" << QByteArray("Europe/Rome") << "4111222233334444 EUR"
        << "-64,20 2024-03-31"
        << "2024-03-02 -29,99 C-0001 «Libreria Centrale» «» Addebito / "
           "2024-03-10 29,99 C-0002 «Storno Libreria Centrale» «» Accredito / "
           "2024-03-12 -64,20 C-0003 «Ristorante Sale & Pepe» «Cena di lavoro» Addebito";
}

void TestReaders::ofxFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, zone);
    QFETCH(QString, account);
    QFETCH(QString, balance);
    QFETCH(QString, transactions);
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    std::vector<OfxAccount> accounts;
    const QByteArray noise = stderrOf([&] { accounts = readOfx(fileBytes(file)); });
    oldZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", oldZone);
    tzset();
    QCOMPARE(noise, QByteArray());
    QCOMPARE(accounts.size(), size_t(1));
    const OfxAccount& a = accounts[0];
    QCOMPARE(a.id + u' ' + a.currency, account);
    QVERIFY(a.ledgerBalance);
    QCOMPARE(a.ledgerBalance->toString(QLocale()) + u' ' + a.ledgerDate.toString(Qt::ISODate), balance);
    QStringList found;
    for (const OfxTransaction& t : a.transactions)
        found << QStringLiteral("%1 %2 %3 «%4» «%5» %6")
                     .arg(t.date.toString(Qt::ISODate), t.amount ? t.amount->toString(QLocale()) : "-",
                          t.reference, t.name, t.memo, t.kind);
    QCOMPARE(found.join(QStringLiteral(" / ")), transactions);
}

void TestReaders::ofxValues_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("error");
    QTest::addColumn<qint64>("lastAmount");
    QTest::newRow("as written") << QByteArray() << QByteArray() << "" << -money(200);
    QTest::newRow("grouped with a decimal comma")
        << QByteArray("-200.00") << QByteArray("-1.200,50") << "" << -money(1200, 50);
    QTest::newRow("grouped with a decimal point")
        << QByteArray("-200.00") << QByteArray("-1,200.50") << "" << -money(1200, 50);
    QTest::newRow("four decimals") << QByteArray("-200.00") << QByteArray("-0.0001") << "" << qint64(-1);
    QTest::newRow("five decimals") << QByteArray("-200.00") << QByteArray("-0.00001")
                                   << "importo non valido alla riga 60: «-0.00001»" << qint64(0);
    QTest::newRow("words") << QByteArray("-200.00") << QByteArray("duecento")
                           << "importo non valido alla riga 60: «duecento»" << qint64(0);
    QTest::newRow("nothing") << QByteArray("-200.00") << QByteArray("") << "importo non valido alla riga 60"
                             << qint64(0);
    QTest::newRow("12 digits") << QByteArray("-200.00") << QByteArray("-100000000000")
                               << "importo non valido alla riga 60" << qint64(0);
    QTest::newRow("31 February") << QByteArray("20240318") << QByteArray("20240231")
                                 << "data non valida alla riga 59: «20240231»" << qint64(0);
    QTest::newRow("a day not in OFX form")
        << QByteArray("20240318") << QByteArray("18/03/2024") << "data non valida alla riga 59" << qint64(0);
    QTest::newRow("a movement LibOFX passes over")
        << QByteArray("<STMTTRN>\r\n<TRNTYPE>ATM")
        << QByteArray("<!-- <STMTTRN> --><STMTTRN>\r\n<TRNTYPE>ATM") << "solo 4 dei suoi 5 movimenti"
        << qint64(0);
    QTest::newRow("cut short") << QByteArray("</OFX>") << QByteArray("") << "incompleto" << qint64(0);
    QTest::newRow("no statement") << QByteArray("STMTRS>") << QByteArray("XSTMTRS>")
                                  << "non contiene un estratto conto" << qint64(0);
}

void TestReaders::ofxValues()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, error);
    QFETCH(qint64, lastAmount);
    QByteArray bytes = fileBytes("conto.ofx");
    if (!from.isEmpty())
        bytes.replace(from, to);
    QString message;
    std::vector<OfxAccount> accounts;
    const QByteArray noise = stderrOf([&] { message = errorOf([&] { accounts = readOfx(bytes); }); });
    QCOMPARE(noise, QByteArray());
    QVERIFY2(error.isEmpty() ? message.isEmpty() : message.contains(error), qPrintable(message));
    if (error.isEmpty())
        QCOMPARE(accounts.at(0).transactions.back().amount->raw(), lastAmount);
}

void TestReaders::fileKinds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("refusal");
    const auto row = [](const char* name, const QByteArray& bytes, FileKind kind, const char* refusal = "") {
        QTest::newRow(name) << bytes << int(kind) << QString::fromUtf8(refusal);
    };
    const QByteArray camt =
        "<?xml version=\"1.0\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:%1\"><x/>";
    row("XLSX", fileBytes("movimenti.xlsx"), FileKind::Xlsx);
    row("XLSX downloaded halfway", fileBytes("movimenti.xlsx").left(4000), FileKind::Xlsx);
    row("XLS", fileBytes("movimenti.xls"), FileKind::Xls);
    row("OFX 1", fileBytes("conto.ofx"), FileKind::Ofx);
    row("OFX 2", fileBytes("carta.qfx"), FileKind::Ofx);
    row("OFX without header", "\r\n <ofx>\r\n<SIGNONMSGSRSV1>", FileKind::Ofx);
    row("camt.052", QByteArray(camt).replace("%1", "camt.052.001.08"), FileKind::Camt052);
    row("camt.053", fileBytes("camt053.xml"), FileKind::Camt053);
    row("camt.054", QByteArray(camt).replace("%1", "camt.054.001.02"), FileKind::Camt054);
    row("camt.054 without namespace", "<Document><BkToCstmrDbtCdtNtfctn>", FileKind::Camt054);
    row("CSV", fileBytes("preambolo.csv"), FileKind::Text);
    row("CSV in UTF-16",
        "\xFF\xFE"
        "D\0a\0t\0a\0;\0",
        FileKind::Text);
    row("PDF", "%PDF-1.7\n%\xE2\xE3", FileKind::Pdf, "è un PDF");
    row("QIF", "!Type:Bank\nD03/01/2024\nT-12.50\n^\n", FileKind::Qif, "è in formato QIF");
    row("MT940", ":20:STARTUMS\r\n:25:12345678/0012345678\r\n:28C:1/1\r\n", FileKind::Mt940,
        "è un estratto conto MT940");
    row("MT940 with SWIFT blocks", "{1:F01BANKDEFFXXXX0000000000}{2:O940}", FileKind::Mt940, "MT940");
    row("HTML named .xls", "<html><body><table><tr><td>Data</td>", FileKind::Html, "pagina web (HTML)");
    row("Excel 2003 XML",
        "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">",
        FileKind::SpreadsheetXml, "Excel 2003");
    row("ODS",
        zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", "<x/>"}}),
        FileKind::Ods, "OpenDocument");
    row("XLSB", zipOf({{"xl/workbook.bin", "\x83\x01"}}), FileKind::Xlsb, "binaria di Excel (.xlsb)");
    row("other ZIP", zipOf({{"estratto.csv", "Data;Importo"}}), FileKind::OtherZip, "archivio compresso");
    row("other XML", "<?xml version=\"1.0\"?><rss><channel/></rss>", FileKind::OtherXml,
        "non è un estratto conto ISO 20022");
}

void TestReaders::fileKinds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(QString, refusal);
    QCOMPARE(int(kindOf(bytes)), kind);
    const QString message = refusalOf(FileKind(kind), QStringLiteral("«x»"));
    QCOMPARE(message.isEmpty(), refusal.isEmpty());
    QVERIFY2(message.contains(refusal), qPrintable(message));
}

// Every kind through readStatement: the sheet read, the days and the texts.
void TestReaders::statements_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("sheets");    // with data, * on the one read
    QTest::addColumn<QString>("movements"); // the first, the second and the last
    const auto row = [](const char* name, const char* file, const char* sheet, Statement::Kind kind,
                        const char* sheets, const char* movements, const QByteArray& from = {},
                        const QByteArray& to = {}) {
        QTest::newRow(name) << file << sheet << from << to << int(kind) << sheets
                            << QString::fromUtf8(movements);
    };
    row("XLSX, the first sheet with data", "movimenti.xlsx", "", Statement::Kind::Xlsx,
        "*Conto corrente,Carta",
        "01/03/2024 1500,00 Stipendio marzo / 04/03/2024 -12,50 Pagamento POS Bar Sport / "
        "18/03/2024 -100,00 Prelievo ATM");
    row("XLSX, the sheet chosen", "movimenti.xlsx", "Carta", Statement::Kind::Xlsx, "Conto corrente,*Carta",
        "02/03/2024 -29,99 Libreria Centrale / 10/03/2024 29,99 Storno Libreria Centrale / "
        "12/03/2024 -64,20 Ristorante Da Mario");
    const char* base1904 = "29/02/2024 250,00 Versamento contanti / 01/03/2024 -2,50 Canone mensile / "
                           "04/03/2024 -0,75 Commissioni";
    row("XLSX, 1904 base", "movimenti-1904.xlsx", "", Statement::Kind::Xlsx, "*Movimenti", base1904);
    row("XLS", "movimenti.xls", "", Statement::Kind::Xls, "*Movimenti", base1904);
    row("XLS, a sheet of notes passed over", "legenda.xls", "", Statement::Kind::Xls, "Legenda,*Movimenti",
        "02/04/2024 300,00 Bonifico da Neri / 05/04/2024 -18,40 Pagamento POS Farmacia / "
        "05/04/2024 -18,40 Pagamento POS Farmacia");
    row("OFX 1", "conto.ofx", "", Statement::Kind::Ofx, "",
        "01/03/2024 1500,00 Stipendio marzo - Bonifico da Ditta Esempio / 04/03/2024 -12,50 Caffè Bar Sport "
        "/ "
        "18/03/2024 -200,00 Prelievo bancomat");
    row("OFX 1, neither NAME nor MEMO: the kind", "conto.ofx", "", Statement::Kind::Ofx, "",
        "01/03/2024 1500,00 Stipendio marzo - Bonifico da Ditta Esempio / 04/03/2024 -12,50 Pagamento POS / "
        "18/03/2024 -200,00 Prelievo bancomat",
        "<NAME>Caff\xE8 Bar Sport\r\n", "");
    row("OFX 1, no text at all", "conto.ofx", "", Statement::Kind::Ofx, "",
        "01/03/2024 1500,00 Stipendio marzo - Bonifico da Ditta Esempio / 04/03/2024 -12,50 Caffè Bar Sport "
        "/ "
        "18/03/2024 -200,00 rifiutato: nessun testo: né descrizione (NAME, MEMO), né tipo, né riferimento",
        "<TRNTYPE>ATM\r\n<DTPOSTED>20240318\r\n<TRNAMT>-200.00\r\n<FITID>2024031800004\r\n<MEMO>Prelievo "
        "bancomat\r\n",
        "<TRNTYPE>OTHER\r\n<DTPOSTED>20240318\r\n<TRNAMT>-200.00\r\n");
    row("camt.052", "camt052.xml", "", Statement::Kind::Camt052, "",
        "10/09/2024 -120,50 Einkauf Lebensmittel / 11/09/2024 2000,00 Gutschrift Lohn September / "
        "11/09/2024 2000,00 Gutschrift Lohn September");
    row("camt.054", "camt054.xml", "", Statement::Kind::Camt054, "",
        "01/10/2024 350,00 Rimborso spese / 02/10/2024 -89,90 Addebito SDD assicurazione / "
        "02/10/2024 -89,90 Addebito SDD assicurazione");
    row("camt.054, no text at all", "camt054.xml", "", Statement::Kind::Camt054, "",
        "01/10/2024 350,00 Rimborso spese / 02/10/2024 -89,90 rifiutato: nessun testo: né causale, né "
        "controparte, né riferimento / 02/10/2024 -89,90 rifiutato: nessun testo: né causale, né "
        "controparte, "
        "né riferimento",
        "<AcctSvcrRef>N54-0002</AcctSvcrRef>\n        <AddtlNtryInf>Addebito SDD "
        "assicurazione</AddtlNtryInf>",
        "");
}

void TestReaders::statements()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, kind);
    QFETCH(QString, sheets);
    QFETCH(QString, movements);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QFile copy(path);
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(from.isEmpty() ? fileBytes(file) : fileBytes(file).replace(from, to));
    copy.close();
    ReadOptions options;
    options.sheet = sheet;
    const Statement s = readStatement(path, options);
    QCOMPARE(int(s.kind), kind);
    QStringList found;
    for (const QString& name : s.sheets)
        found << (name == s.sheet ? u'*' + name : name);
    QCOMPARE(found.join(u','), sheets);
    QVERIFY(s.movements.size() >= 2);
    found.clear();
    for (const Movement* m : {&s.movements[0], &s.movements[1], &s.movements.back()})
        found << m->date.toString(QStringLiteral("dd/MM/yyyy")) + u' ' + m->amount.toString() + u' ' +
                     (m->isRefused() ? QStringLiteral("rifiutato: ") + m->refusal : m->description);
    QCOMPARE(found.join(QStringLiteral(" / ")), movements);
}

QTEST_GUILESS_MAIN(TestReaders)
#include "test_readers.moc"
