#include "statement/detector.h"
#include "statement/references.h"
#include "statement/table.h"
#include "statement/text.h"
#include "statement/values.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace movilibro::statement {

namespace {

bool isBlank(const TableRow& r)
{
    return std::all_of(r.cells.begin(), r.cells.end(),
                       [](const QString& c) { return c.trimmed().isEmpty(); });
}

int filledCells(const TableRow& r)
{
    return int(std::count_if(r.cells.begin(), r.cells.end(),
                             [](const QString& c) { return !c.trimmed().isEmpty(); }));
}

bool sameHeader(const QStringList& a, const QStringList& b)
{
    return comparableHeader(a) == comparableHeader(b);
}

// A separator left unquoted in a text moves every later cell one column on:
// what lands under "Importo" may well be a number, but not the amount.
bool overflowsHeader(const TableRow& r, qsizetype headerCells)
{
    return std::any_of(r.cells.begin() + std::min(headerCells, r.cells.size()), r.cells.end(),
                       [](const QString& c) { return !c.trimmed().isEmpty(); });
}

enum class BalanceKind
{
    None,
    Opening,
    Closing,
    Other // available, or a total: no movement, and not the booked balance
};

// A quick look before the words are read: every cell of every row comes here.
bool mayNameBalance(const QString& cell)
{
    static const QLatin1String Starts[] = {QLatin1String("sald"),         QLatin1String("sold"),
                                           QLatin1String("kontostand"),   QLatin1String("endsaldo"),
                                           QLatin1String("anfangssaldo"), QLatin1String("total")};
    const QStringView t = QStringView(cell).trimmed();
    return std::any_of(std::begin(Starts), std::end(Starts),
                       [&](QLatin1String start) { return t.startsWith(start, Qt::CaseInsensitive); }) ||
           (t.size() <= 32 && t.contains(QLatin1String("balance"), Qt::CaseInsensitive));
}

// Balances and totals printed among or under the movements are no movement:
// "Saldo finale", "Saldo contabile al 31/03/2024", "Totale movimenti". A
// payment described as "Saldo fattura 12" or "Totale spesa" is one, so only
// a line without a date may be a total.
BalanceKind balanceKindOf(const TableRow& r, bool dated)
{
    static const QSet<QString> Opening{"iniziale", "precedente", "iniziali", "opening"};
    static const QSet<QString> Closing{"finale", "contabile", "al", "attuale", "finali", "closing"};
    static const QSet<QString> Other{"disponibile", "liquido"};
    for (const QString& cell : r.cells) {
        if (!mayNameBalance(cell))
            continue;
        const QStringList w = wordsOf(cell);
        if (w.isEmpty())
            continue;
        const bool saldo = w[0] == u"saldo" || w[0] == u"solde";
        const bool balance = w.size() == 2 && w[1] == u"balance";
        if (!dated && (w[0] == u"kontostand" || w[0] == u"endsaldo" || w[0] == u"anfangssaldo"))
            return w[0] == u"anfangssaldo" ? BalanceKind::Opening : BalanceKind::Closing;
        if (balance || (saldo && (w.size() == 1 || Opening.contains(w[1]) || Closing.contains(w[1]) ||
                                  Other.contains(w[1])))) {
            const QString kind = balance ? w[0] : w.value(1);
            return Opening.contains(kind)                    ? BalanceKind::Opening
                   : Closing.contains(kind) || w.size() == 1 ? BalanceKind::Closing
                                                             : BalanceKind::Other;
        }
        if (!dated && (saldo || w[0] == u"totale" || w[0] == u"totali"))
            return BalanceKind::Other;
    }
    return BalanceKind::None;
}

// The date and amount of a balance line: "Saldo contabile al 31/03/2024;;1.234,56".
std::optional<Balance> balanceOf(const TableRow& r, const ColumnLayout& layout, QDate today)
{
    static const QRegularExpression dateInText(
        QStringLiteral(R"(\b\d{1,2}[/.-]\d{1,2}[/.-](?:\d{4}|\d{2})\b)"));
    QDate date;
    std::optional<Currency> amount;
    for (const QString& cell : r.cells) {
        const QString t = cell.trimmed();
        const QDate d = readDate(t, layout.dateOrder, today);
        const auto inText = dateInText.match(t);
        if (!date.isValid())
            date = d.isValid()         ? d
                   : inText.hasMatch() ? readDate(inText.captured(), layout.dateOrder, today)
                                       : QDate();
        if (!d.isValid() && !inText.hasMatch()) {
            if (const AmountValue v = readAmount(t, layout.decimalSeparator); v.amount)
                amount = v.amount;
        }
    }
    if (!date.isValid() || !amount)
        return std::nullopt;
    return Balance{*amount, date};
}

// Where a preamble names the account: "Conto corrente;IT60 X054 2811 1010 0000 0123 456".
QString ibanIn(const Table& rows, size_t header)
{
    static const QRegularExpression iban(QStringLiteral(R"(\b([A-Z]{2}\d{2}[A-Z0-9]{11,30})\b)"));
    for (size_t i = 0; i < header; ++i) {
        for (const QString& cell : rows[i].cells) {
            if (const auto m = iban.match(QString(cell).remove(u' ')); m.hasMatch())
                return m.captured(1);
        }
    }
    return {};
}

struct Columns
{
    qsizetype date = -1, reference = -1, currency = -1;
    QList<qsizetype> descriptions;
    AmountColumns amounts;
};

Columns columnsOf(const ColumnLayout& layout)
{
    Columns c;
    const qsizetype booking = layout.roles.indexOf(ColumnRole::Date);
    const qsizetype value = layout.roles.indexOf(ColumnRole::ValueDate);
    c.date = (layout.dateChoice == DateChoice::Value && value >= 0) || booking < 0 ? value : booking;
    c.reference = layout.roles.indexOf(ColumnRole::Reference);
    c.currency = layout.roles.indexOf(ColumnRole::Currency);
    for (qsizetype i = 0; i < layout.roles.size(); ++i) {
        if (layout.roles[i] == ColumnRole::Description)
            c.descriptions << i;
    }
    c.amounts = AmountColumns::of(layout.roles, layout.decimalSeparator, layout.amountSign);
    return c;
}

// Every text column, in the file's order; a text another one holds whole
// ("Descrizione" beside "Descrizione completa") only once.
QString descriptionOf(const QStringList& cells, const QList<qsizetype>& columns)
{
    QStringList parts;
    for (const qsizetype col : columns) {
        if (const QString part = cleanText(cellOf(cells, col)); !part.isEmpty())
            parts << part;
    }
    if (parts.size() < 2)
        return fittedDescription(parts.value(0));
    QStringList folded;
    for (const QString& p : parts)
        folded << comparableDescription(p);
    QStringList kept;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool held = false;
        for (qsizetype j = 0; j < parts.size() && !held; ++j)
            held = j != i && folded[j].contains(folded[i]) && (folded[j] != folded[i] || j < i);
        if (!held)
            kept << parts[i];
    }
    return fittedDescription(kept.join(QStringLiteral(" - ")));
}

Movement movementOf(const TableRow& r, const Columns& c, const ColumnLayout& layout, QDate today)
{
    Movement m;
    m.line = r.line;
    m.description = descriptionOf(r.cells, c.descriptions);
    m.reference = cleanText(cellOf(r.cells, c.reference));
    const QString dateText = cellOf(r.cells, c.date);
    m.date = readDate(dateText, layout.dateOrder, today);
    QString amountProblem;
    m.amount = c.amounts.read(r.cells, &amountProblem).value_or(Currency());
    if (dateText.isEmpty())
        m.refusal = QStringLiteral("data mancante");
    else if (!m.date.isValid())
        m.refusal = QStringLiteral("data illeggibile: «%1»").arg(printable(dateText));
    else if (!amountProblem.isEmpty())
        m.refusal = amountProblem;
    else if (m.amount.isZero())
        m.refusal = QStringLiteral("importo pari a zero");
    else if (const QString range = amountOutOfRange(m.amount); !range.isEmpty())
        m.refusal = range;
    else if (m.description.isEmpty())
        m.refusal = QStringLiteral("descrizione mancante");
    return m;
}

// The statement's currency: the one most rows name (the euro when tied), or
// the one the amount's header names ("Betrag (CHF)").
QString currencyOf(const QStringList& rowCurrencies, const ColumnLayout& layout)
{
    QHash<QString, int> counts;
    for (const QString& code : rowCurrencies) {
        if (!code.isEmpty())
            ++counts[code];
    }
    QString best;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (best.isEmpty() || it.value() > counts[best] || (it.value() == counts[best] && it.key() == u"EUR"))
            best = it.key();
    }
    for (qsizetype i = 0; best.isEmpty() && i < layout.roles.size(); ++i) {
        const ColumnRole role = layout.roles[i];
        if (role != ColumnRole::SignedAmount && role != ColumnRole::Credit && role != ColumnRole::Debit)
            continue;
        for (const QString& word : wordsOf(layout.headers.value(i)))
            best = best.isEmpty() ? currencyCode(word) : best;
    }
    return best;
}

void refuseOtherCurrencies(Statement& s, const QStringList& rowCurrencies)
{
    const QString own = s.accounts[0].currency;
    for (size_t i = 0; i < s.movements.size(); ++i) {
        Movement& m = s.movements[i];
        const QString& code = rowCurrencies[qsizetype(i)];
        if (!m.isRefused() && !code.isEmpty() && code != own)
            m.refusal = QStringLiteral("importo in %1, non nella divisa dell'estratto (%2)").arg(code, own);
    }
}

size_t headerIndex(const Table& rows, const ReadOptions& options)
{
    if (options.layout) {
        const ColumnLayout& given = *options.layout;
        const auto header = std::find_if(rows.begin(), rows.end(), [&](const TableRow& r) {
            return given.headers.isEmpty() ? r.line - 1 == given.headerRow
                                           : sameHeader(r.cells, given.headers);
        });
        if (header == rows.end())
            throw StatementError(
                QStringLiteral("Nel file non c'è la riga d'intestazione delle colonne attesa."));
        return size_t(header - rows.begin());
    }
    const HeaderGuess guess = guessHeader(rows);
    if (guess.score < 0)
        throw StatementError(QStringLiteral("Il file non contiene righe di almeno tre colonne: non sembra un "
                                            "estratto conto in formato CSV."));
    return guess.index;
}

// The layout guessed from the header and the cells under it.
void detectLayout(Statement& s, const Table& rows, size_t header, const ReadOptions& options)
{
    const DetectedColumns d = detectColumns(s.layout.headers, rows, header + 1);
    s.layout.roles = d.roles;
    s.layout.decimalSeparator = d.decimal;
    s.layout.dateOrder = d.dateOrder;
    s.layout.amountSign = d.amountSign;
    s.layout.dateChoice = options.dateChoice;
    s.undecided = d.undecided;
    // A "header" with a date in its date column is a movement, which would be lost.
    for (qsizetype c = 0; c < s.layout.roles.size(); ++c) {
        const ColumnRole role = s.layout.roles[c];
        if ((role == ColumnRole::Date || role == ColumnRole::ValueDate) &&
            readDate(s.layout.headers[c]).isValid())
            throw StatementError(
                QStringLiteral("Nel file manca la riga con i titoli delle colonne: aggiungerla "
                               "sopra i movimenti (per esempio «Data;Descrizione;Importo») e "
                               "ripetere l'importazione."));
    }
}

void noteBalance(StatementAccount& account, BalanceKind kind, const std::optional<Balance>& balance)
{
    if (!balance || (kind != BalanceKind::Opening && kind != BalanceKind::Closing))
        return;
    std::optional<Balance>& kept = kind == BalanceKind::Opening ? account.opening : account.closing;
    // The earliest opening and the latest closing: a file of several months may have one each.
    if (!kept || (kind == BalanceKind::Opening ? balance->date < kept->date : balance->date >= kept->date))
        kept = balance;
}

void readMovements(Statement& s, const Table& rows, size_t first, QDate today)
{
    const Columns columns = columnsOf(s.layout);
    QStringList rowCurrencies;
    s.movements.reserve(rows.size() - first);
    for (size_t i = first; i < rows.size(); ++i) {
        const TableRow& r = rows[i];
        if (isBlank(r))
            continue;
        if (filledCells(r) < 2) {
            ++s.leftOut;
            continue;
        }
        if (std::any_of(r.cells.begin(), r.cells.end(), isPendingMark)) {
            ++s.accounts[0].pending;
            continue;
        }
        Movement m = movementOf(r, columns, s.layout, today);
        // Exports made of several pages repeat the header on each.
        if (!m.date.isValid() && sameHeader(r.cells, s.layout.headers)) {
            ++s.leftOut;
            continue;
        }
        if (overflowsHeader(r, s.layout.headers.size())) {
            m.refusal = QStringLiteral(
                "più celle che titoli di colonna (un separatore non racchiuso tra virgolette?)");
        } else if (const BalanceKind kind = balanceKindOf(r, m.date.isValid()); kind != BalanceKind::None) {
            noteBalance(s.accounts[0], kind, balanceOf(r, s.layout, today));
            // Without a date it is surely no movement; with one, the user sees why it stays out.
            if (!m.date.isValid()) {
                ++s.leftOut;
                continue;
            }
            m.refusal = QStringLiteral("riga di saldo, non un movimento");
        }
        s.movements.push_back(std::move(m));
        rowCurrencies << currencyCode(cellOf(r.cells, columns.currency));
        if (rowCurrencies.back().isEmpty() && !cellOf(r.cells, columns.currency).isEmpty())
            rowCurrencies.back() = cleanText(cellOf(r.cells, columns.currency)).left(12);
    }
    s.accounts[0].currency = currencyOf(rowCurrencies, s.layout);
    refuseOtherCurrencies(s, rowCurrencies);
    dropPlaceholderReferences(s.movements);
}

} // namespace

Statement readTable(const Table& rows, const ColumnLayout& format, const ReadOptions& options)
{
    Statement s;
    s.kind = Statement::Kind::Csv;
    s.layout = options.layout ? *options.layout : format;
    const size_t header = headerIndex(rows, options);
    s.layout.headerRow = rows[header].line - 1;
    s.layout.headers.clear();
    for (const QString& h : rows[header].cells)
        s.layout.headers << cleanText(h);
    s.layout.roles.resize(s.layout.headers.size(), ColumnRole::Ignored);
    if (!options.layout)
        detectLayout(s, rows, header, options);
    s.hasValueDate = s.layout.roles.contains(ColumnRole::ValueDate);
    for (size_t i = header + 1; i < rows.size() && s.previewRows.size() < PreviewRows; ++i) {
        if (!isBlank(rows[i])) {
            QStringList cells;
            for (const QString& c : rows[i].cells)
                cells << cleanText(c);
            s.previewRows << cells;
        }
    }
    s.accounts[0].id = ibanIn(rows, header);
    for (size_t i = 0; i < header; ++i)
        noteBalance(s.accounts[0], balanceKindOf(rows[i], false),
                    balanceOf(rows[i], s.layout, options.today));
    if (!s.layout.isComplete()) {
        if (s.undecided.isEmpty() && s.layout.signFromAmountAlone() &&
            s.layout.amountSign == AmountSign::Undecided)
            s.undecided = QStringLiteral("manca il segno degli importi");
        return s;
    }
    readMovements(s, rows, header + 1, options.today);
    return s;
}

} // namespace movilibro::statement
