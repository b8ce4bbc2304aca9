#include "settings/settingskey.h"

namespace movilibro {

QString SettingsKey;

} // namespace movilibro
