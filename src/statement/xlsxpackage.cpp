#include "statement/xlsxpackage.h"

#include "statement/sheet.h"
#include "statement/statement.h"

#include <quazipfileinfo.h>

#include <QDir>

namespace movilibro::statement::xlsx {

namespace {

// Far beyond the XML of any statement; a bigger part would only fill the
// memory (the archive reads no more than the size it declares).
constexpr quint64 LargestPart = 256 * 1024 * 1024;

[[noreturn]] void broken(const QString& why)
{
    throw StatementError(QStringLiteral("Il file Excel (.xlsx) non è leggibile: %1.").arg(why));
}

// The formats every workbook has without listing them.
QString builtinFormat(int id)
{
    static const QHash<int, QString> Codes{{0, "General"},
                                           {1, "0"},
                                           {2, "0.00"},
                                           {3, "#,##0"},
                                           {4, "#,##0.00"},
                                           {9, "0%"},
                                           {10, "0.00%"},
                                           {11, "0.00E+00"},
                                           {12, "# ?/?"},
                                           {13, "# ?\?/??"},
                                           {14, "dd/mm/yyyy"},
                                           {15, "d-mmm-yy"},
                                           {16, "d-mmm"},
                                           {17, "mmm-yy"},
                                           {18, "h:mm AM/PM"},
                                           {19, "h:mm:ss AM/PM"},
                                           {20, "h:mm"},
                                           {21, "h:mm:ss"},
                                           {22, "dd/mm/yyyy h:mm"},
                                           {37, "#,##0 ;(#,##0)"},
                                           {38, "#,##0 ;[Red](#,##0)"},
                                           {39, "#,##0.00;(#,##0.00)"},
                                           {40, "#,##0.00;[Red](#,##0.00)"},
                                           {45, "mm:ss"},
                                           {46, "[h]:mm:ss"},
                                           {47, "mmss.0"},
                                           {48, "##0.0E+0"},
                                           {49, "@"}};
    if (const auto it = Codes.find(id); it != Codes.end())
        return *it;
    // 27 to 36 and 50 to 58: dates in the forms of East Asian locales.
    if ((id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return QStringLiteral("yyyy-mm-dd");
    return QStringLiteral("General");
}

QString resolved(const QString& source, const QString& target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = source.lastIndexOf(u'/');
    return QDir::cleanPath(slash < 0 ? target : source.left(slash + 1) + target);
}

// "_x000D_" stands for a character XML cannot hold; "_x005F_" for "_".
QString decodedEscapes(const QString& text)
{
    if (!text.contains(u"_x"))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        const ushort code = text.mid(i, 2) == u"_x" && i + 6 < text.size() && text[i + 6] == u'_'
                                ? text.mid(i + 2, 4).toUShort(&ok, 16)
                                : 0;
        if (ok) {
            out += QChar(code);
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

Package::Package(const QByteArray& bytes) : m_bytes(bytes), m_buffer(&m_bytes), m_zip(&m_buffer)
{
    if (!m_zip.open(QuaZip::mdUnzip))
        broken(QStringLiteral("non è un archivio ZIP integro"));
}

bool Package::contains(const QString& path)
{
    return m_zip.setCurrentFile(path, QuaZip::csInsensitive);
}

Part::Part(Package& package, const QString& path) : m_path(path), m_file(&package.zip())
{
    if (!package.contains(path))
        broken(QStringLiteral("manca la parte %1").arg(path));
    QuaZipFileInfo64 info;
    if (!package.zip().getCurrentFileInfo(&info))
        broken(QStringLiteral("la parte %1 è danneggiata").arg(path));
    if (info.uncompressedSize > LargestPart)
        broken(QStringLiteral("la parte %1 supera i 256 MiB").arg(path));
    if (!m_file.open(QIODevice::ReadOnly))
        broken(QStringLiteral("la parte %1 è cifrata o danneggiata").arg(path));
    m_xml.setDevice(&m_file);
}

void Part::finish()
{
    const bool xmlBroken = m_xml.hasError() && m_xml.error() != QXmlStreamReader::CustomError;
    const QString xmlError = m_xml.errorString();
    const qint64 line = m_xml.lineNumber();
    const int readError = m_file.getZipError();
    m_file.close();
    if (readError != UNZ_OK || m_file.getZipError() != UNZ_OK)
        broken(QStringLiteral("la parte %1 è danneggiata o incompleta").arg(m_path));
    if (xmlBroken)
        broken(QStringLiteral("XML non valido in %1, riga %2 (%3)").arg(m_path).arg(line).arg(xmlError));
}

Relationships readRelationships(Package& package, const QString& source)
{
    const qsizetype slash = source.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : source.left(slash + 1);
    const QString path = folder + QStringLiteral("_rels/") + source.mid(slash + 1) + QStringLiteral(".rels");
    Relationships rels;
    if (!package.contains(path))
        return rels;
    Part part(package, path);
    QXmlStreamReader& xml = part.xml();
    while (hasMore(xml)) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        if (attribute(xml, u"TargetMode") == u"External")
            continue;
        const QString target = resolved(source, attribute(xml, u"Target"));
        const QString type = attribute(xml, u"Type");
        rels.byId.insert(attribute(xml, u"Id"), target);
        rels.byType.insert(type.mid(type.lastIndexOf(u'/') + 1), target);
    }
    part.finish();
    return rels;
}

QString attribute(const QXmlStreamReader& xml, QStringView localName)
{
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        if (a.name() == localName)
            return a.value().toString();
    }
    return {};
}

QString readStringItem(QXmlStreamReader& xml)
{
    QString text;
    for (int depth = 1; depth > 0 && hasMore(xml);) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"t")
                text += xml.readElementText();
            else if (xml.name() == u"rPh" || xml.name() == u"phoneticPr")
                xml.skipCurrentElement();
            else
                ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return decodedEscapes(text);
}

Styles::Styles(Package& package, const QString& path)
{
    Part part(package, path);
    QXmlStreamReader& xml = part.xml();
    bool inCellFormats = false;
    while (hasMore(xml)) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellFormats = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"numFmt")
            m_codes.insert(attribute(xml, u"numFmtId").toInt(), attribute(xml, u"formatCode"));
        else if (xml.name() == u"cellXfs")
            inCellFormats = true;
        else if (xml.name() == u"xf" && inCellFormats)
            m_formats.push_back(attribute(xml, u"numFmtId").toInt());
    }
    part.finish();
}

QString Styles::formatOf(int style) const
{
    if (style < 0 || size_t(style) >= m_formats.size())
        return builtinFormat(0);
    const int id = m_formats[size_t(style)];
    return m_codes.value(id, builtinFormat(id));
}

QStringList readSharedStrings(Package& package, const QString& path)
{
    QStringList strings;
    Part part(package, path);
    QXmlStreamReader& xml = part.xml();
    while (hasMore(xml)) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"si")
            continue;
        if (strings.size() >= LargestSheet)
            broken(QStringLiteral("troppi testi (oltre %1)").arg(LargestSheet));
        strings << readStringItem(xml);
    }
    part.finish();
    return strings;
}

bool readCellReference(QStringView ref, int& column, int& row)
{
    qsizetype i = 0;
    int col = 0;
    for (; i < ref.size() && i < 3 && ref[i].isLetter() && ref[i].unicode() < 128; ++i)
        col = col * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
    bool ok = false;
    const int number = ref.mid(i).toInt(&ok);
    // The largest sheet: 16,384 columns (XFD) by 1,048,576 rows.
    if (i == 0 || !ok || col > 16384 || number < 1 || number > 1048576 || !ref[i].isDigit())
        return false;
    column = col - 1;
    row = number - 1;
    return true;
}

} // namespace movilibro::statement::xlsx
