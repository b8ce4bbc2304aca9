#pragma once

#include <QBuffer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <quazip.h>
#include <quazipfile.h>

#include <memory>
#include <vector>

// The parts of an Office Open XML package and the small ones every sheet
// needs: relationships, number formats, shared strings.
namespace movilibro::statement::xlsx {

// Bytes the archive reads: a broken archive seeks past their end, which is
// refused without the warning QBuffer would print.
class ArchiveBuffer : public QBuffer
{
public:
    using QBuffer::QBuffer;
    bool seek(qint64 pos) override { return pos >= 0 && pos <= size() && QBuffer::seek(pos); }
};

// The ZIP package, read from memory.
class Package
{
public:
    // Throws StatementError when the bytes are no ZIP archive.
    explicit Package(const QByteArray& bytes);
    bool contains(const QString& path);
    QuaZip& zip() { return m_zip; }

private:
    QByteArray m_bytes;
    ArchiveBuffer m_buffer;
    QuaZip m_zip;
};

// One part opened for reading, its XML streamed from the archive. Only one
// part of a package can be open at a time.
class Part
{
public:
    // Throws StatementError when the part is missing or too big.
    Part(Package& package, const QString& path);
    QXmlStreamReader& xml() { return m_xml; }
    // Throws StatementError when the XML or the archive under it is broken.
    void finish();

private:
    QString m_path;
    QuaZipFile m_file;
    QXmlStreamReader m_xml;
};

// Where the relationships of a part point, by id ("rId3"), and the targets of
// a type ending ("/worksheet"), as package paths.
struct Relationships
{
    QHash<QString, QString> byId;
    QHash<QString, QString> byType; // the last word of the type URI
};
// The relationships of `source` ("xl/workbook.xml"; "" for the package);
// none when the package has no such part.
Relationships readRelationships(Package& package, const QString& source);

// False at the end of the document and at the first error: a reader left to
// itself waits for more data after a document that stops short.
inline bool hasMore(const QXmlStreamReader& xml)
{
    return !xml.atEnd() && !xml.hasError();
}

// The value of an attribute given by its local name, whatever its prefix.
QString attribute(const QXmlStreamReader& xml, QStringView localName);

// A string item (<si>, <is>): its runs joined, phonetic hints left out,
// "_x000D_" escapes decoded.
QString readStringItem(QXmlStreamReader& xml);

// The number format of each cell style.
class Styles
{
public:
    Styles() = default;
    Styles(Package& package, const QString& path);
    // "General" for a style the part does not list.
    QString formatOf(int style) const;

private:
    QHash<int, QString> m_codes;
    std::vector<int> m_formats; // numFmtId by cellXfs index
};

QStringList readSharedStrings(Package& package, const QString& path);

// A cell reference ("AB12") as 0-based column and row; false when malformed.
bool readCellReference(QStringView ref, int& column, int& row);

} // namespace movilibro::statement::xlsx
