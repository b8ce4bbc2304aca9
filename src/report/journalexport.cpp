#include "report/journalexport.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "journal/journalrows.h"
#include "report/reporterror.h"

namespace movilibro::report {

namespace {

namespace C = journal::JournalColumn;

constexpr ExportColumn Columns[] = {
    {"Data", C::Data, ExportCell::Date, 11},
    {"Conto", C::Conto, ExportCell::Text, 20},
    {"Descrizione", C::Descrizione, ExportCell::Text, 50},
    {"Entrate", C::Entrate, ExportCell::Amount, 14},
    {"Uscite", C::Uscite, ExportCell::Amount, 14},
    {"Saldo progressivo", C::Saldo, ExportCell::Balance, 17},
    {"Riscontrato", C::Id, ExportCell::Reconciled, 12},
};

} // namespace

std::span<const ExportColumn> exportColumns(const journal::JournalRows& rows)
{
    const std::span<const ExportColumn> all = Columns;
    return rows.hasReconciled() ? all : all.first(all.size() - 1);
}

void loadForExport(journal::JournalRows& rows, const ReportContext& context)
{
    try {
        rows.setFilter(context.filter);
        rows.load(context.connString, context.kind, {context.start, context.end});
        rows.arrange(context.layout);
    } catch (const db::DbError& e) {
        throw ReportError(QStringLiteral("Impossibile leggere il giornale: ") + db::userMessage(e));
    } catch (const CurrencyOverflow&) {
        throw ReportError(QStringLiteral("Impossibile calcolare i saldi: importi fuori scala."));
    } catch (const search::SearchError& e) {
        throw ReportError(e.message());
    }
}

QString exportTitle(const journal::JournalRows& rows)
{
    const QString format = QStringLiteral("dd/MM/yyyy");
    QString title = QStringLiteral("Movilibro dal %1 al %2")
                        .arg(rows.period().start.toString(format), rows.period().end.toString(format));
    if (rows.isFiltered())
        title += QStringLiteral(" · Filtro: ") + rows.filter().describe();
    return title;
}

} // namespace movilibro::report
