#include "settings/registrywrappers.h"

namespace movilibro {

QVariant ReadRegistryValue(qint32 classKey, const QString& section, qint32 valueType,
                           const QString& valueName, const QVariant& defaultValue)
{
    comRegistry registry;
    registry.setClassKey(classKey);
    registry.setSectionKey(section);
    registry.setValueType(valueType);
    registry.setValueKey(valueName);
    registry.setDefault(defaultValue);
    return registry.Value();
}

void WriteRegistryValue(qint32 classKey, const QString& section, qint32 valueType, const QString& valueName,
                        const QVariant& value)
{
    comRegistry registry;
    registry.setClassKey(classKey);
    registry.setSectionKey(section);
    registry.setValueKey(valueName);
    registry.setValueType(valueType);
    registry.setValue(value);
}

} // namespace movilibro
