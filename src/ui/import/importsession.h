#pragma once

#include "statement/statement.h"

#include <QString>

#include <vector>

namespace movilibro {

// What the import assistant has learnt so far: the file, how it is read, the
// movements it holds and the account they go to. Calls that read throw
// statement::StatementError; those that touch the journal, db::DbError (and
// for the import db::BackupError, or StatementError when the account is gone).
class ImportSession
{
public:
    // Reads the file with the guessed layout, or with the choices the user
    // confirmed before for the same header. Forgets what an earlier file taught.
    void open(const QString& path);
    // Reads the movements again with the columns the user chose.
    void applyLayout(const statement::ColumnLayout& layout);
    // Reads the movements of an XML statement again on the other date.
    void chooseDate(statement::DateChoice choice);
    // Reads another sheet of the workbook, with its own guessed or remembered layout.
    void chooseSheet(const QString& sheet);
    // Keeps the confirmed choices for the next file with the same header; a
    // store that cannot be written only loses the suggestion.
    void rememberLayout() const;

    // The accounts the file reports on; several only in some XML statements.
    const std::vector<statement::StatementAccount>& fileAccounts() const { return m_read.accounts; }
    // The one of them whose movements are imported.
    void chooseFileAccount(int index);

    void setAccount(qint64 id, const QString& name)
    {
        m_accountId = id;
        m_accountName = name;
    }
    qint64 accountId() const { return m_accountId; }
    const QString& accountName() const { return m_accountName; }
    // Marks the movements the account already holds.
    void markDuplicates();
    // Writes the ticked movements (one flag per movement).
    statement::ImportResult importTicked(const std::vector<bool>& ticked) const;

    const QString& path() const { return m_path; }
    bool isTable() const { return m_statement.isTable(); }
    const statement::Statement& statement() const { return m_statement; }
    const std::vector<statement::Movement>& movements() const { return m_statement.movements; }

private:
    statement::ReadOptions optionsWith(std::optional<statement::ColumnLayout> layout,
                                       statement::DateChoice choice = statement::DateChoice::Booking) const;
    // With the layout confirmed before for the table's header, if any.
    statement::Statement readKnownLayout() const;
    void take(statement::Statement read);

    QString m_path;
    QString m_sheet;                  // of a workbook; empty: the first with data
    statement::Statement m_read;      // every account of the file
    statement::Statement m_statement; // the chosen one's
    int m_fileAccount = 0;
    qint64 m_accountId = 0;
    QString m_accountName;
};

} // namespace movilibro
