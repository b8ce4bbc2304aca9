#pragma once

#include "format/currency.h"

#include <QString>

#include <vector>

namespace movilibro::journal {

class JournalRows;

// Money in and out of one account over the entries laid out.
struct AccountTotal
{
    QString account;
    Currency incomes;
    Currency outgoings;
    Currency balance() const { return incomes - outgoings; }
};

// One total per account among the entries the rows lay out (those the search
// filter lets through), in the order the grid groups accounts: by the
// Italian collation, case aside, names that compare equal being one account
// named as its first entry laid out names it.
// Throws CurrencyOverflow.
std::vector<AccountTotal> accountTotals(const JournalRows& rows);

} // namespace movilibro::journal
