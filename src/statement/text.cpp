#include "statement/text.h"

#include "db/schema.h"
#include "search/textfold.h"

#include <QStringDecoder>

namespace movilibro::statement {

namespace {

// Windows-1252 where it differs from Latin-1; zero for its five unused bytes.
constexpr char16_t Cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar cp1252Char(unsigned char b)
{
    const char16_t c = b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : char16_t(b);
    return QChar(c ? c : char16_t(QChar::ReplacementCharacter));
}

// The byte a character came from when read as Windows-1252; -1 when none.
int cp1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == u && u != 0)
            return 0x80 + i;
    }
    return -1;
}

// Length of the well-formed UTF-8 sequence at `p` (1 for ASCII), 0 when none.
int utf8Length(const unsigned char* p, qsizetype left)
{
    const unsigned char b = p[0];
    if (b < 0x80)
        return 1;
    const int n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (n == 0 || left < n)
        return 0;
    const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
    if (p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < n; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    }
    return n;
}

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    // C0, DEL, C1, and the marks that turn the direction of the text around.
    return u < 0x20 || (u >= 0x7F && u < 0xA0) || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

bool isLineBlank(QChar c)
{
    return c == u'\t' || c == u'\n' || c == u'\r';
}

QString withoutControls(QString text)
{
    text.removeIf([](QChar c) { return isControl(c) && !isLineBlank(c); });
    return text;
}

QString fromCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char byte : bytes)
        *dst++ = cp1252Char(static_cast<unsigned char>(byte));
    return out;
}

QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

// UTF-8 where well-formed, other bytes as Windows-1252: a file written in
// UTF-8 with a byte pasted in from elsewhere.
QString fromMixedUtf8(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int n = utf8Length(p + i, bytes.size() - i);
        if (n > 0) {
            i += n;
            continue;
        }
        out += fromUtf8(bytes.sliced(runStart, i - runStart));
        out += cp1252Char(p[i]);
        runStart = ++i;
    }
    out += fromUtf8(bytes.sliced(runStart));
    return out;
}

// Text written as UTF-8 and read back as Windows-1252 ("CaffÃ¨", "â‚¬"):
// each such sequence becomes the character it was. Only letters and common
// signs come out, so real text is left as it is.
QString mendedDoubleDecoding(QStringView text)
{
    const bool suspect = std::any_of(text.begin(), text.end(),
                                     [](QChar c) { return c.unicode() >= 0xC2 && c.unicode() <= 0xF4; });
    if (!suspect)
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int lead = cp1252Byte(text[i]);
        unsigned char bytes[4] = {static_cast<unsigned char>(lead), 0, 0, 0};
        const int n = lead >= 0xC2 && lead <= 0xDF   ? 2
                      : lead >= 0xE0 && lead <= 0xEF ? 3
                      : lead >= 0xF0                 ? 4
                                                     : 1;
        bool whole = n > 1 && i + n <= text.size();
        for (int k = 1; whole && k < n; ++k) {
            const int b = cp1252Byte(text[i + k]);
            whole = b >= 0x80 && b <= 0xBF;
            bytes[k] = static_cast<unsigned char>(b);
        }
        if (whole && utf8Length(bytes, n) == n) {
            const QString c = fromUtf8(QByteArrayView(reinterpret_cast<const char*>(bytes), n));
            const char16_t u = c.at(0).unicode();
            if (c.size() == 1 && ((u >= 0xA0 && u <= 0x17F) || (u >= 0x2000 && u <= 0x20CF))) {
                out += c;
                i += n - 1;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

QString collapsedBlanks(QStringView text)
{
    return text.toString().simplified();
}

QString cleanText(QStringView text)
{
    QString out = mendedDoubleDecoding(text);
    out.removeIf([](QChar c) { return isControl(c) && !isLineBlank(c); });
    return out.simplified();
}

QString printable(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out) {
        if (isControl(c) && c != u'\n')
            c = u'?';
    }
    return out;
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

QString decodeAs(const QByteArray& bytes, const QByteArray& encoding)
{
    if (encoding == "Windows-1252")
        return withoutControls(fromCp1252(bytes));
    if (encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        const bool little = encoding == "UTF-16LE";
        const bool bom = bytes.startsWith(little ? "\xFF\xFE" : "\xFE\xFF");
        QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        return withoutControls(decoder.decode(QByteArrayView(bytes).sliced(bom ? 2 : 0)));
    }
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    return withoutControls(fromMixedUtf8(QByteArrayView(bytes).sliced(bom ? 3 : 0)));
}

QString decodeText(const QByteArray& bytes, QByteArray* encoding)
{
    QByteArray name = "UTF-8";
    if (bytes.startsWith("\xFF\xFE"))
        name = "UTF-16LE";
    else if (bytes.startsWith("\xFE\xFF"))
        name = "UTF-16BE";
    if (name == "UTF-8" && !bytes.startsWith("\xEF\xBB\xBF")) {
        // UTF-8 unless its sequences are fewer than the bytes that fit none:
        // a Windows-1252 file has accents alone, hardly ever a pair that fits.
        qsizetype sequences = 0, strays = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size();) {
            const int n = utf8Length(p + i, bytes.size() - i);
            sequences += n > 1;
            strays += n == 0;
            i += n > 0 ? n : 1;
        }
        if (strays > 0 && sequences < strays)
            name = "Windows-1252";
    }
    if (encoding)
        *encoding = name;
    return decodeAs(bytes, name);
}

} // namespace movilibro::statement
