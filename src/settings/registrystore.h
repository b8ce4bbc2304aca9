#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

namespace movilibro {

// A value as the store keeps it: its registry type and its data (text for the
// string types, a number for the DWORD types, base64 for the rest).
struct StoredValue
{
    qint32 type = 0;
    QJsonValue data;
};

// The per-user store behind comRegistry: one JSON file under the user's
// configuration folder, holding a tree of keys per root. Key and value names
// match case-insensitively and keep the case they were created with.
class RegistryStore
{
public:
    // <config>/Marlenco/registry.json; empty when there is no config folder.
    static QString filePath();

    // The store as it is now; a missing, unreadable or damaged file reads as
    // an empty store. Creates nothing.
    static RegistryStore load();
    // The store for a change: makes its folder. Nothing when the folder
    // cannot be made or an existing file cannot be read.
    static std::optional<RegistryStore> openForWrite();

    bool hasKey(qint32 root, const QString& path) const;
    std::optional<StoredValue> value(qint32 root, const QString& path, const QString& name) const;

    // Creates the key and the missing keys above it; true when any was missing.
    bool createKey(qint32 root, const QString& path);
    // The key must exist (createKey).
    void setValue(qint32 root, const QString& path, const QString& name, const StoredValue& value);

    // Replaces the file in one step: a failure leaves the old file whole. A
    // damaged file is kept beside it as registry.json.damaged first.
    bool save() const;

private:
    // False when an existing file cannot be read.
    bool read();
    std::optional<QJsonObject> findKey(qint32 root, const QString& path) const;

    QJsonObject m_roots;
    bool m_damaged = false;
};

} // namespace movilibro
