#include "format/formatengine.h"

#include "format/patterncache.h"

#include <array>

namespace movilibro::Format {

namespace {

// One section of a number pattern: literal text around one run of digit
// placeholders.
struct NumberSection
{
    QString prefix;
    QString suffix;
    bool showsNumber = false;
    bool grouping = false;
    bool hasPoint = false;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

enum SectionIndex
{
    Positive,
    Negative,
    Zero,
    Null,
    SectionCount
};

// What each kind of value prints with; resolved once when the pattern is read.
struct NumberPattern
{
    std::array<NumberSection, SectionCount> sections;
    std::array<bool, SectionCount> usesPositive{};
    bool hasNullSection = false;
};

// Bounds that keep every digit run inside 64 bits and a small buffer.
constexpr int MaxDecimals = 15;
constexpr int MaxIntegerDigits = 20;

bool isPlaceholder(QChar c)
{
    return c == u'#' || c == u'0';
}

// Splits at ';' outside quotes and escapes.
QList<QStringView> splitSections(QStringView pattern)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u'\\' && !quoted) {
            ++i;
        } else if (c == u';' && !quoted) {
            sections.append(pattern.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(pattern.mid(start));
    return sections;
}

class SectionReader
{
public:
    explicit SectionReader(QStringView text) : m_text(text) {}

    NumberSection read()
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos];
            if (c == u'\\') {
                ++m_pos;
                if (m_pos < m_text.size())
                    literal(m_text[m_pos++]);
            } else if (c == u'"') {
                quoted();
            } else if (m_state != State::After && startsNumber()) {
                numberChar(c);
                ++m_pos;
            } else {
                literal(c);
                ++m_pos;
            }
        }
        return m_section;
    }

private:
    enum class State
    {
        Before,
        Inside,
        After
    };

    bool startsNumber() const
    {
        const QChar c = m_text[m_pos];
        if (isPlaceholder(c))
            return true;
        if (c == u'.' && !m_section.hasPoint)
            return m_state == State::Inside || nextIsPlaceholder();
        return c == u',' && m_state == State::Inside && !m_section.hasPoint;
    }

    bool nextIsPlaceholder() const { return m_pos + 1 < m_text.size() && isPlaceholder(m_text[m_pos + 1]); }

    void numberChar(QChar c)
    {
        m_state = State::Inside;
        m_section.showsNumber = true;
        if (c == u'.') {
            m_section.hasPoint = true;
        } else if (c == u',') {
            // Only a comma between placeholders groups; one before the point does nothing here.
            m_section.grouping = m_section.grouping || nextIsPlaceholder();
        } else if (m_section.hasPoint) {
            if (m_section.maxDecimals == MaxDecimals)
                return;
            ++m_section.maxDecimals;
            if (c == u'0')
                m_section.minDecimals = m_section.maxDecimals;
        } else if (c == u'0') {
            m_section.minIntegerDigits = qMin(m_section.minIntegerDigits + 1, MaxIntegerDigits);
        }
    }

    void quoted()
    {
        ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u'"')
            literal(m_text[m_pos++]);
        ++m_pos;
    }

    void literal(QChar c)
    {
        if (m_state == State::Before) {
            m_section.prefix += c;
        } else {
            m_state = State::After;
            m_section.suffix += c;
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    State m_state = State::Before;
    NumberSection m_section;
};

NumberPattern parseNumberPattern(const QString& pattern)
{
    const QList<QStringView> texts = splitSections(pattern);
    NumberPattern parsed;
    parsed.sections[Positive] = SectionReader(texts[Positive]).read();
    for (int i = Negative; i < SectionCount; ++i) {
        if (i < texts.size() && !texts[i].isEmpty())
            parsed.sections[i] = SectionReader(texts[i]).read();
        else
            parsed.usesPositive[i] = true;
    }
    parsed.hasNullSection = texts.size() > Null;
    return parsed;
}

const NumberPattern& numberPattern(const QString& pattern)
{
    thread_local PatternCache<NumberPattern> cache(parseNumberPattern);
    return cache.get(pattern);
}

struct Separators
{
    QString decimal;
    QString group;
};

const Separators& separatorsOf(const QLocale& locale)
{
    thread_local QLocale cachedLocale = QLocale::c();
    thread_local Separators cached{QLocale::c().decimalPoint(), QLocale::c().groupSeparator()};
    if (!(locale == cachedLocale)) {
        cachedLocale = locale;
        cached = {locale.decimalPoint(), locale.groupSeparator()};
    }
    return cached;
}

// A value reduced to what a section prints: its magnitude in whole units and
// ten-thousandths.
struct Magnitude
{
    quint64 units = 0;
    quint64 tenThousandths = 0;
};

constexpr quint64 powerOfTen(int exponent)
{
    quint64 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

// Digits of value right-aligned in buffer; returns the first one.
char16_t* writeDigits(quint64 value, int minDigits, char16_t* end)
{
    char16_t* p = end;
    while (value > 0 || minDigits > 0) {
        *--p = char16_t(u'0' + value % 10);
        value /= 10;
        --minDigits;
    }
    return p;
}

void appendInteger(QString& out, quint64 units, const NumberSection& section, const Separators& seps)
{
    std::array<char16_t, 32> buffer;
    char16_t* const end = buffer.data() + buffer.size();
    const char16_t* digits = writeDigits(units, section.minIntegerDigits, end);
    const qsizetype count = end - digits;
    if (!section.grouping) {
        out.append(QStringView(digits, count));
        return;
    }
    qsizetype head = count % 3 == 0 ? 3 : count % 3;
    out.append(QStringView(digits, qMin(head, count)));
    for (qsizetype i = head; i < count; i += 3) {
        out += seps.group;
        out.append(QStringView(digits + i, 3));
    }
}

void appendNumber(QString& out, Magnitude value, const NumberSection& section, const Separators& seps)
{
    const int decimals = section.maxDecimals;
    quint64 fraction = 0;
    if (decimals >= 4) {
        fraction = value.tenThousandths * powerOfTen(decimals - 4);
    } else {
        const quint64 divisor = powerOfTen(4 - decimals);
        fraction = value.tenThousandths / divisor;
        // Half away from zero: the sign is already set apart.
        if ((value.tenThousandths % divisor) * 2 >= divisor)
            ++fraction;
        if (fraction == powerOfTen(decimals)) {
            fraction = 0;
            ++value.units;
        }
    }
    appendInteger(out, value.units, section, seps);
    if (!section.hasPoint)
        return;
    out += seps.decimal;
    int shown = decimals;
    while (shown > section.minDecimals && fraction % 10 == 0) {
        fraction /= 10;
        --shown;
    }
    std::array<char16_t, 32> buffer;
    char16_t* const end = buffer.data() + buffer.size();
    const char16_t* digits = writeDigits(fraction, shown, end);
    if (shown > 0)
        out.append(QStringView(digits, end - digits));
}

QString formatSection(const NumberSection& section, Magnitude value, bool minus, const QLocale& locale)
{
    QString out;
    out.reserve(section.prefix.size() + section.suffix.size() + 32);
    if (minus)
        out += u'-';
    out += section.prefix;
    if (section.showsNumber)
        appendNumber(out, value, section, separatorsOf(locale));
    out += section.suffix;
    return out;
}

QString formatValue(std::optional<qint64> raw, qint64 scale, const QString& pattern, const QLocale& locale)
{
    const NumberPattern& parsed = numberPattern(pattern);
    SectionIndex index = Positive;
    if (!raw)
        index = Null;
    else if (*raw == 0)
        index = Zero;
    else if (*raw < 0)
        index = Negative;

    if (index == Null && !parsed.hasNullSection)
        return QString();
    const bool fallback = parsed.usesPositive[index];
    const NumberSection& section = parsed.sections[fallback ? Positive : index];

    Magnitude value;
    if (raw) {
        const quint64 magnitude = *raw < 0 ? 0 - quint64(*raw) : quint64(*raw);
        value.units = magnitude / quint64(scale);
        value.tenThousandths = (magnitude % quint64(scale)) * quint64(Currency::Scale / scale);
    }
    return formatSection(section, value, fallback && index == Negative, locale);
}

} // namespace

QString number(std::optional<Currency> value, const QString& pattern, const QLocale& locale)
{
    return formatValue(value ? std::optional<qint64>(value->raw()) : std::nullopt, Currency::Scale, pattern,
                       locale);
}

QString number(qint64 value, const QString& pattern, const QLocale& locale)
{
    return formatValue(value, 1, pattern, locale);
}

} // namespace movilibro::Format
