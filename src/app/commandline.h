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

// What the arguments need of the application object, decided before it is
// made: files only (a console: no platform plugin at all), painting without
// windows (the PDF: fonts and a platform, no display needed), charts (drawn
// by Qt Charts with graphics items of the widgets module, which cannot even
// be made without a QApplication, though no window opens) or windows.
enum class Needs
{
    Console,
    Painting,
    Charts,
    Windows
};
Needs needsOf(const QStringList& arguments);
// The arguments as the application object will read them.
QStringList argumentsOf(int argc, char* argv[]);

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
