#include "statement/statement.h"

#include "settings/registrywrappers.h"

namespace movilibro::statement {

namespace {

// Below the program's key, one text value per header.
QString section(const QString& settingsKey)
{
    return settingsKey + QStringLiteral("\\Estratti conto");
}

// "1|UTF-8|59|44|0|1,3,0,4": version, encoding, separator, decimal
// separator, date choice, roles by column.
QString encoded(const CsvLayout& l)
{
    QStringList roles;
    for (const ColumnRole r : l.roles)
        roles << QString::number(int(r));
    return QStringLiteral("1|%1|%2|%3|%4|%5")
        .arg(QString::fromLatin1(l.encoding))
        .arg(l.separator.unicode())
        .arg(l.decimalSeparator.unicode())
        .arg(int(l.dateChoice))
        .arg(roles.join(u','));
}

std::optional<CsvLayout> decoded(const QString& text)
{
    const QStringList parts = text.split(u'|');
    if (parts.size() != 6 || parts[0] != u"1")
        return std::nullopt;
    CsvLayout l;
    l.encoding = parts[1].toLatin1();
    l.separator = QChar(char16_t(parts[2].toUShort()));
    l.decimalSeparator = QChar(char16_t(parts[3].toUShort()));
    l.dateChoice = parts[4] == u"1" ? DateChoice::Value : DateChoice::Booking;
    for (const QString& r : parts[5].split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int role = r.toInt(&ok);
        if (!ok || role < int(ColumnRole::Ignored) || role > int(ColumnRole::Reference))
            return std::nullopt;
        l.roles << ColumnRole(role);
    }
    return l;
}

} // namespace

std::optional<CsvLayout> rememberedLayout(const QString& settingsKey, const QString& headerKey)
{
    const QString text =
        ReadRegistryValue(HKEY_CURRENT_USER, section(settingsKey), REG_SZ, headerKey, QString()).toString();
    return text.isEmpty() ? std::nullopt : decoded(text);
}

std::optional<CsvLayout> rememberedLayout(const QString& settingsKey, const CsvLayout& guessed)
{
    const std::optional<CsvLayout> kept = rememberedLayout(settingsKey, guessed.headerKey());
    if (!kept || kept->roles.size() != guessed.headers.size())
        return std::nullopt;
    CsvLayout layout = guessed;
    layout.roles = kept->roles;
    layout.dateChoice = kept->dateChoice;
    layout.decimalSeparator = kept->decimalSeparator;
    return layout;
}

void rememberLayout(const QString& settingsKey, const CsvLayout& layout)
{
    WriteRegistryValue(HKEY_CURRENT_USER, section(settingsKey), REG_SZ, layout.headerKey(), encoded(layout));
}

} // namespace movilibro::statement
