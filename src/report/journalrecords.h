#pragma once

#include "report/recordsource.h"
#include "report/reportcontext.h"

#include <memory>

namespace movilibro::journal {
class JournalRows;
}

namespace movilibro::report {

// The journal report's records read from the journal core, without a copy:
// one record per entry the core lays out (those its filter lets through),
// with the fields of the report query (mlMovilibro, mlPeriodo, mlConto,
// mlData, mlDescrizione, mlEntrate, mlUscite, mlSaldo), in the report's
// order: the core's groups, oldest entry first inside each.
class JournalRecords final : public RecordSource
{
public:
    // `rows` must be arranged; they are shared, never changed.
    explicit JournalRecords(std::shared_ptr<const journal::JournalRows> rows);

    const std::vector<FieldDef>& fields() const override;
    int rowCount() const override { return int(m_order.size()); }
    // mlSaldo throws CurrencyOverflow when incomes less outgoings leave the range.
    Value value(int row, int field) const override;

private:
    std::shared_ptr<const journal::JournalRows> m_rows;
    std::vector<int> m_order; // data index of each record
};

// The entries of the context's period, loaded, filtered and arranged by the
// journal core for its layout. Throws db::DbError, CurrencyOverflow and
// search::SearchError.
std::shared_ptr<const RecordSource> readJournalRecords(const ReportContext& context);

} // namespace movilibro::report
