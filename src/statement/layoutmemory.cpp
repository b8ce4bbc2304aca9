#include "statement/statement.h"

#include "settings/registrywrappers.h"

namespace movilibro::statement {

namespace {

// Below the program's key, one text value per header.
QString section(const QString& settingsKey)
{
    return settingsKey + QStringLiteral("\\Estratti conto");
}

// "2|UTF-8|59|44|0|1,3,0,4|0|1": version, encoding, separator, decimal
// separator, date choice, roles by column, date order, sign of the amounts.
// Version 1 lacks the last two.
QString encoded(const ColumnLayout& l)
{
    QStringList roles;
    for (const ColumnRole r : l.roles)
        roles << QString::number(int(r));
    return QStringLiteral("2|%1|%2|%3|%4|%5|%6|%7")
        .arg(QString::fromLatin1(l.encoding))
        .arg(l.separator.unicode())
        .arg(l.decimalSeparator.unicode())
        .arg(int(l.dateChoice))
        .arg(roles.join(u','))
        .arg(int(l.dateOrder))
        .arg(int(l.amountSign));
}

std::optional<ColumnLayout> decoded(const QString& text)
{
    const QStringList parts = text.split(u'|');
    if (!(parts.size() == 6 && parts[0] == u"1") && !(parts.size() == 8 && parts[0] == u"2"))
        return std::nullopt;
    ColumnLayout l;
    l.encoding = parts[1].toLatin1();
    l.separator = QChar(char16_t(parts[2].toUShort()));
    l.decimalSeparator = QChar(char16_t(parts[3].toUShort()));
    l.dateChoice = parts[4] == u"1" ? DateChoice::Value : DateChoice::Booking;
    for (const QString& r : parts[5].split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int role = r.toInt(&ok);
        if (!ok || role < int(ColumnRole::Ignored) || role > int(ColumnRole::Currency))
            return std::nullopt;
        l.roles << ColumnRole(role);
    }
    if (parts.size() == 8) {
        l.dateOrder = parts[6] == u"1" ? DateOrder::MonthDay : DateOrder::DayMonth;
        l.amountSign = parts[7] == u"2"   ? AmountSign::PositiveOut
                       : parts[7] == u"0" ? AmountSign::Undecided
                                          : AmountSign::PositiveIn;
    }
    return l;
}

} // namespace

std::optional<ColumnLayout> rememberedLayout(const QString& settingsKey, const QString& headerKey)
{
    const QString text =
        ReadRegistryValue(HKEY_CURRENT_USER, section(settingsKey), REG_SZ, headerKey, QString()).toString();
    return text.isEmpty() ? std::nullopt : decoded(text);
}

std::optional<ColumnLayout> rememberedLayout(const QString& settingsKey, const ColumnLayout& guessed)
{
    const std::optional<ColumnLayout> kept = rememberedLayout(settingsKey, guessed.headerKey());
    if (!kept || kept->roles.size() != guessed.headers.size())
        return std::nullopt;
    ColumnLayout layout = guessed;
    layout.roles = kept->roles;
    layout.dateChoice = kept->dateChoice;
    layout.decimalSeparator = kept->decimalSeparator;
    layout.dateOrder = kept->dateOrder;
    layout.amountSign = kept->amountSign;
    return layout;
}

void rememberLayout(const QString& settingsKey, const ColumnLayout& layout)
{
    WriteRegistryValue(HKEY_CURRENT_USER, section(settingsKey), REG_SZ, layout.headerKey(), encoded(layout));
}

} // namespace movilibro::statement
