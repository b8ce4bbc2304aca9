#pragma once

#include "legacy/legacydata.h"

#include <QString>

#include <optional>

namespace movilibro::legacy {

// Reads a journal kept in the old Jet 4 format. The file is opened read-only
// and never changed. A file that is not such a journal, or that is damaged
// (cut short, rows missing), throws LegacyError.
LegacyJournal readLegacyJournal(const QString& path);

// A parameter kept as text: "4", " 4 " and "4,0" are 4; "3,5", "abc" and
// numbers beyond 32 bits are none.
std::optional<int> wholeNumberFromText(const QString& text);

} // namespace movilibro::legacy
