#include "statement/xlsxreader.h"

#include "statement/statement.h"
#include "statement/xlsxpackage.h"

#include <QDateTime>

#include <algorithm>
#include <optional>

namespace movilibro::statement {

using namespace xlsx;

namespace {

struct SheetEntry
{
    QString name, path;
};

QString mainPartOf(Package& package)
{
    const QString main = readRelationships(package, {}).byType.value(QStringLiteral("officeDocument"));
    return main.isEmpty() ? QStringLiteral("xl/workbook.xml") : main;
}

// A serial number counted from the workbook's first day.
double serialOf(const QDateTime& when, bool date1904)
{
    const QDateTime epoch(date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const double serial = double(epoch.secsTo(QDateTime(when.date(), when.time(), Qt::UTC))) / 86400;
    return !date1904 && serial < 61 ? serial - 1 : serial;
}

class SheetParser
{
public:
    SheetParser(QXmlStreamReader& xml, const QStringList* strings, const Styles* styles, bool date1904)
        : m_xml(xml), m_strings(strings), m_styles(styles), m_date1904(date1904)
    {}

    // Reads the rows; with `firstValueOnly`, stops at the first cell with a
    // value and returns whether there is one.
    bool read(Sheet* sheet)
    {
        while (hasMore(m_xml)) {
            if (m_xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (m_xml.name() == u"row") {
                bool ok = false;
                const int r = attribute(m_xml, u"r").toInt(&ok);
                m_row = ok && r >= 1 && r <= 1048576 ? r - 1 : m_row + 1;
                m_column = -1;
            } else if (m_xml.name() == u"c") {
                std::optional<SheetCell> cell = readCell();
                if (!cell)
                    continue;
                if (!sheet)
                    return true;
                add(*sheet, std::move(*cell));
            } else if (m_xml.name() == u"mergeCell" && sheet) {
                addMerge(*sheet, attribute(m_xml, u"ref"));
            }
        }
        if (sheet)
            tidy(*sheet);
        return false;
    }

private:
    std::optional<SheetCell> readCell()
    {
        SheetCell cell;
        int row = m_row;
        const QXmlStreamAttributes attributes = m_xml.attributes();
        if (!readCellReference(attributes.value(QLatin1String("r")), cell.column, row))
            cell.column = m_column + 1;
        m_column = cell.column;
        const QString type = attributes.value(QLatin1String("t")).toString();
        const int style = attributes.value(QLatin1String("s")).toInt();
        QString value;
        bool hasValue = false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"v") {
                value = m_xml.readElementText();
                hasValue = !value.isEmpty();
            } else if (m_xml.name() == u"is") {
                value = readStringItem(m_xml);
                hasValue = true;
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (!hasValue)
            return std::nullopt;
        if (!m_strings) // only asked whether there is a value
            return cell;
        fill(cell, type, value, style);
        if (cell.type == SheetCell::Type::Text && cell.text.isEmpty())
            return std::nullopt;
        return cell;
    }

    void fill(SheetCell& cell, const QString& type, const QString& value, int style)
    {
        if (type == u"s") {
            bool ok = false;
            const int index = value.toInt(&ok);
            cell.text = ok && index >= 0 && index < m_strings->size() ? m_strings->at(index) : QString();
        } else if (type == u"inlineStr" || type == u"str") {
            cell.text = value;
        } else if (type == u"b") {
            cell.type = SheetCell::Type::Boolean;
            cell.number = value.trimmed() == u"1" ? 1 : 0;
        } else if (type == u"e") {
            cell.type = SheetCell::Type::Error;
            cell.text = value;
        } else if (type == u"d") {
            readIsoDate(cell, value, style);
        } else {
            readNumber(cell, value, style);
        }
    }

    void readNumber(SheetCell& cell, const QString& value, int style)
    {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            cell.text = value; // what a broken writer put there, shown as it is
            return;
        }
        cell.type = SheetCell::Type::Number;
        cell.number = number;
        cell.numberFormat = m_styles->formatOf(style);
    }

    // A date written as ISO 8601 text: kept as the serial it stands for.
    void readIsoDate(SheetCell& cell, const QString& value, int style)
    {
        QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODate);
        if (!when.isValid())
            when = QDateTime(QDate::fromString(value.trimmed(), Qt::ISODate), QTime(0, 0), Qt::UTC);
        if (!when.isValid()) {
            cell.text = value;
            return;
        }
        cell.type = SheetCell::Type::Number;
        cell.number = serialOf(when, m_date1904);
        cell.numberFormat = m_styles->formatOf(style);
        if (cell.shape() == NumberShape::Plain)
            cell.numberFormat = when.time() == QTime(0, 0) ? QStringLiteral("yyyy-mm-dd")
                                                           : QStringLiteral("yyyy-mm-dd hh:mm:ss");
    }

    void add(Sheet& sheet, SheetCell&& cell)
    {
        if (++m_cells > LargestSheet)
            throw StatementError(QStringLiteral("Il foglio «%1» ha più di %2 celle: non è un estratto conto.")
                                     .arg(sheet.name)
                                     .arg(LargestSheet));
        if (sheet.rows.empty() || sheet.rows.back().row != m_row)
            sheet.rows.push_back(SheetRow{m_row, {}});
        sheet.rows.back().cells.push_back(std::move(cell));
    }

    void addMerge(Sheet& sheet, const QString& ref)
    {
        const qsizetype colon = ref.indexOf(u':');
        CellRange range;
        if (colon < 0 ||
            !readCellReference(QStringView(ref).left(colon), range.firstColumn, range.firstRow) ||
            !readCellReference(QStringView(ref).mid(colon + 1), range.lastColumn, range.lastRow))
            return;
        if (range.lastRow >= range.firstRow && range.lastColumn >= range.firstColumn)
            sheet.merged.push_back(range);
    }

    // Rows and cells in order, whatever order the file wrote them in.
    static void tidy(Sheet& sheet)
    {
        std::stable_sort(sheet.rows.begin(), sheet.rows.end(),
                         [](const SheetRow& a, const SheetRow& b) { return a.row < b.row; });
        for (SheetRow& r : sheet.rows)
            std::stable_sort(r.cells.begin(), r.cells.end(),
                             [](const SheetCell& a, const SheetCell& b) { return a.column < b.column; });
    }

    QXmlStreamReader& m_xml;
    const QStringList* m_strings;
    const Styles* m_styles;
    bool m_date1904;
    int m_row = -1, m_column = -1;
    qint64 m_cells = 0;
};

class XlsxWorkbook : public Workbook
{
public:
    explicit XlsxWorkbook(const QByteArray& bytes) : m_package(bytes)
    {
        m_main = mainPartOf(m_package);
        const Relationships rels = readRelationships(m_package, m_main);
        m_stylesPath = rels.byType.value(QStringLiteral("styles"));
        m_stringsPath = rels.byType.value(QStringLiteral("sharedStrings"));
        readWorkbook(rels);
    }

    QStringList sheetNames() const override
    {
        QStringList names;
        for (const SheetEntry& s : m_sheets)
            names << s.name;
        return names;
    }

    bool hasData(int index) override
    {
        Part part(m_package, entry(index).path);
        const bool found = SheetParser(part.xml(), nullptr, nullptr, m_date1904).read(nullptr);
        if (!found)
            part.finish();
        return found;
    }

    Sheet sheet(int index) override
    {
        loadSharedParts();
        Sheet s;
        s.name = entry(index).name;
        s.date1904 = m_date1904;
        Part part(m_package, entry(index).path);
        SheetParser(part.xml(), &m_strings, &m_styles, m_date1904).read(&s);
        part.finish();
        return s;
    }

private:
    void readWorkbook(const Relationships& rels)
    {
        Part part(m_package, m_main);
        QXmlStreamReader& xml = part.xml();
        std::vector<SheetEntry> hidden;
        while (hasMore(xml)) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"workbookPr") {
                const QString base = attribute(xml, u"date1904");
                m_date1904 = base == u"1" || base == u"true";
            } else if (xml.name() == u"sheet") {
                const QString path = rels.byId.value(attribute(xml, u"id"));
                if (path.isEmpty())
                    continue;
                const bool visible =
                    attribute(xml, u"state").isEmpty() || attribute(xml, u"state") == u"visible";
                (visible ? m_sheets : hidden).push_back(SheetEntry{attribute(xml, u"name"), path});
            }
        }
        part.finish();
        // A workbook whose every sheet is hidden still shows them.
        if (m_sheets.empty())
            m_sheets = hidden;
        if (m_sheets.empty())
            throw StatementError(QStringLiteral("Il file Excel (.xlsx) non ha fogli."));
    }

    void loadSharedParts()
    {
        if (m_loaded)
            return;
        if (!m_stringsPath.isEmpty() && m_package.contains(m_stringsPath))
            m_strings = readSharedStrings(m_package, m_stringsPath);
        if (!m_stylesPath.isEmpty() && m_package.contains(m_stylesPath))
            m_styles = Styles(m_package, m_stylesPath);
        m_loaded = true;
    }

    const SheetEntry& entry(int index) const { return m_sheets.at(size_t(index)); }

    Package m_package;
    QString m_main, m_stylesPath, m_stringsPath;
    std::vector<SheetEntry> m_sheets;
    bool m_date1904 = false;
    bool m_loaded = false;
    QStringList m_strings;
    Styles m_styles;
};

} // namespace

bool isXlsxPackage(const QByteArray& bytes)
{
    if (!bytes.startsWith("PK\x03\x04"))
        return false;
    try {
        Package package(bytes);
        const QString main = mainPartOf(package);
        // An Excel binary workbook (.xlsb) keeps its parts in another format.
        return main.endsWith(u".xml", Qt::CaseInsensitive) && package.contains(main);
    } catch (const StatementError&) {
        return false;
    }
}

std::unique_ptr<Workbook> openXlsx(const QByteArray& bytes)
{
    return std::make_unique<XlsxWorkbook>(bytes);
}

} // namespace movilibro::statement
