#include "statement/statement.h"

// UNFINISHED: placeholders so that the window can be built against the API.
namespace movilibro::statement {

bool CsvLayout::isComplete() const
{
    return false;
}

QString CsvLayout::headerKey() const
{
    return {};
}

Statement readStatement(const QString&, std::optional<CsvLayout>, DateChoice)
{
    throw StatementError(QStringLiteral("Non ancora disponibile."));
}

void markDuplicates(db::Connection&, qint64, std::vector<Movement>&) {}

ImportResult importMovements(db::Connection&, const QString&, qint64, const std::vector<Movement>&,
                             int skippedCount)
{
    return {0, skippedCount, {}};
}

std::optional<CsvLayout> rememberedLayout(const QString&, const QString&)
{
    return std::nullopt;
}

void rememberLayout(const QString&, const CsvLayout&) {}

} // namespace movilibro::statement
