#pragma once

#include "settings/registryerror.h"

#include <QString>
#include <QVariant>

namespace movilibro {

// Root keys, as the 32-bit numbers the registry gives them.
inline constexpr qint32 HKEY_CLASSES_ROOT = qint32(0x80000000u);
inline constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001u);
inline constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002u);
inline constexpr qint32 HKEY_USERS = qint32(0x80000003u);
inline constexpr qint32 HKEY_CURRENT_CONFIG = qint32(0x80000005u);

// Value types.
inline constexpr qint32 REG_SZ = 1;
inline constexpr qint32 REG_EXPAND_SZ = 2;
inline constexpr qint32 REG_BINARY = 3;
inline constexpr qint32 REG_DWORD = 4;
inline constexpr qint32 REG_DWORD_BIG_ENDIAN = 5;
inline constexpr qint32 REG_MULTI_SZ = 7;

// One value of the per-user settings store, addressed by root, key path and
// value name. Every read and write opens the store afresh: nothing is cached
// between accesses.
class comRegistry
{
public:
    qint32 ClassKey() const { return m_classKey; }
    void setClassKey(qint32 classKey) { m_classKey = classKey; }
    // Key path below the root, parts separated by backslashes.
    QString SectionKey() const { return m_sectionKey; }
    void setSectionKey(const QString& sectionKey) { m_sectionKey = sectionKey; }
    QString ValueKey() const { return m_valueKey; }
    void setValueKey(const QString& valueKey) { m_valueKey = valueKey; }
    // Chooses the conversion on writing; a read sets it to the type found.
    qint32 ValueType() const { return m_valueType; }
    void setValueType(qint32 valueType) { m_valueType = valueType; }
    // What a read gives when the value is missing or unreadable.
    QVariant Default() const { return m_default; }
    void setDefault(const QVariant& value) { m_default = value; }

    // Reads the value, converted by its stored type: text for REG_SZ and
    // REG_MULTI_SZ (zeros between the strings kept), text with %NAME%
    // references expanded for REG_EXPAND_SZ, a 32-bit int for the DWORD
    // types, a QByteArray otherwise. Creates nothing.
    QVariant Value();
    // Writes the value under ValueType, creating missing keys; throws
    // RegistryError. Text containing two '%' with something between them is
    // stored as REG_EXPAND_SZ, other text as REG_SZ. The DWORD types take
    // 16- and 32-bit integers and floats (stored as REG_DWORD) and silently
    // skip other kinds; REG_BINARY takes a QByteArray only.
    void setValue(const QVariant& value);

private:
    QString failureDescription() const;

    qint32 m_classKey = 0;
    QString m_sectionKey;
    QString m_valueKey;
    QVariant m_value;
    QVariant m_default;
    qint32 m_valueType = 0;
};

} // namespace movilibro
