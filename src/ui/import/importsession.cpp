#include "ui/import/importsession.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "db/connection.h"
#include "settings/registryerror.h"

#include <algorithm>
#include <utility>

namespace movilibro {

using namespace statement;

ReadOptions ImportSession::optionsWith(std::optional<ColumnLayout> layout, DateChoice choice) const
{
    return ReadOptions{std::move(layout), choice, Clock::today(), m_sheet};
}

Statement ImportSession::readKnownLayout() const
{
    Statement read = readStatement(m_path, optionsWith(std::nullopt));
    if (!read.isTable())
        return read;
    std::optional<ColumnLayout> known;
    try {
        known = rememberedLayout(mainmod::SettingsKey, read.layout);
    } catch (const RegistryError&) {
    }
    if (known) {
        try {
            return readStatement(m_path, optionsWith(known));
        } catch (const StatementError&) {
        }
    }
    return read;
}

void ImportSession::open(const QString& path)
{
    // The same workbook opened again shows the sheet chosen before, while it is there.
    const QString previousPath = std::exchange(m_path, path);
    const QString previousSheet = std::exchange(m_sheet, path == previousPath ? m_sheet : QString());
    Statement read;
    try {
        try {
            read = readKnownLayout();
        } catch (const StatementError&) {
            if (m_sheet.isEmpty())
                throw;
            m_sheet.clear();
            read = readKnownLayout();
        }
    } catch (const StatementError&) {
        // A file that cannot be read leaves the session on the one read before.
        m_path = previousPath;
        m_sheet = previousSheet;
        throw;
    }
    m_fileAccount = 0;
    take(std::move(read));
}

void ImportSession::chooseSheet(const QString& sheet)
{
    const QString previous = std::exchange(m_sheet, sheet);
    Statement read;
    try {
        read = readKnownLayout();
    } catch (const StatementError&) {
        m_sheet = previous;
        throw;
    }
    take(std::move(read));
}

void ImportSession::applyLayout(const ColumnLayout& layout)
{
    Statement read = readStatement(m_path, optionsWith(layout));
    // The preview stays the one first shown, whatever the reader keeps.
    if (read.previewRows.isEmpty())
        read.previewRows = m_statement.previewRows;
    take(std::move(read));
}

void ImportSession::chooseDate(DateChoice choice)
{
    take(readStatement(m_path, optionsWith(std::nullopt, choice)));
}

void ImportSession::chooseFileAccount(int index)
{
    m_fileAccount = index;
    take(std::move(m_read));
}

void ImportSession::take(Statement read)
{
    m_read = std::move(read);
    m_statement = m_read;
    if (m_statement.accounts.size() > 1)
        keepAccount(m_statement, std::clamp(m_fileAccount, 0, int(m_statement.accounts.size()) - 1));
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
