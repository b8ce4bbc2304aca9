// Number and date patterns, and amounts typed by a user, on arbitrary input.
#include "format/currency.h"
#include "format/formatengine.h"

#include <QDate>
#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9)
        return 0;
    qint64 raw;
    std::memcpy(&raw, data + 1, sizeof raw);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 9), qsizetype(size - 9));
    static const QLocale locales[] = {QLocale(QLocale::Italian, QLocale::Italy), QLocale::c(),
                                      QLocale(QLocale::French, QLocale::Switzerland)};
    const QLocale& locale = locales[data[0] % 3];
    using namespace movilibro;
    switch ((data[0] / 3) % 4) {
    case 0:
        Format::number(Currency::fromRaw(raw), text, locale);
        break;
    case 1:
        Format::number(std::nullopt, text, locale);
        Format::number(raw, text, locale);
        break;
    case 2:
        Format::date(QDate::fromJulianDay(raw % 5000000), text, locale);
        break;
    default:
        if (const auto parsed = Currency::parse(text, locale)) {
            // What was accepted must read back the same.
            if (Currency::parse(parsed->toString(locale), locale) != parsed)
                __builtin_trap();
        }
        break;
    }
    return 0;
}
