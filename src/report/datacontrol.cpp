#include "report/datacontrol.h"

#include "db/connection.h"

namespace movilibro::report {

namespace {

Value readValue(const db::Statement& row, int col, FieldType type)
{
    if (row.isNull(col)) {
        return std::monostate{};
    }
    switch (type) {
    case FieldType::Date: {
        const QDate date = row.date(col);
        return date.isValid() ? Value(date) : Value(std::monostate{});
    }
    case FieldType::Currency:
        return Currency::fromRaw(row.int64(col));
    case FieldType::Text:
        break;
    }
    return row.text(col);
}

} // namespace

void DataControl::setFieldType(const QString& field, FieldType type)
{
    m_types.insert(field.toLower(), type);
}

FieldType DataControl::fieldType(const QString& field) const
{
    return m_types.value(field.toLower(), FieldType::Text);
}

std::shared_ptr<const RecordSource> DataControl::records() const
{
    return m_reader ? m_reader() : std::make_shared<RecordTable>(fetch());
}

RecordTable DataControl::fetch() const
{
    auto connection = db::Connection::openConnString(m_connString, db::Connection::Mode::ReadOnly);
    auto statement = connection.prepareJet(m_source);

    std::vector<FieldDef> fields;
    for (int col = 0; col < statement.columnCount(); ++col) {
        const QString name = statement.columnName(col);
        fields.push_back({name, fieldType(name)});
    }
    RecordTable table(fields);
    while (statement.step()) {
        std::vector<Value> row;
        row.reserve(fields.size());
        for (size_t col = 0; col < fields.size(); ++col) {
            row.push_back(readValue(statement, int(col), fields[col].type));
        }
        if (m_rowFilter && !m_rowFilter(fields, row))
            continue;
        table.addRow(std::move(row));
    }
    return table;
}

} // namespace movilibro::report
