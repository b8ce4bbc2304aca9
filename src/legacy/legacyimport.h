#pragma once

#include "format/currency.h"
#include "legacy/legacydata.h"

#include <QString>
#include <QStringList>

namespace movilibro::db {
class Connection;
}

namespace movilibro::legacy {

// What an import copied, for the user to compare with the old program.
struct ImportSummary
{
    int accounts = 0;
    int entries = 0;
    int parameters = 0;
    // Entries whose account no longer exists: copied, never listed.
    int orphans = 0;
    // Dates that carried a time of day, kept as the day alone.
    int timesDropped = 0;
    // Parameters left out, as "key = value", with a value that is not a whole number.
    QStringList skippedParameters;
    // Every entry copied, as the old file's columns add up.
    Currency totalIn, totalOut;
    // The entries the listings show (those with an account).
    Currency listedIn, listedOut;
};

// Copies an old journal into the journal on `conn`, ids kept, in one
// transaction: all or nothing. The journal must hold no entries and no
// accounts; parameters it holds are replaced by the old ones. Throws
// LegacyError, with the journal unchanged. The change log gets one line with
// the counts and `copy`, the file kept of what was there before.
ImportSummary importInto(db::Connection& conn, const LegacyJournal& journal, const QString& copy = {});

// Throws LegacyError when the journal on `conn` holds accounts or entries:
// an import goes only into an empty journal.
void requireEmpty(db::Connection& conn);

// The summary as the user reads it, one fact per line.
QString summaryText(const ImportSummary& summary, const QLocale& locale = QLocale());

} // namespace movilibro::legacy
