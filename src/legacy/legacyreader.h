#pragma once

#include "legacy/legacydata.h"

#include <QString>

namespace movilibro::legacy {

// Reads a journal kept in the old Jet 4 format. The file is opened read-only
// and never changed. A file that is not such a journal, or that is damaged
// (cut short, rows missing), throws LegacyError.
LegacyJournal readLegacyJournal(const QString& path);

} // namespace movilibro::legacy
