#include "ui/import/importsession.h"

#include "app/mainmod.h"
#include "db/connection.h"
#include "settings/registryerror.h"

namespace movilibro {

using namespace statement;

void ImportSession::open(const QString& path)
{
    Statement read = readStatement(path);
    if (read.kind == Statement::Kind::Csv) {
        std::optional<CsvLayout> known;
        try {
            known = rememberedLayout(mainmod::SettingsKey, read.layout);
        } catch (const RegistryError&) {
        }
        if (known) {
            try {
                read = readStatement(path, known);
            } catch (const StatementError&) {
            }
        }
    }
    m_path = path;
    m_statement = std::move(read);
}

void ImportSession::applyLayout(const CsvLayout& layout)
{
    Statement read = readStatement(m_path, layout);
    // The preview stays the one first shown, whatever the reader keeps.
    if (read.previewRows.isEmpty())
        read.previewRows = m_statement.previewRows;
    m_statement = std::move(read);
}

void ImportSession::chooseDate(DateChoice choice)
{
    m_statement = readStatement(m_path, std::nullopt, choice);
}

void ImportSession::rememberLayout() const
{
    try {
        statement::rememberLayout(mainmod::SettingsKey, m_statement.layout);
    } catch (const RegistryError&) {
    }
}

void ImportSession::markDuplicates()
{
    db::Connection conn = db::Connection::openConnString(mainmod::ConnString, db::Connection::Mode::ReadOnly);
    statement::markDuplicates(conn, m_accountId, m_statement.movements);
}

ImportResult ImportSession::importTicked(const std::vector<bool>& ticked) const
{
    std::vector<Movement> chosen;
    for (size_t i = 0; i < m_statement.movements.size(); ++i)
        if (i < ticked.size() && ticked[i] && !m_statement.movements[i].isRefused())
            chosen.push_back(m_statement.movements[i]);
    const int skipped = int(m_statement.movements.size() - chosen.size());
    db::Connection conn = db::Connection::openConnString(mainmod::ConnString);
    return importMovements(conn, mainmod::databaseFilePath(), m_accountId, chosen, skipped);
}

} // namespace movilibro
