#include "format/currency.h"

#include <limits>

namespace movilibro {

namespace {

constexpr qint64 MaxRaw = std::numeric_limits<qint64>::max();
constexpr qint64 MinRaw = std::numeric_limits<qint64>::min();
constexpr int MaxDecimals = 4;

// A blank the display format may leave around the number, no-break ones included.
bool isBlank(QChar c)
{
    return c.isSpace();
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads digits and grouped digits of a typed amount into an unsigned
// magnitude of ten-thousandths, refusing anything that does not fit.
class AmountReader
{
public:
    AmountReader(QStringView text, const QLocale& locale, bool rounding)
        : m_text(text), m_decimal(locale.decimalPoint()), m_group(locale.groupSeparator()),
          m_rounding(rounding)
    {
        // Typing a plain blank where the locale groups with a no-break one is fine.
        m_blankGroups = m_group.size() == 1 && isBlank(m_group.front());
    }

    std::optional<quint64> read()
    {
        if (!readInteger() || !readFraction() || m_pos != m_text.size() || m_digits == 0)
            return std::nullopt;
        for (int i = m_decimals; i < MaxDecimals; ++i) {
            if (!appendDigit(0))
                return std::nullopt;
        }
        // Half to even: ...5 exactly goes to the even neighbour.
        const bool up = m_dropped > 5 || (m_dropped == 5 && (m_droppedTail || m_value % 2 == 1));
        if (up && m_value == quint64(MaxRaw) + 1)
            return std::nullopt;
        return up ? m_value + 1 : m_value;
    }

private:
    bool readInteger()
    {
        int groupLength = -1; // digits since the last separator; -1 before any
        int leading = 0;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (isAsciiDigit(c)) {
                if (!appendDigit(c.unicode() - u'0'))
                    return false;
                ++m_digits;
                if (groupLength >= 0)
                    ++groupLength;
                else
                    ++leading;
                ++m_pos;
            } else if (atGroupSeparator()) {
                // Groups are whole thousands: "1.234.567", never "12.34".
                if (leading == 0 || leading > 3 || (groupLength >= 0 && groupLength != 3))
                    return false;
                groupLength = 0;
                m_pos += groupSeparatorLength();
            } else {
                break;
            }
        }
        return groupLength < 0 || groupLength == 3;
    }

    bool readFraction()
    {
        if (!m_text.mid(m_pos).startsWith(m_decimal))
            return true;
        m_pos += m_decimal.size();
        while (m_pos < m_text.size() && isAsciiDigit(m_text[m_pos])) {
            const int digit = m_text[m_pos].unicode() - u'0';
            if (m_decimals == MaxDecimals) {
                if (!m_rounding)
                    return false;
                if (m_dropped < 0)
                    m_dropped = digit;
                else
                    m_droppedTail = m_droppedTail || digit != 0;
            } else if (!appendDigit(digit)) {
                return false;
            } else {
                ++m_decimals;
            }
            ++m_digits;
            ++m_pos;
        }
        return true;
    }

    bool atGroupSeparator() const
    {
        const QStringView rest = m_text.mid(m_pos);
        if (!m_group.isEmpty() && rest.startsWith(m_group))
            return true;
        return m_blankGroups && rest.front() == u' ';
    }

    qsizetype groupSeparatorLength() const
    {
        return m_text.mid(m_pos).startsWith(m_group) ? m_group.size() : 1;
    }

    bool appendDigit(int digit)
    {
        // One past the largest magnitude (that of the most negative value) still fits.
        constexpr quint64 limit = quint64(MaxRaw) + 1;
        if (m_value > (limit - quint64(digit)) / 10)
            return false;
        m_value = m_value * 10 + quint64(digit);
        return true;
    }

    QStringView m_text;
    QString m_decimal;
    QString m_group;
    bool m_blankGroups = false;
    qsizetype m_pos = 0;
    quint64 m_value = 0;
    int m_digits = 0;
    int m_decimals = 0;
    bool m_rounding = false;
    int m_dropped = -1; // first decimal beyond the fourth, when rounding
    bool m_droppedTail = false;
};

} // namespace

Currency Currency::operator+(Currency other) const
{
    if ((other.m_raw > 0 && m_raw > MaxRaw - other.m_raw) ||
        (other.m_raw < 0 && m_raw < MinRaw - other.m_raw))
        throw CurrencyOverflow();
    return fromRaw(m_raw + other.m_raw);
}

Currency Currency::operator-(Currency other) const
{
    if ((other.m_raw < 0 && m_raw > MaxRaw + other.m_raw) ||
        (other.m_raw > 0 && m_raw < MinRaw + other.m_raw))
        throw CurrencyOverflow();
    return fromRaw(m_raw - other.m_raw);
}

Currency Currency::operator-() const
{
    if (m_raw == MinRaw)
        throw CurrencyOverflow();
    return fromRaw(-m_raw);
}

Currency Currency::abs() const
{
    return m_raw < 0 ? -*this : *this;
}

std::optional<Currency> Currency::parse(const QString& text, const QLocale& locale)
{
    return read(text, locale, false);
}

std::optional<Currency> Currency::parseRounded(const QString& text, const QLocale& locale)
{
    return read(text, locale, true);
}

std::optional<Currency> Currency::read(const QString& text, const QLocale& locale, bool rounding)
{
    QStringView view = QStringView(text);
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.mid(1);
    while (!view.isEmpty() && isBlank(view.back()))
        view.chop(1);

    bool negative = false;
    if (!view.isEmpty() && (view.front() == u'-' || view.front() == u'+')) {
        negative = view.front() == u'-';
        view = view.mid(1);
    } else if (const QString sign = locale.negativeSign(); !sign.isEmpty() && view.startsWith(sign)) {
        negative = true;
        view = view.mid(sign.size());
    }

    const std::optional<quint64> magnitude = AmountReader(view, locale, rounding).read();
    if (!magnitude)
        return std::nullopt;
    if (negative)
        return fromRaw(qint64(0 - *magnitude));
    if (*magnitude > quint64(MaxRaw))
        return std::nullopt;
    return fromRaw(qint64(*magnitude));
}

QString Currency::toString(const QLocale& locale) const
{
    const quint64 magnitude = m_raw < 0 ? 0 - quint64(m_raw) : quint64(m_raw);
    quint64 fraction = magnitude % Scale;
    int decimals = MaxDecimals;
    while (decimals > 2 && fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    QString text;
    text.reserve(24);
    if (m_raw < 0)
        text += u'-';
    text += QString::number(magnitude / Scale);
    text += locale.decimalPoint();
    text += QString::number(fraction).rightJustified(decimals, u'0');
    return text;
}

} // namespace movilibro
