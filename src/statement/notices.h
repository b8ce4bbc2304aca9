#pragma once

#include "db/periods.h"
#include "statement/statement.h"

#include <QString>

#include <vector>

// What the assistant and the command line tell the user about a statement,
// in the same words.
namespace movilibro::statement {

// "importi in CHF, importati senza conversione"; empty for the euro.
QString currencyNotice(const Statement& statement);

// "possibile doppione di «Stipendio» del 02/03/2024"; empty when the movement is none.
QString possibleRepeatNote(const Movement& movement);

// Said when movements written fall outside the period the journal shows:
// how many, their dates, the period, and how to see them. Empty when none does.
QString outsidePeriodNotice(const std::vector<QDate>& written, const DateRange& shown);

} // namespace movilibro::statement
