#include "format/formatengine.h"

#include "format/patterncache.h"

#include <QList>

#include <array>
#include <optional>

namespace movilibro::Format {

namespace {

enum class Field
{
    Literal,
    Day,
    Day2,
    DayName,
    LongDayName,
    Month,
    Month2,
    MonthName,
    LongMonthName,
    DayOfYear,
    Year2,
    Year4,
    Quarter
};

struct DateToken
{
    Field field = Field::Literal;
    QString text;
};

using DatePattern = QList<DateToken>;

Field dayField(qsizetype run)
{
    static constexpr std::array fields{Field::Day, Field::Day2, Field::DayName, Field::LongDayName};
    return fields[qMin(run, qsizetype(fields.size())) - 1];
}

Field monthField(qsizetype run)
{
    static constexpr std::array fields{Field::Month, Field::Month2, Field::MonthName, Field::LongMonthName};
    return fields[qMin(run, qsizetype(fields.size())) - 1];
}

Field yearField(qsizetype run)
{
    if (run == 1)
        return Field::DayOfYear;
    return run == 2 ? Field::Year2 : Field::Year4;
}

void appendLiteral(DatePattern& tokens, QChar c)
{
    if (tokens.isEmpty() || tokens.back().field != Field::Literal)
        tokens.append({Field::Literal, QString()});
    tokens.back().text += c;
}

DatePattern parseDatePattern(const QString& pattern)
{
    DatePattern tokens;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i].toLower();
        if (c == u'\\') {
            if (i + 1 < pattern.size())
                appendLiteral(tokens, pattern[i + 1]);
            i += 2;
            continue;
        }
        if (c == u'"') {
            for (++i; i < pattern.size() && pattern[i] != u'"'; ++i)
                appendLiteral(tokens, pattern[i]);
            ++i;
            continue;
        }
        if (c != u'd' && c != u'm' && c != u'y' && c != u'q') {
            appendLiteral(tokens, pattern[i++]);
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == c)
            ++run;
        i += run;
        if (c == u'q') {
            for (qsizetype k = 0; k < run; ++k)
                tokens.append({Field::Quarter, QString()});
        } else {
            tokens.append({c == u'd'   ? dayField(run)
                           : c == u'm' ? monthField(run)
                                       : yearField(run),
                           QString()});
        }
    }
    return tokens;
}

const DatePattern& datePattern(const QString& pattern)
{
    thread_local PatternCache<DatePattern> cache(parseDatePattern);
    return cache.get(pattern);
}

// Month and day names of one locale, asked of it once.
struct Names
{
    std::array<QString, 12> months;
    std::array<QString, 12> longMonths;
    std::array<QString, 7> days;
    std::array<QString, 7> longDays;
};

const Names& namesOf(const QLocale& locale)
{
    thread_local QLocale cachedLocale = QLocale::c();
    thread_local std::optional<Names> cached;
    if (!cached || !(locale == cachedLocale)) {
        Names names;
        for (int m = 1; m <= 12; ++m) {
            names.months[m - 1] = locale.monthName(m, QLocale::ShortFormat);
            names.longMonths[m - 1] = locale.monthName(m, QLocale::LongFormat);
        }
        for (int d = 1; d <= 7; ++d) {
            names.days[d - 1] = locale.dayName(d, QLocale::ShortFormat);
            names.longDays[d - 1] = locale.dayName(d, QLocale::LongFormat);
        }
        cachedLocale = locale;
        cached = std::move(names);
    }
    return *cached;
}

void appendPadded(QString& out, int value, int width)
{
    if (value < 0) {
        out += u'-';
        value = -value;
    }
    std::array<char16_t, 12> buffer;
    char16_t* const end = buffer.data() + buffer.size();
    char16_t* p = end;
    do {
        *--p = char16_t(u'0' + value % 10);
        value /= 10;
        --width;
    } while (value > 0 || width > 0);
    out.append(QStringView(p, end - p));
}

void appendField(QString& out, const DateToken& token, const QDate& value, const QLocale& locale)
{
    switch (token.field) {
    case Field::Literal:
        out += token.text;
        break;
    case Field::Day:
    case Field::Day2:
        appendPadded(out, value.day(), token.field == Field::Day2 ? 2 : 1);
        break;
    case Field::DayName:
    case Field::LongDayName: {
        const Names& names = namesOf(locale);
        const int index = value.dayOfWeek() - 1;
        out += token.field == Field::DayName ? names.days[index] : names.longDays[index];
        break;
    }
    case Field::Month:
    case Field::Month2:
        appendPadded(out, value.month(), token.field == Field::Month2 ? 2 : 1);
        break;
    case Field::MonthName:
    case Field::LongMonthName: {
        const Names& names = namesOf(locale);
        const int index = value.month() - 1;
        out += token.field == Field::MonthName ? names.months[index] : names.longMonths[index];
        break;
    }
    case Field::DayOfYear:
        appendPadded(out, value.dayOfYear(), 1);
        break;
    case Field::Year2:
        appendPadded(out, value.year() % 100, 2);
        break;
    case Field::Year4:
        appendPadded(out, value.year(), 4);
        break;
    case Field::Quarter:
        appendPadded(out, (value.month() - 1) / 3 + 1, 1);
        break;
    }
}

} // namespace

QString date(const QDate& value, const QString& pattern, const QLocale& locale)
{
    if (!value.isValid())
        return QString();
    QString out;
    out.reserve(pattern.size() + 8);
    for (const DateToken& token : datePattern(pattern))
        appendField(out, token, value, locale);
    return out;
}

} // namespace movilibro::Format
