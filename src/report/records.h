#pragma once

#include "format/currency.h"

#include <QDate>
#include <QString>

#include <variant>
#include <vector>

namespace movilibro::report {

// How a record field is read and shown: dates and amounts keep their type so
// that formats and sums work on values, not on texts.
enum class FieldType
{
    Text,
    Date,
    Currency
};

// A field value; std::monostate stands for a database NULL.
using Value = std::variant<std::monostate, QString, QDate, Currency>;

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
};

// The records of one report run, row after row in one flat array. Lives only
// while the report is laid out.
class RecordTable
{
public:
    explicit RecordTable(std::vector<FieldDef> fields = {});

    const std::vector<FieldDef>& fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    // -1 when the table has no such field.
    int fieldIndex(const QString& name) const;

    int rowCount() const { return m_fields.empty() ? 0 : int(m_cells.size() / m_fields.size()); }
    // Throws std::invalid_argument when the row does not have one value per field.
    void addRow(std::vector<Value> row);
    void reserve(int rows) { m_cells.reserve(size_t(rows) * m_fields.size()); }
    const Value& value(int row, int field) const { return m_cells[size_t(row) * m_fields.size() + field]; }

private:
    std::vector<FieldDef> m_fields;
    std::vector<Value> m_cells;
};

// The amount a value counts for in a sum: NULL and non-amounts count as 0.
Currency amountOf(const Value& value);

} // namespace movilibro::report
