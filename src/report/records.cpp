#include "report/records.h"

#include <stdexcept>

namespace movilibro::report {

RecordTable::RecordTable(std::vector<FieldDef> fields)
    : m_fields(std::move(fields)), m_columns(m_fields.size())
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
    return column.texts.at(row);
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
        append(m_columns[field], m_fields[field].type, row[field]);
    }
    ++m_rows;
}

void RecordTable::append(Column& column, FieldType type, const Value& value)
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
        const QString* text = std::get_if<QString>(&value);
        column.texts.append(text ? *text : QString());
        break;
    }
    }
}

} // namespace movilibro::report
