#include "report/searchrecords.h"

#include "report/arpschede.h"
#include "report/reporterror.h"
#include "search/textfold.h"

#include <QHash>

namespace movilibro::report {

namespace {

int fieldIndex(const std::vector<FieldDef>& fields, const char* name)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString textOf(const std::vector<Value>& row, int field)
{
    if (field < 0)
        return {};
    const auto* text = std::get_if<QString>(&row[field]);
    return text ? *text : QString();
}

qint64 amount(const std::vector<Value>& row, int field)
{
    return field < 0 ? 0 : amountOf(row[field]).raw();
}

// Matches records of the report query; account names repeat, so each is
// folded once.
class RecordMatcher
{
public:
    explicit RecordMatcher(search::Query query) : m_query(std::move(query)) {}

    bool operator()(const std::vector<FieldDef>& fields, const std::vector<Value>& row)
    {
        if (m_description < 0) {
            m_description = fieldIndex(fields, "mlDescrizione");
            m_account = fieldIndex(fields, "mlConto");
            m_incomes = fieldIndex(fields, "mlEntrate");
            m_outgoings = fieldIndex(fields, "mlUscite");
        }
        const QString account = textOf(row, m_account);
        auto folded = m_accounts.constFind(account);
        if (folded == m_accounts.cend())
            folded = m_accounts.insert(account, search::foldText(account));
        const QString description = search::foldText(textOf(row, m_description));
        return m_query.matches({description, *folded, amount(row, m_incomes), amount(row, m_outgoings)});
    }

private:
    search::Query m_query;
    QHash<QString, QString> m_accounts;
    int m_description = -1;
    int m_account = -1;
    int m_incomes = -1;
    int m_outgoings = -1;
};

} // namespace

void applySearch(arpSchede& report, const search::Filter& filter)
{
    if (!filter.isActive())
        return;
    try {
        auto matcher = std::make_shared<RecordMatcher>(search::Query::parse(filter));
        report.dataControl().setRowFilter(
            [matcher](const std::vector<FieldDef>& fields, const std::vector<Value>& row) {
                return (*matcher)(fields, row);
            });
    } catch (const search::SearchError& e) {
        throw ReportError(e.message());
    }
    // Under the period caption "Movilibro dal ... al ...", within the band.
    Control caption = Control::label(QStringLiteral("lblFiltro"), QRect(0, 260, 6236, 227),
                                     QStringLiteral("Filtro: ") + filter.describe());
    caption.fontSize = 8;
    caption.alignment = Qt::AlignLeft;
    report.groups()[0].header.add(caption);
}

} // namespace movilibro::report
