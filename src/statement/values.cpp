#include "statement/values.h"

#include "db/schema.h"
#include "search/textfold.h"

#include <QRegularExpression>
#include <QStringDecoder>

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
    return QStringLiteral("«%1»").arg(text.trimmed());
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

QDate readDate(QStringView text)
{
    static const QRegularExpression dayFirst(
        QStringLiteral(R"(^(\d{1,2})([/.-])(\d{1,2})\2(\d{4}|\d{2})(?:[ T].*)?$)"));
    static const QRegularExpression yearFirst(QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T].*)?$)"));
    const QStringView t = text.trimmed();
    QDate date;
    if (const auto m = dayFirst.match(t.toString()); m.hasMatch()) {
        int year = m.captured(4).toInt();
        if (m.capturedLength(4) == 2)
            year += 2000;
        date = QDate(year, m.captured(3).toInt(), m.captured(1).toInt());
    } else if (const auto m = yearFirst.match(t.toString()); m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    // The journal keeps four-digit years; anything before 1900 is a misread.
    if (date.isValid() && (date.year() < 1900 || date.year() > 9999))
        return {};
    return date;
}

QString collapsedBlanks(QStringView text)
{
    return text.toString().simplified();
}

QString fittedDescription(const QString& text)
{
    constexpr int Size = db::schema::DescriptionSize;
    if (text.size() <= Size)
        return text;
    qsizetype kept = Size - 1;
    if (text[kept - 1].isHighSurrogate())
        --kept;
    return text.left(kept) + QChar(0x2026);
}

QString comparableDescription(QStringView text)
{
    return search::foldText(collapsedBlanks(text));
}

QStringList comparableHeader(QStringList cells)
{
    while (!cells.isEmpty() && cells.back().trimmed().isEmpty())
        cells.removeLast();
    for (QString& c : cells)
        c = comparableDescription(c);
    return cells;
}

namespace {

// Windows-1252 where it differs from Latin-1; zero for its five unused bytes.
constexpr char16_t Cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromCp1252(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        const char16_t c = b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : char16_t(b);
        *dst++ = QChar(c ? c : char16_t(QChar::ReplacementCharacter));
    }
    return out;
}

QString fromUnicode(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

} // namespace

QString decodeAs(const QByteArray& bytes, const QByteArray& encoding)
{
    if (encoding == "Windows-1252")
        return fromCp1252(bytes);
    if (encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        const auto kind = encoding == "UTF-16LE" ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        const bool bom = bytes.startsWith(encoding == "UTF-16LE" ? "\xFF\xFE" : "\xFE\xFF");
        return fromUnicode(kind, QByteArrayView(bytes).sliced(bom ? 2 : 0));
    }
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    return fromUnicode(QStringConverter::Utf8, QByteArrayView(bytes).sliced(bom ? 3 : 0));
}

QString decodeText(const QByteArray& bytes, QByteArray* encoding)
{
    QByteArray name = "UTF-8";
    if (bytes.startsWith("\xFF\xFE"))
        name = "UTF-16LE";
    else if (bytes.startsWith("\xFE\xFF"))
        name = "UTF-16BE";
    QString text;
    if (name == "UTF-8") {
        const bool bom = bytes.startsWith("\xEF\xBB\xBF");
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = utf8.decode(QByteArrayView(bytes).sliced(bom ? 3 : 0));
        if (utf8.hasError()) {
            name = "Windows-1252";
            text = fromCp1252(bytes);
        }
    } else {
        text = decodeAs(bytes, name);
    }
    if (encoding)
        *encoding = name;
    return text;
}

} // namespace movilibro::statement
