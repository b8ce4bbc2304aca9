#pragma once

#include <QString>

#include <stdexcept>

namespace movilibro {

// A failure of the settings store, numbered as callers of the store expect.
class RegistryError : public std::runtime_error
{
public:
    // The store (or a key in it) cannot be created or opened; also a
    // REG_BINARY write of something that is not a byte array.
    static constexpr quint32 StoreFailed = 26001;
    // The value could not be written.
    static constexpr quint32 WriteFailed = 0x800469A9;

    RegistryError(quint32 number, const QString& description);

    quint32 number() const { return m_number; }
    // Executable name + ".comRegistry".
    QString source() const { return m_source; }
    QString description() const { return m_description; }

private:
    quint32 m_number;
    QString m_source;
    QString m_description;
};

} // namespace movilibro
