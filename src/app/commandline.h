#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace movilibro::cli {

enum ExitStatus : int
{
    Success = 0,
    Failed = 1,   // the journal or a file could not be used
    BadUsage = 2, // unknown or repeated option, bad date, bad layout
};

// Before the application object exists: with no display to draw on, the
// offscreen platform, so that the command line (and its errors) works on a
// server or over ssh. True when it chose it.
bool chooseHeadlessPlatform();

// Without a display there is no window to open: says so, returns the status.
int refuseWindowWithoutDisplay();

// Does what the command line asks: import an old journal, export the report
// as PDF or the entries as CSV. Messages go to standard output and errors to
// standard error, in Italian. Returns the exit status, or nothing when the
// arguments ask for no such work and the program should open its windows.
// `journalFolder` gives the folder the start-up sequence would use; it is
// asked only when no --db is given.
std::optional<int> runCommandLine(const QStringList& arguments,
                                  const std::function<QString()>& journalFolder);

} // namespace movilibro::cli
