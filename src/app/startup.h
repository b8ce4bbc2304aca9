#pragma once

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

// Whole program: application object, translations, Main(), event loop.
int runApplication(int argc, char* argv[]);

} // namespace movilibro
