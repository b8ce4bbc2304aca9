#pragma once

#include <QString>
#include <QStringMatcher>
#include <QStringView>

#include <vector>

namespace movilibro::search {

// Which entries the in/out toggles let through.
enum class Direction
{
    All,
    Incomes,  // entries with money in
    Outgoings // entries with money out
};

// What the user asked for: the typed text and the toggles.
struct Filter
{
    QString text;
    Direction direction = Direction::All;

    bool isActive() const { return !text.trimmed().isEmpty() || direction != Direction::All; }
    // "affitto -garage, solo entrate": the filter in words, for captions.
    QString describe() const;
    bool operator==(const Filter&) const = default;
};

// A text the search cannot follow, such as the range "200..100".
class SearchError
{
public:
    explicit SearchError(QString message) : m_message(std::move(message)) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// One entry as the search sees it: texts folded by foldText(), amounts in
// ten-thousandths with an empty amount as 0.
struct EntryText
{
    QStringView description;
    QStringView account;
    qint64 incomes = 0;
    qint64 outgoings = 0;
};

// The filter read into words. Every word must match (AND):
// - plain text: a substring of the description or of the account name,
//   ignoring case and accents;
// - a text that also reads as an amount ("12,50", "1.234,56", or "12.5" with
//   the full stop as decimal point) matches as text or where money in or
//   money out equals it;
// - ">100", "<100", ">=100", "<=100", "100..200" (both ends included):
//   money in or money out in that range;
// - a leading "-" turns any of these into an exclusion.
class Query
{
public:
    Query() = default;
    // Throws SearchError for a range whose first amount exceeds its second.
    static Query parse(const Filter& filter);

    bool isEmpty() const { return m_words.empty() && m_direction == Direction::All; }
    bool matches(const EntryText& entry) const;

    // For the bulk matcher (SearchIndex): the same test, word by word.
    int wordCount() const { return int(m_words.size()); }
    bool wordMatchesText(int word, QStringView folded) const;
    // Whether the entry passes word `word`, given whether its text matched.
    bool wordPasses(int word, bool textMatched, qint64 incomes, qint64 outgoings) const;
    bool directionPasses(qint64 incomes, qint64 outgoings) const;

private:
    struct Word
    {
        enum class Kind
        {
            Text,
            Range
        };
        Kind kind = Kind::Text;
        bool exclude = false;
        QStringMatcher text;
        bool isAmount = false;
        qint64 amount = 0;
        qint64 low = 0;
        qint64 high = 0;
    };

    static Word readWord(QStringView word);
    bool amountHits(const Word& word, qint64 incomes, qint64 outgoings) const;

    std::vector<Word> m_words;
    Direction m_direction = Direction::All;
};

} // namespace movilibro::search
