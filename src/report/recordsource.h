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

// What the layout engine reads a report's records through, so that records
// held elsewhere need no copy. An implementation promises:
// - rows come in the report's order: sorted by the group fields, outermost
//   first;
// - any row can be read in any order, and repeatedly (most reads go forward,
//   one row after the other; the preview jumps);
// - nothing changes while a report laid out from it is alive.
class RecordSource
{
public:
    virtual ~RecordSource() = default;

    // The fields of every row, in order.
    virtual const std::vector<FieldDef>& fields() const = 0;
    virtual int rowCount() const = 0;
    // The value of `field` (an index into fields()) in `row` (0 to
    // rowCount() - 1): of the field's type, or std::monostate.
    virtual Value value(int row, int field) const = 0;

    int fieldCount() const { return int(fields().size()); }
    // -1 when there is no such field; names compare case-insensitively.
    int fieldIndex(const QString& name) const;
};

// The amount a value counts for in a sum: NULL and non-amounts count as 0.
Currency amountOf(const Value& value);

} // namespace movilibro::report
