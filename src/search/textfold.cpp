#include "search/textfold.h"

#include <array>

namespace movilibro::search {

namespace {

// Zero marks a character the search ignores (a combining accent).
using FoldTable = std::array<char16_t, 0x10000>;

char16_t foldOne(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    if (c == 0x2018 || c == 0x2019)
        return u'\'';
    QChar ch(c);
    if (ch.isSurrogate())
        return c;
    if (ch.isMark())
        return 0;
    // "à" is "a" followed by a grave accent: keep the base letter.
    while (ch.decompositionTag() == QChar::Canonical) {
        const QString parts = ch.decomposition();
        if (parts.isEmpty() || parts.front().isSurrogate())
            break;
        ch = parts.front();
    }
    return ch.toCaseFolded().unicode();
}

const FoldTable& foldTable()
{
    static const FoldTable table = [] {
        FoldTable t{};
        for (int c = 0; c < 0x10000; ++c)
            t[c] = foldOne(char16_t(c));
        return t;
    }();
    return table;
}

} // namespace

void appendFolded(QStringView text, QString& out)
{
    const FoldTable& table = foldTable();
    const qsizetype start = out.size();
    out.resize(start + text.size());
    QChar* dst = out.data() + start;
    for (const QChar c : text) {
        const char16_t folded = table[c.unicode()];
        if (folded != 0)
            *dst++ = QChar(folded);
    }
    out.truncate(dst - out.constData());
}

QString foldText(QStringView text)
{
    QString out;
    appendFolded(text, out);
    return out;
}

} // namespace movilibro::search
