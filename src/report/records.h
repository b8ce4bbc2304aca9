#pragma once

#include "report/recordsource.h"
#include "report/textcolumn.h"

namespace movilibro::report {

// The records of one report run, held in one typed column per field: a date
// or an amount costs eight bytes, a text that repeats (an account, a period)
// four.
class RecordTable final : public RecordSource
{
public:
    explicit RecordTable(std::vector<FieldDef> fields = {});

    const std::vector<FieldDef>& fields() const override { return m_fields; }
    int rowCount() const override { return m_rows; }
    Value value(int row, int field) const override;

    // Throws std::invalid_argument when the row does not have one value per
    // field, or a value is neither NULL nor of its field's type.
    void addRow(std::vector<Value> row);

private:
    struct Column
    {
        std::vector<bool> nulls;
        TextColumn texts;
        std::vector<QDate> dates;
        std::vector<Currency> amounts;
    };

    static void append(Column& column, FieldType type, const Value& value);

    std::vector<FieldDef> m_fields;
    std::vector<Column> m_columns;
    int m_rows = 0;
};

} // namespace movilibro::report
