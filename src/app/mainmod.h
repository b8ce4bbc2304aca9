#pragma once

#include "db/periods.h"
#include "settings/settingskey.h"

#include <QString>
#include <QStringList>

class QWidget;

// The program's module variables and the small routines several windows share.
namespace movilibro::mainmod {

inline const QString ApplicationTitle = QStringLiteral("Movilibro");
inline const QString DatabaseFileName = QStringLiteral("movilibro.mdb");
inline const QString TemplateFileName = QStringLiteral("master.gen");
using movilibro::DefaultSettingsKey;
using movilibro::SettingsKey;

extern QStringList PeriodNames;
extern QString DBFolder;
extern QString ConnString;
extern QString AppTitle;
extern QString HelpFile;

// DBFolder + separator + movilibro.mdb, with native separators.
QString databaseFilePath();
QString programFolder();
// Tests point the program folder elsewhere; empty restores the executable's.
void setProgramFolder(const QString& folder);

// No close button; the dialog refuses close events it did not ask for itself.
void RemoveCloseMenu(QWidget* form);
// The user's decimal separator.
QString GetLocaleString();
void ShortPause();
void LongPause();
using movilibro::OrdinalName;
// Documents/MovilibroDB, created when missing (one level). Falls back to the
// home folder when the documents folder cannot be found.
QString DefaultDatabaseFolder();

} // namespace movilibro::mainmod
