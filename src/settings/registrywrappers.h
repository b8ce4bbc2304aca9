#pragma once

#include "settings/comregistry.h"

namespace movilibro {

// The program's way into the settings store: one comRegistry per call.
QVariant ReadRegistryValue(qint32 classKey, const QString& section, qint32 valueType,
                           const QString& valueName, const QVariant& defaultValue = QVariant());
// Throws RegistryError.
void WriteRegistryValue(qint32 classKey, const QString& section, qint32 valueType, const QString& valueName,
                        const QVariant& value);

} // namespace movilibro
