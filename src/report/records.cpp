#include "report/records.h"

#include <stdexcept>

namespace movilibro::report {

RecordTable::RecordTable(std::vector<FieldDef> fields) : m_fields(std::move(fields)) {}

int RecordTable::fieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return int(i);
        }
    }
    return -1;
}

void RecordTable::addRow(std::vector<Value> row)
{
    if (row.size() != m_fields.size()) {
        throw std::invalid_argument("record with the wrong number of fields");
    }
    for (auto& value : row) {
        m_cells.push_back(std::move(value));
    }
}

Currency amountOf(const Value& value)
{
    if (const auto* amount = std::get_if<Currency>(&value)) {
        return *amount;
    }
    return {};
}

} // namespace movilibro::report
