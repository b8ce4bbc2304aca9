#pragma once

#include <QString>

namespace movilibro {

// The program's key in the per-user settings store.
inline const QString DefaultSettingsKey = QStringLiteral("Software\\Marlenco\\Movilibro\\Settings");
// The key in use, set at start (tests point it elsewhere).
extern QString SettingsKey;

} // namespace movilibro
