#include "settings/registrystore.h"

#include "settings/comregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace movilibro {

namespace {

const QString KeysField = QStringLiteral("keys");
const QString ValuesField = QStringLiteral("values");
const QString TypeField = QStringLiteral("type");
const QString DataField = QStringLiteral("data");

QString rootName(qint32 root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    case HKEY_CURRENT_CONFIG:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    default:
        return QString::number(root);
    }
}

QStringList pathParts(const QString& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

// The name as stored, matched without regard to case; null when absent.
QString storedName(const QJsonObject& object, const QString& name)
{
    if (object.contains(name))
        return name;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return QString();
}

// Copies node with the keys of parts present below it; JSON objects are
// values, so the path is rebuilt from the bottom up.
QJsonObject withKey(QJsonObject node, QStringList::const_iterator part, QStringList::const_iterator end,
                    bool& created)
{
    if (part == end)
        return node;
    QJsonObject keys = node.value(KeysField).toObject();
    QString stored = storedName(keys, *part);
    if (stored.isNull()) {
        stored = *part;
        created = true;
    }
    keys.insert(stored, withKey(keys.value(stored).toObject(), part + 1, end, created));
    node.insert(KeysField, keys);
    return node;
}

QJsonObject withValue(QJsonObject node, QStringList::const_iterator part, QStringList::const_iterator end,
                      const QString& name, const QJsonObject& value)
{
    if (part == end) {
        QJsonObject values = node.value(ValuesField).toObject();
        const QString stored = storedName(values, name);
        values.insert(stored.isNull() ? name : stored, value);
        node.insert(ValuesField, values);
        return node;
    }
    QJsonObject keys = node.value(KeysField).toObject();
    const QString stored = storedName(keys, *part);
    keys.insert(stored, withValue(keys.value(stored).toObject(), part + 1, end, name, value));
    node.insert(KeysField, keys);
    return node;
}

} // namespace

QString RegistryStore::filePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return QString();
    return config + QStringLiteral("/Marlenco/registry.json");
}

RegistryStore RegistryStore::load()
{
    RegistryStore store;
    store.read();
    return store;
}

std::optional<RegistryStore> RegistryStore::openForWrite()
{
    const QString path = filePath();
    RegistryStore store;
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()) || !store.read())
        return std::nullopt;
    return store;
}

bool RegistryStore::read()
{
    m_roots = QJsonObject();
    m_damaged = false;
    QFile file(filePath());
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents, &error);
    m_damaged = error.error != QJsonParseError::NoError || !document.isObject();
    m_roots = document.object();
    return true;
}

std::optional<QJsonObject> RegistryStore::findKey(qint32 root, const QString& path) const
{
    const QString rootStored = storedName(m_roots, rootName(root));
    if (rootStored.isNull())
        return std::nullopt;
    QJsonObject node = m_roots.value(rootStored).toObject();
    for (const QString& part : pathParts(path)) {
        const QJsonObject keys = node.value(KeysField).toObject();
        const QString stored = storedName(keys, part);
        if (stored.isNull())
            return std::nullopt;
        node = keys.value(stored).toObject();
    }
    return node;
}

bool RegistryStore::hasKey(qint32 root, const QString& path) const
{
    return findKey(root, path).has_value();
}

std::optional<StoredValue> RegistryStore::value(qint32 root, const QString& path, const QString& name) const
{
    const std::optional<QJsonObject> key = findKey(root, path);
    if (!key)
        return std::nullopt;
    const QJsonObject values = key->value(ValuesField).toObject();
    const QString stored = storedName(values, name);
    if (stored.isNull())
        return std::nullopt;
    const QJsonObject entry = values.value(stored).toObject();
    const QJsonValue type = entry.value(TypeField);
    if (!type.isDouble() || !entry.contains(DataField))
        return std::nullopt;
    return StoredValue{type.toInt(), entry.value(DataField)};
}

bool RegistryStore::createKey(qint32 root, const QString& path)
{
    const QString name = rootName(root);
    const QString rootStored = storedName(m_roots, name);
    bool created = rootStored.isNull();
    const QString rootKey = created ? name : rootStored;
    const QStringList parts = pathParts(path);
    m_roots.insert(rootKey, withKey(m_roots.value(rootKey).toObject(), parts.begin(), parts.end(), created));
    return created;
}

void RegistryStore::setValue(qint32 root, const QString& path, const QString& name, const StoredValue& value)
{
    const QString rootKey = storedName(m_roots, rootName(root));
    const QStringList parts = pathParts(path);
    const QJsonObject entry{{TypeField, value.type}, {DataField, value.data}};
    m_roots.insert(rootKey,
                   withValue(m_roots.value(rootKey).toObject(), parts.begin(), parts.end(), name, entry));
}

bool RegistryStore::save() const
{
    const QString path = filePath();
    if (m_damaged) {
        const QString kept = path + QStringLiteral(".damaged");
        QFile::remove(kept);
        QFile::copy(path, kept);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray contents = QJsonDocument(m_roots).toJson(QJsonDocument::Indented);
    // Qt 6.4 commits even when the final flush failed, replacing the file with
    // a truncated one; flush first and give up on any error.
    if (file.write(contents) != contents.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace movilibro
