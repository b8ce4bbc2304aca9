#pragma once

#include "legacy/legacyimport.h"

#include <QString>

namespace movilibro::legacy {

// A journal file in the old format replaced by a new one with its content.
struct Conversion
{
    ImportSummary summary;
    // Where the old file now is, beside the new journal.
    QString keptAs;
};

// The name the old file at `path` would be kept under: path + ".jet", or
// path + ".2.jet", ".3.jet" ... when that is taken. Never an existing file.
QString keepName(const QString& path);

// Converts the old-format journal at `path`: the new journal is made from the
// template under a temporary name, filled, and only then takes the old file's
// name, the old file moving to keepName(path). On failure (LegacyError) the
// old file is where and as it was and nothing else is left behind.
Conversion convertInPlace(const QString& path, const QString& templatePath);

// Copies the old journal at `oldPath` into the journal of `folder`. When the
// folder holds no journal, one is made from the template (complete or not at
// all); an existing journal must be usable and empty. Throws LegacyError.
ImportSummary importIntoFolder(const QString& oldPath, const QString& folder, const QString& templatePath);

} // namespace movilibro::legacy
