#include "report/journalrecords.h"

#include "journal/journalrows.h"

#include <algorithm>

namespace movilibro::report {

namespace C = journal::JournalColumn;

namespace {

enum Field
{
    Movilibro,
    Periodo,
    Conto,
    Data,
    Descrizione,
    Entrate,
    Uscite,
    Saldo
};

Value amountValue(const std::optional<Currency>& amount)
{
    return amount ? Value(*amount) : Value(std::monostate{});
}

} // namespace

JournalRecords::JournalRecords(std::shared_ptr<const journal::JournalRows> rows) : m_rows(std::move(rows))
{
    // The core lists each group newest first: the report reads every run of
    // entries between two group rows backwards.
    m_order.reserve(size_t(m_rows->shownEntries()));
    size_t runStart = 0;
    for (int p = 1; p <= m_rows->rowCount(); ++p) {
        if (m_rows->rowType(p) == journal::RowType::Entry) {
            m_order.push_back(m_rows->dataIndex(p));
            continue;
        }
        std::reverse(m_order.begin() + qsizetype(runStart), m_order.end());
        runStart = m_order.size();
    }
    std::reverse(m_order.begin() + qsizetype(runStart), m_order.end());
}

const std::vector<FieldDef>& JournalRecords::fields() const
{
    static const std::vector<FieldDef> defs = {
        {QStringLiteral("mlMovilibro"), FieldType::Text},
        {QStringLiteral("mlPeriodo"), FieldType::Text},
        {QStringLiteral("mlConto"), FieldType::Text},
        {QStringLiteral("mlData"), FieldType::Date},
        {QStringLiteral("mlDescrizione"), FieldType::Text},
        {QStringLiteral("mlEntrate"), FieldType::Currency},
        {QStringLiteral("mlUscite"), FieldType::Currency},
        {QStringLiteral("mlSaldo"), FieldType::Currency},
    };
    return defs;
}

Value JournalRecords::value(int row, int field) const
{
    const journal::GridData& data = m_rows->data();
    const int k = m_order.at(size_t(row));
    switch (field) {
    case Movilibro:
        return QStringLiteral("1");
    case Periodo:
        return data.text(C::Periodo, k);
    case Conto:
        return data.text(C::Conto, k);
    case Data: {
        const QDate date = data.date(C::Data, k);
        return date.isValid() ? Value(date) : Value(std::monostate{});
    }
    case Descrizione:
        return data.text(C::Descrizione, k);
    case Entrate:
        return amountValue(data.currency(C::Entrate, k));
    case Uscite:
        return amountValue(data.currency(C::Uscite, k));
    case Saldo:
        return data.currency(C::Entrate, k).value_or(Currency()) -
               data.currency(C::Uscite, k).value_or(Currency());
    default:
        return std::monostate{};
    }
}

std::shared_ptr<const RecordSource> readJournalRecords(const ReportContext& context)
{
    auto rows = std::make_shared<journal::JournalRows>();
    rows->setFilter(context.filter);
    rows->load(context.connString, context.kind, {context.start, context.end});
    rows->arrange(context.layout);
    return std::make_shared<JournalRecords>(std::move(rows));
}

} // namespace movilibro::report
