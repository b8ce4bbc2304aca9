#include "settings/comregistry.h"

#include "settings/registrystore.h"

#include <QtEndian>

#include <cmath>

namespace movilibro {

namespace {

// %NAME% becomes the variable's value; a reference to an unset variable stays as written.
QString expandEnvironment(const QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) {
            out += QStringView(text).mid(pos);
            break;
        }
        out += QStringView(text).mid(pos, open - pos);
        const QByteArray name = text.mid(open + 1, close - open - 1).toLocal8Bit();
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.constData()))
            out += qEnvironmentVariable(name.constData());
        else
            out += QStringView(text).mid(open, close - open + 1);
        pos = close + 1;
    }
    return out;
}

// A '%' and another one at least two places further on.
bool hasExpandableReference(const QString& text)
{
    const qsizetype first = text.indexOf(u'%');
    return first >= 0 && text.indexOf(u'%', first + 2) >= 0;
}

std::optional<quint32> dwordOf(const QJsonValue& data)
{
    if (!data.isDouble())
        return std::nullopt;
    const double number = data.toDouble();
    if (number != std::floor(number) || number < -2147483648.0 || number > 4294967295.0)
        return std::nullopt;
    return quint32(qint64(number));
}

std::optional<QVariant> decode(const StoredValue& stored)
{
    switch (stored.type) {
    case REG_SZ:
    case REG_MULTI_SZ:
    case REG_EXPAND_SZ: {
        if (!stored.data.isString())
            return std::nullopt;
        const QString text = stored.data.toString();
        return QVariant(stored.type == REG_EXPAND_SZ ? expandEnvironment(text) : text);
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        const std::optional<quint32> dword = dwordOf(stored.data);
        if (!dword)
            return std::nullopt;
        return QVariant(qint32(stored.type == REG_DWORD ? *dword : qbswap(*dword)));
    }
    default: {
        if (!stored.data.isString())
            return std::nullopt;
        const auto bytes = QByteArray::fromBase64Encoding(stored.data.toString().toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
        if (!bytes)
            return std::nullopt;
        return QVariant(*bytes);
    }
    }
}

struct Encoded
{
    enum Outcome
    {
        Store,
        Skip,
        NotBytes,
        Refused
    };
    Outcome outcome = Store;
    StoredValue stored;
};

Encoded encodeDword(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
        return {Encoded::Store, {REG_DWORD, value.toInt()}};
    case QMetaType::UInt:
        return {Encoded::Store, {REG_DWORD, qint32(value.toUInt())}};
    case QMetaType::Float: {
        // Rounded half to even, as a 32-bit conversion of a float always was here.
        const double rounded = std::nearbyint(double(value.toFloat()));
        if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
            return {Encoded::Refused, {}};
        return {Encoded::Store, {REG_DWORD, qint32(rounded)}};
    }
    default:
        return {Encoded::Skip, {}};
    }
}

Encoded encode(const QVariant& value, qint32 valueType)
{
    switch (valueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const QString text = value.toString();
        return {Encoded::Store, {hasExpandableReference(text) ? REG_EXPAND_SZ : REG_SZ, text}};
    }
    case REG_BINARY:
        if (value.typeId() != QMetaType::QByteArray)
            return {Encoded::NotBytes, {}};
        return {Encoded::Store, {REG_BINARY, QString::fromLatin1(value.toByteArray().toBase64())}};
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        return encodeDword(value);
    default:
        return {Encoded::Refused, {}};
    }
}

} // namespace

QVariant comRegistry::Value()
{
    const std::optional<StoredValue> stored =
        RegistryStore::load().value(m_classKey, m_sectionKey, m_valueKey);
    const std::optional<QVariant> decoded = stored ? decode(*stored) : std::nullopt;
    if (!decoded) {
        m_value = m_default;
        return m_default;
    }
    m_valueType = stored->type;
    m_value = *decoded;
    return m_value;
}

void comRegistry::setValue(const QVariant& value)
{
    std::optional<RegistryStore> store = RegistryStore::openForWrite();
    if (!store)
        throw RegistryError(RegistryError::StoreFailed, failureDescription());

    const Encoded encoded = encode(value, m_valueType);
    bool changed = store->createKey(m_classKey, m_sectionKey);
    if (encoded.outcome == Encoded::Store) {
        store->setValue(m_classKey, m_sectionKey, m_valueKey, encoded.stored);
        changed = true;
    }
    if (changed && !store->save()) {
        const bool valueLost = encoded.outcome == Encoded::Store;
        throw RegistryError(valueLost ? RegistryError::WriteFailed : RegistryError::StoreFailed,
                            failureDescription());
    }
    if (encoded.outcome == Encoded::NotBytes)
        throw RegistryError(RegistryError::StoreFailed, QString());
    if (encoded.outcome == Encoded::Refused)
        throw RegistryError(RegistryError::WriteFailed, failureDescription());
    m_value = value;
}

QString comRegistry::failureDescription() const
{
    return QStringLiteral("Failed to set registry value Key: '") + QString::number(m_classKey) +
           QStringLiteral("',Section: '") + m_sectionKey + QStringLiteral("',Key: '") + m_valueKey +
           QStringLiteral("' to value: '") + m_value.toString() + QStringLiteral("'");
}

} // namespace movilibro
