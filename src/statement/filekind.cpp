#include "statement/filekind.h"

#include "statement/statement.h"
#include "statement/xlsreader.h"
#include "statement/xlsxpackage.h"
#include "statement/xlsxreader.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace movilibro::statement {

namespace {

// What the start of a file tells is in its first few kilobytes.
constexpr qsizetype Head = 4096;

FileKind zipKind(const QByteArray& bytes)
{
    if (isXlsxPackage(bytes))
        return FileKind::Xlsx;
    try {
        xlsx::Package package(bytes);
        if (package.contains(QStringLiteral("xl/workbook.bin")))
            return FileKind::Xlsb;
        if (package.contains(QStringLiteral("mimetype"))) {
            QuaZipFile file(&package.zip());
            if (file.open(QIODevice::ReadOnly) &&
                file.read(64).startsWith("application/vnd.oasis.opendocument.spreadsheet"))
                return FileKind::Ods;
        }
        return FileKind::OtherZip;
    } catch (const StatementError&) {
        // A workbook downloaded halfway is the likeliest broken ZIP: the XLSX
        // reader says what is wrong with it.
        return FileKind::Xlsx;
    }
}

// The root element and its first child name the document.
FileKind xmlKind(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes.left(64 * 1024));
    QString root;
    while (!xml.atEnd() && !xml.hasError()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::ProcessingInstruction && xml.processingInstructionTarget() == u"OFX")
            return FileKind::Ofx;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString ns = xml.namespaceUri().toString();
        const QString name = xml.name().toString();
        for (const auto& [code, kind] :
             {std::pair{u"camt.052", FileKind::Camt052}, std::pair{u"camt.053", FileKind::Camt053},
              std::pair{u"camt.054", FileKind::Camt054}}) {
            if (ns.contains(code))
                return kind;
        }
        if (name == u"BkToCstmrAcctRpt")
            return FileKind::Camt052;
        if (name == u"BkToCstmrStmt")
            return FileKind::Camt053;
        if (name == u"BkToCstmrDbtCdtNtfctn")
            return FileKind::Camt054;
        if (name.compare(u"OFX", Qt::CaseInsensitive) == 0)
            return FileKind::Ofx;
        if (name.compare(u"html", Qt::CaseInsensitive) == 0)
            return FileKind::Html;
        if (ns == u"urn:schemas-microsoft-com:office:spreadsheet")
            return FileKind::SpreadsheetXml;
        if (!root.isEmpty())
            break;
        root = name;
    }
    return FileKind::OtherXml;
}

QString headText(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(Head);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(head.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                           : QStringConverter::Utf16BE);
        return QString(decoder(head.mid(2)));
    }
    return QString::fromLatin1(head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head);
}

// SWIFT MT940: ":20:" (the statement's reference) and the tags of its account,
// balances or lines, each at the start of a line.
bool looksLikeMt940(const QString& text)
{
    static const QRegularExpression reference(QStringLiteral(R"((^|\n)\s*:20:)"));
    static const QRegularExpression body(QStringLiteral(R"((^|\n)\s*:(25|28C|60F|60M|61):)"));
    return text.startsWith(u"{1:") || (reference.match(text).hasMatch() && body.match(text).hasMatch());
}

FileKind textKind(const QByteArray& bytes)
{
    const QString text = headText(bytes);
    const QString start = text.trimmed().left(64).toUpper();
    if (start.startsWith(u"OFXHEADER") || start.startsWith(u"<OFX>"))
        return FileKind::Ofx;
    if (start.startsWith(u"<!DOCTYPE HTML") || start.startsWith(u"<HTML") || start.startsWith(u"<TABLE") ||
        start.startsWith(u"<META"))
        return FileKind::Html;
    if (start.startsWith(u'<'))
        return xmlKind(bytes);
    if (start.startsWith(u"!TYPE:") || start.startsWith(u"!ACCOUNT") || start.startsWith(u"!OPTION"))
        return FileKind::Qif;
    if (looksLikeMt940(text))
        return FileKind::Mt940;
    return FileKind::Text;
}

} // namespace

FileKind kindOf(const QByteArray& bytes)
{
    if (bytes.startsWith("PK\x03\x04"))
        return zipKind(bytes);
    if (isCompoundDocument(bytes))
        return FileKind::Xls;
    // A PDF may have a few bytes before its mark.
    if (bytes.left(1024).contains("%PDF-"))
        return FileKind::Pdf;
    return textKind(bytes);
}

QString refusalOf(FileKind kind, const QString& shownName)
{
    const QString instead = QStringLiteral(" Scaricare dalla banca i movimenti in un altro formato: Excel "
                                           "(.xlsx, .xls), CSV, OFX o ISO 20022 (camt.052, camt.053, "
                                           "camt.054).");
    switch (kind) {
    case FileKind::Pdf:
        return QStringLiteral("Il file %1 è un PDF, fatto per essere letto o stampato: il programma non "
                              "ne ricava i movimenti.")
                   .arg(shownName) +
               instead;
    case FileKind::Qif:
        return QStringLiteral("Il file %1 è in formato QIF, che il programma non legge.").arg(shownName) +
               instead;
    case FileKind::Mt940:
        return QStringLiteral("Il file %1 è un estratto conto MT940 (SWIFT), che il programma non legge.")
                   .arg(shownName) +
               instead;
    case FileKind::Html:
        return QStringLiteral("Il file %1 è una pagina web (HTML), anche se il suo nome dice altro: "
                              "aprirlo con un foglio di calcolo e salvarlo come .xlsx o .csv.")
            .arg(shownName);
    case FileKind::Xlsb:
        return QStringLiteral("Il file %1 è una cartella di lavoro binaria di Excel (.xlsb): salvarlo come "
                              ".xlsx o .csv e importare quello.")
            .arg(shownName);
    case FileKind::Ods:
        return QStringLiteral("Il file %1 è un foglio di calcolo OpenDocument (.ods): salvarlo come .xlsx "
                              "o .csv e importare quello.")
            .arg(shownName);
    case FileKind::SpreadsheetXml:
        return QStringLiteral("Il file %1 è un foglio XML di Excel 2003: salvarlo come .xlsx o .csv e "
                              "importare quello.")
            .arg(shownName);
    case FileKind::OtherZip:
        return QStringLiteral("Il file %1 è un archivio compresso (ZIP) che non contiene un foglio Excel: "
                              "estrarne prima l'estratto conto.")
            .arg(shownName);
    case FileKind::OtherXml:
        return QStringLiteral("Il file %1 è un XML che non è un estratto conto ISO 20022 (camt.052, "
                              "camt.053, camt.054) né un file OFX.")
            .arg(shownName);
    default:
        return {};
    }
}

} // namespace movilibro::statement
