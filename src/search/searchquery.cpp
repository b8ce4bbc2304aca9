#include "search/searchquery.h"

#include "format/currency.h"
#include "search/textfold.h"

#include <QLocale>

#include <limits>
#include <optional>

namespace movilibro::search {

namespace {

constexpr qint64 Lowest = std::numeric_limits<qint64>::min();
constexpr qint64 Highest = std::numeric_limits<qint64>::max();

// The regional settings first; then the full stop as decimal point, as on a
// numeric keypad ("12.5").
std::optional<qint64> amountOf(QStringView text)
{
    if (text.isEmpty() || !(text.front().isDigit() || text.front() == u'+'))
        return std::nullopt;
    const QString word = text.toString();
    std::optional<Currency> value = Currency::parse(word, QLocale());
    if (!value)
        value = Currency::parse(word, QLocale::c());
    if (!value)
        return std::nullopt;
    return value->raw();
}

QString badRange(QStringView word)
{
    return QStringLiteral("Intervallo di importi non valido: \"%1\" (il primo importo supera il secondo).")
        .arg(word);
}

bool isComparison(const QString& word)
{
    static const QStringList operators = {QStringLiteral(">"),   QStringLiteral("<"),  QStringLiteral(">="),
                                          QStringLiteral("<="),  QStringLiteral("->"), QStringLiteral("-<"),
                                          QStringLiteral("->="), QStringLiteral("-<=")};
    return operators.contains(word);
}

// "> 100" is ">100" and "100 .. 200" is "100..200": blanks around an
// operator or the dots do not split a word.
QStringList words(const QString& text)
{
    QStringList joined;
    bool glueNext = false;
    for (const QString& piece : text.split(u' ', Qt::SkipEmptyParts)) {
        const bool glueToLast = !joined.isEmpty() && (glueNext || piece.startsWith(QStringLiteral("..")));
        if (glueToLast)
            joined.last() += piece;
        else
            joined << piece;
        glueNext = isComparison(joined.last()) || joined.last().endsWith(QStringLiteral(".."));
    }
    return joined;
}

} // namespace

QString Filter::describe() const
{
    QString words = text.simplified();
    const QString toggle = direction == Direction::Incomes     ? QStringLiteral("solo entrate")
                           : direction == Direction::Outgoings ? QStringLiteral("solo uscite")
                                                               : QString();
    if (toggle.isEmpty())
        return words;
    return words.isEmpty() ? toggle : words + QStringLiteral(", ") + toggle;
}

Query Query::parse(const Filter& filter)
{
    Query query;
    query.m_direction = filter.direction;
    for (const QString& piece : words(filter.text)) {
        QStringView word(piece);
        const bool exclude = word.size() > 1 && word.front() == u'-';
        if (exclude)
            word = word.mid(1);
        Word w = readWord(word);
        if (w.kind == Word::Kind::Range && w.low > w.high)
            throw SearchError(badRange(word));
        if (w.kind == Word::Kind::Text && w.text.pattern().isEmpty())
            continue;
        w.exclude = exclude;
        query.m_words.push_back(std::move(w));
    }
    return query;
}

Query::Word Query::readWord(QStringView word)
{
    Word w;
    std::optional<qint64> bound;
    if (word.startsWith(u">=") && (bound = amountOf(word.mid(2)))) {
        w.kind = Word::Kind::Range;
        w.low = *bound;
        w.high = Highest;
    } else if (word.startsWith(u"<=") && (bound = amountOf(word.mid(2)))) {
        w.kind = Word::Kind::Range;
        w.low = Lowest;
        w.high = *bound;
    } else if (word.startsWith(u'>') && (bound = amountOf(word.mid(1)))) {
        w.kind = Word::Kind::Range;
        w.low = *bound == Highest ? Highest : *bound + 1;
        w.high = *bound == Highest ? Lowest : Highest;
    } else if (word.startsWith(u'<') && (bound = amountOf(word.mid(1)))) {
        w.kind = Word::Kind::Range;
        w.low = *bound == Lowest ? Highest : Lowest;
        w.high = *bound == Lowest ? Lowest : *bound - 1;
    } else if (const qsizetype dots = word.indexOf(u".."); dots > 0) {
        const auto low = amountOf(word.left(dots));
        const auto high = amountOf(word.mid(dots + 2));
        if (low && high) {
            w.kind = Word::Kind::Range;
            w.low = *low;
            w.high = *high;
        }
    }
    if (w.kind == Word::Kind::Range)
        return w;
    w.text = QStringMatcher(foldText(word));
    if (const auto amount = amountOf(word)) {
        w.isAmount = true;
        w.amount = *amount;
    }
    return w;
}

bool Query::directionPasses(qint64 incomes, qint64 outgoings) const
{
    switch (m_direction) {
    case Direction::Incomes:
        return incomes != 0;
    case Direction::Outgoings:
        return outgoings != 0;
    case Direction::All:
        break;
    }
    return true;
}

bool Query::wordMatchesText(int word, QStringView folded) const
{
    return m_words[word].kind == Word::Kind::Text && m_words[word].text.indexIn(folded) >= 0;
}

// An empty or zero amount is no amount: it never falls in a range.
bool Query::amountHits(const Word& w, qint64 incomes, qint64 outgoings) const
{
    if (w.kind == Word::Kind::Text)
        return w.isAmount && w.amount != 0 && (incomes == w.amount || outgoings == w.amount);
    const auto inRange = [&](qint64 v) { return v != 0 && v >= w.low && v <= w.high; };
    return inRange(incomes) || inRange(outgoings);
}

bool Query::wordPasses(int word, bool textMatched, qint64 incomes, qint64 outgoings) const
{
    const Word& w = m_words[word];
    const bool hit = textMatched || amountHits(w, incomes, outgoings);
    return hit != w.exclude;
}

bool Query::matches(const EntryText& entry) const
{
    if (!directionPasses(entry.incomes, entry.outgoings))
        return false;
    for (int i = 0; i < wordCount(); ++i) {
        const bool text = wordMatchesText(i, entry.description) || wordMatchesText(i, entry.account);
        if (!wordPasses(i, text, entry.incomes, entry.outgoings))
            return false;
    }
    return true;
}

} // namespace movilibro::search
