#include "report/records.h"

#include <stdexcept>

namespace movilibro::report {

namespace {
// Accounts and periods stay well below; descriptions pass it soon and stop
// being looked up.
constexpr qsizetype PooledTexts = 1024;
} // namespace

RecordTable::RecordTable(std::vector<FieldDef> fields) : m_fields(std::move(fields)), m_columns(m_fields.size())
{}

Value RecordTable::value(int row, int field) const
{
    const Column& column = m_columns[size_t(field)];
    if (column.nulls[size_t(row)]) {
        return std::monostate{};
    }
    switch (m_fields[size_t(field)].type) {
    case FieldType::Date:
        return column.dates[size_t(row)];
    case FieldType::Currency:
        return column.amounts[size_t(row)];
    case FieldType::Text:
        break;
    }
    return column.texts[size_t(row)];
}

void RecordTable::addRow(std::vector<Value> row)
{
    if (row.size() != m_fields.size()) {
        throw std::invalid_argument("record with the wrong number of fields");
    }
    for (size_t field = 0; field < row.size(); ++field) {
        const bool null = std::holds_alternative<std::monostate>(row[field]);
        const bool typed = std::visit(
            [type = m_fields[field].type](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                return (type == FieldType::Text && std::is_same_v<T, QString>) ||
                       (type == FieldType::Date && std::is_same_v<T, QDate>) ||
                       (type == FieldType::Currency && std::is_same_v<T, Currency>);
            },
            row[field]);
        if (!null && !typed) {
            throw std::invalid_argument("record value of the wrong type");
        }
    }
    for (size_t field = 0; field < row.size(); ++field) {
        append(m_columns[field], m_fields[field].type, std::move(row[field]));
    }
    ++m_rows;
}

void RecordTable::append(Column& column, FieldType type, Value&& value)
{
    column.nulls.push_back(std::holds_alternative<std::monostate>(value));
    switch (type) {
    case FieldType::Date: {
        const QDate* date = std::get_if<QDate>(&value);
        column.dates.push_back(date ? *date : QDate());
        break;
    }
    case FieldType::Currency: {
        const Currency* amount = std::get_if<Currency>(&value);
        column.amounts.push_back(amount ? *amount : Currency());
        break;
    }
    case FieldType::Text: {
        QString* text = std::get_if<QString>(&value);
        column.texts.push_back(text ? pooled(column, std::move(*text)) : QString());
        break;
    }
    }
}

QString RecordTable::pooled(Column& column, QString&& text)
{
    if (!column.texts.empty() && column.texts.back() == text) {
        return column.texts.back();
    }
    if (!column.pooling) {
        return std::move(text);
    }
    const auto found = column.pool.constFind(text);
    if (found != column.pool.cend()) {
        return *found;
    }
    if (column.pool.size() >= PooledTexts) {
        column.pooling = false;
        column.pool = {};
        return std::move(text);
    }
    column.pool.insert(text);
    return std::move(text);
}

} // namespace movilibro::report
