#pragma once

#include "legacy/legacyimport.h"

#include <QString>

#include <functional>
#include <optional>

namespace movilibro::legacy {

// A journal file in the old format replaced by a new one with its content.
struct Conversion
{
    ImportSummary summary;
    // Where the old file now is, beside the new journal.
    QString keptAs;
};

// The name the old file at `path` would be kept under: path + ".jet", or
// path + ".2.jet", ".3.jet" ... when that is taken. Never an existing file,
// except a second name of the old file itself (a conversion stopped halfway).
QString keepName(const QString& path);

// Converts the old-format journal at `path`: the new journal is made from the
// template under a temporary name and filled, the old file is kept under
// keepName(path) (a hard link, or a copy), and only then the new journal is
// renamed over `path`. A journal is at `path` at every instant. On failure
// (LegacyError) the old file is where and as it was and nothing else is left.
Conversion convertInPlace(const QString& path, const QString& templatePath);

// The moments between the steps of a conversion, where tests stop the process.
enum class ConversionStep
{
    Filled,
    OriginalKept
};
void setConversionStepHook(std::function<void(ConversionStep)> hook);

// A conversion that did not end: no journal at `path`, but the old file kept
// beside it, or a complete converted journal under a temporary name.
struct UnfinishedConversion
{
    QString source;
    bool converted = false; // source is the converted journal, not the old file
};
std::optional<UnfinishedConversion> findUnfinishedConversion(const QString& path);
// Puts the journal in place from what the conversion left. Throws LegacyError.
Conversion finishConversion(const UnfinishedConversion& unfinished, const QString& path,
                            const QString& templatePath);

// Removes the temporary journals a killed conversion or import left in
// `folder`, and their -journal files: only names of our own. Call it only
// while holding the journal's lock.
void removeLeftovers(const QString& folder);

// Copies the old journal at `oldPath` into the journal of `folder`. When the
// folder holds no journal, one is made from the template (complete or not at
// all); an existing journal must be usable and empty, and `beforeWriting`
// runs once everything is checked, just before it is written, and returns
// the copy it kept (named in the change log). Throws LegacyError.
ImportSummary importIntoFolder(const QString& oldPath, const QString& folder, const QString& templatePath,
                               const std::function<QString()>& beforeWriting = {});

} // namespace movilibro::legacy
