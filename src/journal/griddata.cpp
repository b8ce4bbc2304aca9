#include "journal/griddata.h"

#include <stdexcept>

namespace movilibro::journal {

namespace {

qint64 julianDay(const QDate& date)
{
    return date.isValid() ? date.toJulianDay() : QDate().toJulianDay();
}

} // namespace

void GridData::Column::resize(int rows)
{
    switch (type) {
    case ColumnType::Text:
        if (pooled)
            ids.resize(rows, 0);
        else
            texts.resize(rows);
        break;
    case ColumnType::Date:
        numbers.resize(rows, QDate().toJulianDay());
        break;
    case ColumnType::Currency:
        numbers.resize(rows, 0);
        nulls.resize(rows, 1);
        break;
    case ColumnType::Id:
        numbers.resize(rows, 0);
        break;
    }
}

void GridData::setColumnCount(int count)
{
    if (count < 0)
        throw std::out_of_range("negative column count");
    m_columns.resize(count);
    for (Column& c : m_columns)
        c.resize(m_rowCount);
}

void GridData::setColumnType(int col, ColumnType type)
{
    Column& c = column(col);
    c = Column{};
    c.type = type;
    c.resize(m_rowCount);
}

ColumnType GridData::columnType(int col) const
{
    return column(col).type;
}

void GridData::setTextPooled(int col)
{
    setColumnType(col, ColumnType::Text);
    Column& c = column(col);
    c.texts.clear();
    c.pooled = true;
    c.texts.emplace_back(); // number 0: the empty text of new rows
    c.idOf.insert(QString(), 0);
    c.resize(m_rowCount);
}

void GridData::setRowCount(int count)
{
    if (count < 0)
        throw std::out_of_range("negative row count");
    m_rowCount = count;
    for (Column& c : m_columns)
        c.resize(count);
}

int GridData::appendRow()
{
    setRowCount(m_rowCount + 1);
    return m_rowCount;
}

void GridData::clear()
{
    m_columns.clear();
    m_rowCount = 0;
}

void GridData::setText(int col, int row, const QString& value)
{
    Column& c = cell(col, row, ColumnType::Text);
    if (c.pooled)
        c.ids[row - 1] = textId(col, value);
    else
        c.texts[row - 1] = value;
}

const QString& GridData::text(int col, int row) const
{
    const Column& c = cell(col, row, ColumnType::Text);
    return c.pooled ? c.texts[c.ids[row - 1]] : c.texts[row - 1];
}

quint32 GridData::textId(int col, const QString& value)
{
    Column& c = pooledColumn(col);
    const auto it = c.idOf.constFind(value);
    if (it != c.idOf.cend())
        return *it;
    const quint32 id = quint32(c.texts.size());
    c.texts.push_back(value);
    c.idOf.insert(value, id);
    return id;
}

void GridData::setTextId(int col, int row, quint32 id)
{
    Column& c = pooledColumn(col);
    if (id >= c.texts.size())
        throw std::out_of_range("no such pooled text");
    cell(col, row, ColumnType::Text).ids[row - 1] = id;
}

const std::vector<QString>& GridData::texts(int col) const
{
    const Column& c = column(col);
    if (c.type != ColumnType::Text || c.pooled)
        throw std::logic_error("grid column does not hold one text per row");
    return c.texts;
}

GridData::TextKeys GridData::textKeys(int col) const
{
    const Column& c = column(col);
    if (c.type != ColumnType::Text)
        throw std::logic_error("grid column does not hold texts");
    if (c.pooled)
        return {c.ids, c.texts};
    TextKeys keys;
    keys.ids.resize(c.texts.size());
    QHash<QString, quint32> idOf;
    for (size_t k = 0; k < c.texts.size(); ++k) {
        // Neighbouring rows often share one string: no lookup for them.
        const QString& text = c.texts[k];
        if (k > 0 && text.constData() == c.texts[k - 1].constData() && text.size() == c.texts[k - 1].size()) {
            keys.ids[k] = keys.ids[k - 1];
            continue;
        }
        auto it = idOf.constFind(text);
        if (it == idOf.cend()) {
            it = idOf.insert(text, quint32(keys.distinct.size()));
            keys.distinct.push_back(text);
        }
        keys.ids[k] = *it;
    }
    return keys;
}

void GridData::setDate(int col, int row, const QDate& value)
{
    cell(col, row, ColumnType::Date).numbers[row - 1] = julianDay(value);
}

QDate GridData::date(int col, int row) const
{
    return QDate::fromJulianDay(cell(col, row, ColumnType::Date).numbers[row - 1]);
}

void GridData::setCurrency(int col, int row, std::optional<Currency> value)
{
    Column& c = cell(col, row, ColumnType::Currency);
    c.numbers[row - 1] = value ? value->raw() : 0;
    c.nulls[row - 1] = value ? 0 : 1;
}

std::optional<Currency> GridData::currency(int col, int row) const
{
    const Column& c = cell(col, row, ColumnType::Currency);
    if (c.nulls[row - 1])
        return std::nullopt;
    return Currency::fromRaw(c.numbers[row - 1]);
}

void GridData::setId(int col, int row, qint64 value)
{
    cell(col, row, ColumnType::Id).numbers[row - 1] = value;
}

qint64 GridData::id(int col, int row) const
{
    return cell(col, row, ColumnType::Id).numbers[row - 1];
}

QVariant GridData::value(int col, int row) const
{
    switch (columnType(col)) {
    case ColumnType::Text:
        return text(col, row);
    case ColumnType::Date:
        return date(col, row);
    case ColumnType::Currency:
        if (const auto amount = currency(col, row))
            return QVariant::fromValue(*amount);
        return QVariant();
    case ColumnType::Id:
        return id(col, row);
    }
    return QVariant();
}

const GridData::Column& GridData::column(int col) const
{
    if (col < 1 || col > columnCount())
        throw std::out_of_range("grid column out of range");
    return m_columns[col - 1];
}

GridData::Column& GridData::column(int col)
{
    return const_cast<Column&>(std::as_const(*this).column(col));
}

GridData::Column& GridData::pooledColumn(int col)
{
    Column& c = column(col);
    if (!c.pooled)
        throw std::logic_error("grid column is not pooled");
    return c;
}

const GridData::Column& GridData::cell(int col, int row, ColumnType type) const
{
    const Column& c = column(col);
    if (c.type != type)
        throw std::logic_error("grid cell accessed with the wrong type");
    if (row < 1 || row > m_rowCount)
        throw std::out_of_range("grid row out of range");
    return c;
}

GridData::Column& GridData::cell(int col, int row, ColumnType type)
{
    return const_cast<Column&>(std::as_const(*this).cell(col, row, type));
}

} // namespace movilibro::journal
