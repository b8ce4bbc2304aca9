#pragma once

#include "format/currency.h"

#include <QDate>
#include <QString>

#include <vector>

namespace movilibro::db {
class Connection;
}
namespace movilibro::statement {
struct StatementAccount;
}

namespace movilibro::reconcile {

// A balance a statement gives beside the journal's for the same moment.
struct BalanceComparison
{
    enum class Kind
    {
        Closing, // at the end of the statement's day
        Opening  // at its start: the journal's balance of the day before
    };
    Kind kind = Kind::Closing;
    QDate statementDate;
    QDate journalDate;
    Currency statement;
    Currency journal;

    // Statement minus journal. Throws CurrencyOverflow.
    Currency difference() const { return statement - journal; }
};

// The closing balance of the statement's account, then its opening one,
// each beside the account's balance in the journal; none when the statement
// gives no balance. Throws db::DbError, CurrencyOverflow.
std::vector<BalanceComparison> compareWithStatement(db::Connection& conn, qint64 accountId,
                                                    const statement::StatementAccount& account);

// "Saldo finale dell'estratto al 31/03/2024: 1.234,56 · Saldo di Banca nel
// giornale alla stessa data: 1.200,00 · Differenza: 34,56". Throws CurrencyOverflow.
QString comparisonLine(const BalanceComparison& comparison, const QString& accountName);

} // namespace movilibro::reconcile
