#pragma once

#include <optional>

class QCoreApplication;

namespace movilibro {

class frmMain;

// The start-up routine: settings, database folder and file, splash, main
// window. Returns the main window it showed, or nullptr when the journal
// could not be used (the user was told and offered another folder).
frmMain* Main();
// The main window Main() showed, if any.
frmMain* mainWindow();
// Closes and deletes the main window (tests run Main() more than once).
void unloadMainWindow();

// Qt's own texts (buttons, file and print dialogs) in Italian.
void installTranslations(QCoreApplication& app);

// Names, version, locale and Qt's own texts, for any application object.
void setUpApplication(QCoreApplication& app);
// The work the command line asks for, on the application object made for it
// (see cli::needsOf); nothing when it asks for the windows.
std::optional<int> runTasks();
// The program's windows: application object, translations, Main(), event
// loop. Without a display it says why there are no windows.
int runWindows(int argc, char* argv[]);

} // namespace movilibro
