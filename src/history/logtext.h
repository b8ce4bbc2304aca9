#pragma once

#include "history/changelog.h"

#include <QIODevice>
#include <QString>

#include <vector>

namespace movilibro::history {

// What a line did, as the windows and the CSV say it ("Eliminazione",
// "Nuovo conto" ...).
QString operationText(const LogLine& line);
// The values of one side of a line, for reading: "05/03/2010 · Cassa ·
// voce · entrata 100,00" for an entry, the name for an account; where it
// was, when in the bin; empty when it did not exist.
QString stateText(const LogLine& line, const State& state);
// The entry or account a line is about: "Registrazione 12", "Conto 3".
QString itemText(const LogLine& line);

// The lines whose texts hold every word of `text` (case and accents aside)
// and, when given, of one kind.
struct LogFilter
{
    QString text;
    std::optional<Kind> kind;
    bool matches(const LogLine& line) const;
};

// The lines as CSV, as the journal's CSV is written: Quando;Operazione;
// Registrazione;Conto; date, account, description, in and out before and
// after; Nota. False when a write failed.
bool writeLogCsv(const std::vector<LogLine>& lines, QIODevice& device);

} // namespace movilibro::history
