#include "report/recordsource.h"

namespace movilibro::report {

int RecordSource::fieldIndex(const QString& name) const
{
    const auto& defs = fields();
    for (size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return int(i);
        }
    }
    return -1;
}

Currency amountOf(const Value& value)
{
    if (const auto* amount = std::get_if<Currency>(&value)) {
        return *amount;
    }
    return {};
}

} // namespace movilibro::report
