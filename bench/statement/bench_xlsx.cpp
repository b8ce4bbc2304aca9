// A bank statement of 10,000 rows as an XLSX workbook, as Italian banks give
// them: a preamble, dates as serial numbers, amounts as numbers, a running
// balance. Read and its columns detected as a CSV table's are.
#include "statement/statement.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <quazip.h>
#include <quazipfile.h>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace movilibro;

namespace {

constexpr int Rows = 10000;

QByteArray workbook()
{
    const char* rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    QByteArray sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Banca Esempio - Elenco movimenti</t></is></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>IBAN</t></is></c><c r=\"B2\" t=\"inlineStr\">"
        "<is><t>IT60X0542811101000000123456</t></is></c></row><row r=\"4\">";
    QByteArray strings = "<sst>";
    const char* headers[] = {"Data contabile", "Data valuta", "Descrizione operazione", "Importo", "Saldo"};
    for (int c = 0; c < 5; ++c) {
        sheet +=
            QStringLiteral("<c r=\"%1%2\" t=\"s\"><v>%3</v></c>").arg(QChar(u'A' + c)).arg(4).arg(c).toUtf8();
        strings += QByteArray("<si><t>") + headers[c] + "</t></si>";
    }
    sheet += "</row>";
    qint64 balance = 1000000; // cents
    for (int i = 0; i < Rows; ++i) {
        const int row = i + 5;
        const int serial = 40179 + i * 365 / Rows; // through 2010
        const qint64 cents = i % 7 == 0 ? 150000 + i : -(1000 + i * 13 % 9000);
        balance += cents;
        strings += QStringLiteral("<si><t>Pagamento POS negozio \"Città\" %1</t></si>")
                       .arg(i)
                       .toHtmlEscaped()
                       .toUtf8();
        sheet += QStringLiteral(
                     "<row r=\"%1\"><c r=\"A%1\" s=\"1\"><v>%2</v></c><c r=\"B%1\" s=\"1\"><v>%2</v></c>"
                     "<c r=\"C%1\" t=\"s\"><v>%3</v></c><c r=\"D%1\" s=\"2\"><v>%4</v></c>"
                     "<c r=\"E%1\" s=\"2\"><v>%5</v></c></row>")
                     .arg(row)
                     .arg(serial)
                     .arg(i + 5)
                     .arg(double(cents) / 100, 0, 'f', 2)
                     .arg(double(balance) / 100, 0, 'f', 2)
                     .toUtf8();
    }
    sheet += "</sheetData></worksheet>";
    strings += "</sst>";
    const QList<std::pair<QString, QByteArray>> parts{
        {"xl/workbook.xml", QByteArray("<workbook xmlns:r=\"") + rel +
                                "\"><sheets><sheet name=\"Movimenti\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         QByteArray("<Relationships><Relationship Id=\"rId1\" Type=\"") + rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel +
             "/styles\" Target=\"styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/styles.xml", "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"4\"/>"
                          "</cellXfs></styleSheet>"},
        {"xl/sharedStrings.xml", strings},
        {"xl/worksheets/sheet1.xml", sheet}};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto& [name, content] : parts) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        file.write(content);
    }
    zip.close();
    return bytes;
}

// The workbook as a file, as the user picks it.
const QString& workbookFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.path() + QStringLiteral("/Movimenti_Conto.xlsx");
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(workbook());
        return file;
    }();
    return path;
}

// Read, the header found after the preamble, the columns detected (the
// running balance told from the amount) and every row read as a movement.
void BM_ReadXlsxStatement(benchmark::State& state)
{
    const QString& file = workbookFile();
    for (auto _ : state) {
        const statement::Statement s = statement::readStatement(file);
        if (s.movements.size() != Rows || !s.layout.roles.contains(statement::ColumnRole::Balance))
            state.SkipWithError("not every row read, or the balance not found");
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["fileKB"] = double(QFileInfo(file).size()) / 1024;
    state.counters["peakRssMB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_ReadXlsxStatement)->Unit(benchmark::kMillisecond);

} // namespace
