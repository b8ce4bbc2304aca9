#include "statement/values.h"

#include "statement/text.h"

#include <QRegularExpression>

#include <QLocale>

#include <cstdlib>
#include <limits>

namespace movilibro::statement {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The characters around the number that say nothing about its value.
QString withoutDecoration(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSpace() || c == u'€')
            continue;
        if (text.mid(i, 3).compare(u"EUR", Qt::CaseInsensitive) == 0) {
            i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

// Takes the sign off the text: "-12", "+12", "12-" and "(12)".
bool takeSign(QString& body)
{
    if (body.size() >= 2 && body.front() == u'(' && body.back() == u')') {
        body = body.mid(1, body.size() - 2);
        return true;
    }
    if (!body.isEmpty() && (body.front() == u'-' || body.front() == QChar(0x2212))) {
        body.remove(0, 1);
        return true;
    }
    if (!body.isEmpty() && body.back() == u'-') {
        body.chop(1);
        return true;
    }
    if (!body.isEmpty() && body.front() == u'+')
        body.remove(0, 1);
    return false;
}

// Digits of the whole part, with groups of three after the first when grouped.
std::optional<QString> wholeDigits(QStringView part, QChar group)
{
    const QList<QStringView> groups = part.split(group);
    QString digits;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView g = groups[i];
        const bool sized = groups.size() == 1 || (i == 0 ? g.size() >= 1 && g.size() <= 3 : g.size() == 3);
        if (!sized || !std::all_of(g.begin(), g.end(), isDigit))
            return std::nullopt;
        digits += g;
    }
    return digits;
}

QString quoted(QStringView text)
{
    return QStringLiteral("«%1»").arg(printable(text.trimmed()));
}

} // namespace

AmountValue readAmount(QStringView text, QChar decimal)
{
    QString body = withoutDecoration(text);
    if (body.isEmpty())
        return {};
    const QString unreadable = QStringLiteral("importo illeggibile: ") + quoted(text);
    const bool negative = takeSign(body);
    const QChar group = decimal == u',' ? u'.' : u',';
    const qsizetype point = body.indexOf(decimal);
    if (point >= 0 && body.indexOf(decimal, point + 1) >= 0)
        return {std::nullopt, unreadable};
    const QStringView whole = QStringView(body).left(point < 0 ? body.size() : point);
    QStringView fraction = point < 0 ? QStringView() : QStringView(body).mid(point + 1);
    const std::optional<QString> digits = whole.isEmpty() ? QString() : wholeDigits(whole, group);
    if (!digits || !std::all_of(fraction.begin(), fraction.end(), isDigit) ||
        (digits->isEmpty() && fraction.isEmpty()))
        return {std::nullopt, unreadable};
    // Zeros past the fourth decimal change nothing; other digits there would
    // be lost.
    while (fraction.size() > 4 && fraction.back() == u'0')
        fraction.chop(1);
    if (fraction.size() > 4)
        return {std::nullopt, QStringLiteral("importo con più di quattro decimali: ") + quoted(text)};
    constexpr quint64 Max = quint64(std::numeric_limits<qint64>::max());
    quint64 raw = 0;
    for (const QChar d : *digits + fraction.toString().leftJustified(4, u'0')) {
        const quint64 digit = d.unicode() - u'0';
        if (raw > (Max - digit) / 10)
            return {std::nullopt, QStringLiteral("importo fuori dall'intervallo ammesso: ") + quoted(text)};
        raw = raw * 10 + digit;
    }
    const qint64 value = qint64(raw);
    return {Currency::fromRaw(negative ? -value : value), {}};
}

bool looksLikeAmount(QStringView text)
{
    return readAmount(text, u',').amount || readAmount(text, u'.').amount;
}

bool hasDecimalPoint(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^[^,]*\.\d{1,2}\D*$)"));
    return pattern.match(text.trimmed().toString()).hasMatch();
}

AmountValue readXmlAmount(QStringView text)
{
    static const QRegularExpression decimal(QStringLiteral(R"(^\+?(\d+(\.\d*)?|\.\d+)$)"));
    const QString t = text.trimmed().toString();
    if (t.isEmpty())
        return {};
    if (!decimal.match(t).hasMatch())
        return {std::nullopt,
                QStringLiteral("importo non scritto come numero decimale (per esempio 1500.00): ") +
                    quoted(text)};
    return readAmount(t, u'.');
}

QString amountOutOfRange(Currency amount)
{
    if (amount <= LargestAmount && amount >= -LargestAmount)
        return {};
    return QStringLiteral("importo oltre 999.999.999,99: %1")
        .arg(amount.toString(QLocale(QLocale::Italian, QLocale::Italy)));
}

namespace {

// A time of day after a date: " 10:30", "T10:30:00.000+02:00".
const QString TimeOfDay = QStringLiteral(
    R"((?:(?:[ T]|, ?)\d{1,2}[:.]\d{2}(?:[:.]\d{2}(?:[.,]\d{1,9})?)?(?: ?(?:Z|[+-]\d{2}:?\d{2}))?)?$)");

// Italian months, full or cut to three letters ("sett" too).
int monthNamed(const QString& word)
{
    static const char* const Names[] = {"gennaio",   "febbraio", "marzo",    "aprile",
                                        "maggio",    "giugno",   "luglio",   "agosto",
                                        "settembre", "ottobre",  "novembre", "dicembre"};
    const QString w = word.toLower();
    for (int m = 0; m < 12; ++m) {
        const QLatin1String name(Names[m]);
        if (w == name || (w.size() >= 3 && name.startsWith(w) && (w.size() == 3 || w == u"sett")))
            return m + 1;
    }
    return 0;
}

QDate withYear(int day, int month, const QString& year, QDate today)
{
    if (year.size() == 4) {
        const QDate date(year.toInt(), month, day);
        // The journal keeps four-digit years; anything before 1900 is a misread.
        return date.isValid() && date.year() >= 1900 ? date : QDate();
    }
    if (!today.isValid())
        today = QDate::currentDate();
    QDate nearest;
    for (const int century : {1900, 2000, 2100}) {
        const QDate date(century + year.toInt(), month, day);
        if (date.isValid() &&
            (!nearest.isValid() || std::abs(date.daysTo(today)) < std::abs(nearest.daysTo(today))))
            nearest = date;
    }
    return nearest;
}

struct NumericDate
{
    int first = 0, second = 0;
    QString year;
};

// "01/03/2024", "1-3-24", "01.03.2024 10:30": the two numbers before the year.
std::optional<NumericDate> numericDate(const QString& t)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d{1,2})([/.-])(\d{1,2})\2(\d{4}|\d{2}))") +
                                            TimeOfDay);
    const auto m = pattern.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    return NumericDate{m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4)};
}

} // namespace

QDate readDate(QStringView text, DateOrder order, QDate today)
{
    static const QRegularExpression yearFirst(QStringLiteral(R"(^(\d{4})([/.-])(\d{1,2})\2(\d{1,2}))") +
                                              TimeOfDay);
    static const QRegularExpression named(
        QStringLiteral(R"(^(\d{1,2})[ ./-]?([A-Za-z]{3,9})\.?[ ./-]?(\d{4}|\d{2}))") + TimeOfDay);
    const QString t = text.trimmed().toString();
    if (const auto d = numericDate(t)) {
        return order == DateOrder::DayMonth ? withYear(d->first, d->second, d->year, today)
                                            : withYear(d->second, d->first, d->year, today);
    }
    if (const auto m = yearFirst.match(t); m.hasMatch())
        return withYear(m.captured(4).toInt(), m.captured(3).toInt(), m.captured(1), today);
    if (const auto m = named.match(t); m.hasMatch()) {
        if (const int month = monthNamed(m.captured(2)))
            return withYear(m.captured(1).toInt(), month, m.captured(3), today);
    }
    return {};
}

std::pair<bool, bool> dateOrdersOf(QStringView text)
{
    const auto d = numericDate(text.trimmed().toString());
    if (!d)
        return {false, false};
    const QDate today(2000, 1, 1); // any: the century does not change which order fits
    return {withYear(d->first, d->second, d->year, today).isValid(),
            withYear(d->second, d->first, d->year, today).isValid()};
}

QDate readXmlDate(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})(?:T\d{2}:\d{2}:\d{2}(?:\.\d+)?)?(?:Z|[+-]\d{2}:\d{2})?$)"));
    const auto m = pattern.match(text.trimmed().toString());
    if (!m.hasMatch())
        return {};
    return withYear(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1), {});
}

} // namespace movilibro::statement
