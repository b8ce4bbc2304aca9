#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <compare>
#include <optional>
#include <stdexcept>

namespace movilibro {

class CurrencyOverflow : public std::overflow_error
{
public:
    CurrencyOverflow() : std::overflow_error("currency overflow") {}
};

// Money as a 64-bit count of ten-thousandths (12,50 is 125000): the form the
// journal stores, exact under addition and subtraction.
class Currency
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(qint64 tenThousandths)
    {
        Currency c;
        c.m_raw = tenThousandths;
        return c;
    }
    static constexpr Currency fromUnits(qint64 units) { return fromRaw(units * Scale); }

    constexpr qint64 raw() const { return m_raw; }
    constexpr bool isZero() const { return m_raw == 0; }
    constexpr bool isNegative() const { return m_raw < 0; }

    // Exact arithmetic; throws CurrencyOverflow instead of wrapping.
    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency& operator+=(Currency other) { return *this = *this + other; }
    Currency& operator-=(Currency other) { return *this = *this - other; }
    Currency operator-() const;
    // Magnitude; throws CurrencyOverflow for the one value without one.
    Currency abs() const;

    constexpr auto operator<=>(const Currency&) const = default;

    // Text as a user types it: digits, the locale's grouping and decimal
    // separators, surrounding blanks; at most four decimals. Anything else
    // (empty text included) gives nullopt, as does a value out of range.
    static std::optional<Currency> parse(const QString& text, const QLocale& locale = QLocale());
    // The same, but more than four decimals are rounded to four, half to
    // even as currency conversions do: "0,00125" gives 0,0012.
    static std::optional<Currency> parseRounded(const QString& text, const QLocale& locale = QLocale());

    // Plain text without grouping, with the locale's decimal separator and
    // the decimals needed (at least two): "1234,50", "-0,0001".
    QString toString(const QLocale& locale = QLocale()) const;

private:
    static std::optional<Currency> read(const QString& text, const QLocale& locale, bool rounding);

    qint64 m_raw = 0;
};

} // namespace movilibro
