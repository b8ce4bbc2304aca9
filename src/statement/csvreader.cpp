#include "statement/csvreader.h"

#include "statement/text.h"

#include <optional>

namespace movilibro::statement {

namespace {

// The header and preamble lie at the top: only that part is split every way.
constexpr int SniffedRecords = 160;
constexpr QChar Separators[] = {u';', u',', u'\t', u'|'};
// No bank writes a line this long; a file that has one is something else,
// and splitting it every way would take minutes.
constexpr qsizetype LongestLine = 64 * 1024;

void refuseLongLines(const QByteArray& bytes)
{
    qsizetype start = 0;
    for (int line = 1; start < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (end - start > LongestLine)
            throw StatementError(
                QStringLiteral("La riga %1 del file è più lunga di 64 KiB: non sembra un estratto conto.")
                    .arg(line));
        start = end + 1;
    }
}

QChar sniffedSeparator(const QString& text)
{
    const qsizetype top = [&] {
        qsizetype at = 0;
        for (int n = 0; n < SniffedRecords * 2 && at >= 0; ++n)
            at = text.indexOf(u'\n', at + 1);
        return at < 0 ? text.size() : at;
    }();
    std::optional<HeaderGuess> best;
    QChar bestSeparator = Separators[0];
    for (const QChar separator : Separators) {
        const HeaderGuess g =
            guessHeader(splitRecords(QStringView(text).left(top), separator, SniffedRecords));
        if (!best || (g.complete && !best->complete) ||
            (g.complete == best->complete && g.score > best->score)) {
            best = g;
            bestSeparator = separator;
        }
    }
    return bestSeparator;
}

} // namespace

Table splitRecords(QStringView text, QChar separator, int limit)
{
    Table records;
    int line = 1;
    int quoteLine = 0; // where the open quote began
    TableRow record{line, {}};
    QString field;
    bool quoted = false;    // inside a field's quotes
    bool fieldStart = true; // nothing read of the field yet
    const auto endField = [&] {
        record.cells << field;
        field.clear();
        fieldStart = true;
    };
    const auto endRecord = [&] {
        endField();
        records.push_back(std::move(record));
        record = TableRow{line, {}};
    };
    qsizetype i = 0;
    for (; i < text.size() && (limit < 0 || int(records.size()) < limit); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"' && fieldStart) {
            quoted = true;
            quoteLine = line;
            fieldStart = false;
        } else if (c == separator) {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStart = false;
        }
    }
    // Everything after an unclosed quote would be one field: the rest of the file lost.
    if (quoted && limit < 0)
        throw StatementError(
            QStringLiteral("Le virgolette aperte alla riga %1 non vengono mai chiuse: il file "
                           "è incompleto o danneggiato.")
                .arg(quoteLine));
    if (i == text.size() && (!field.isEmpty() || !record.cells.isEmpty() || !fieldStart))
        endRecord();
    return records;
}

Statement readCsv(const QByteArray& bytes, const ReadOptions& options)
{
    refuseLongLines(bytes);
    ColumnLayout format;
    QString text;
    if (options.layout) {
        format = *options.layout;
        text = decodeAs(bytes, format.encoding);
    } else {
        text = decodeText(bytes, &format.encoding);
        format.separator = sniffedSeparator(text);
    }
    return readTable(splitRecords(text, format.separator), format, options);
}

} // namespace movilibro::statement
