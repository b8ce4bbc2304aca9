#include "statement/csvreader.h"

#include "search/textfold.h"
#include "statement/values.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace movilibro::statement {

namespace {

// Where a bank's preamble may end: the header is looked for this far.
constexpr int SniffedRecords = 80;
// Rows after the header whose cells check a guessed role.
constexpr int SampleRows = 60;
constexpr QChar Separators[] = {u';', u',', u'\t', u'|'};

bool isBlank(const CsvRecord& r)
{
    return std::all_of(r.cells.begin(), r.cells.end(),
                       [](const QString& c) { return c.trimmed().isEmpty(); });
}

int filledCells(const CsvRecord& r)
{
    return int(std::count_if(r.cells.begin(), r.cells.end(),
                             [](const QString& c) { return !c.trimmed().isEmpty(); }));
}

// A separator left unquoted in a text moves every later cell one column on:
// what lands under "Importo" may well be a number, but not the amount.
bool overflowsHeader(const CsvRecord& r, qsizetype headerCells)
{
    return std::any_of(r.cells.begin() + std::min(headerCells, r.cells.size()), r.cells.end(),
                       [](const QString& c) { return !c.trimmed().isEmpty(); });
}

QStringList words(const QString& text)
{
    QString folded = search::foldText(text);
    for (QChar& c : folded) {
        if (!c.isLetterOrNumber())
            c = u' ';
    }
    return folded.split(u' ', Qt::SkipEmptyParts);
}

bool hasAny(const QStringList& w, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return w.contains(QLatin1String(n)); });
}

bool isComplete(const QList<ColumnRole>& roles)
{
    CsvLayout layout;
    layout.roles = roles;
    return layout.isComplete();
}

// Roles from the header's words; each role once, a description by preference
// ("Descrizione completa" before "Descrizione" before "Causale"), a signed
// amount only without the pair of columns in and out.
QList<ColumnRole> rolesOfHeader(const QStringList& headers)
{
    QList<ColumnRole> roles;
    for (const QString& h : headers) {
        const ColumnRole role = roleOfHeader(h);
        roles << (roles.contains(role) && role != ColumnRole::Description ? ColumnRole::Ignored : role);
    }
    qsizetype best = -1;
    int bestRank = 0;
    for (qsizetype i = 0; i < roles.size(); ++i) {
        if (roles[i] != ColumnRole::Description)
            continue;
        const QStringList w = words(headers[i]);
        const int rank = hasAny(w, {"completa", "estesa", "dettagliata", "full"}) ? 4
                         : hasAny(w, {"descrizione", "description"})              ? 3
                         : hasAny(w, {"causale"})                                 ? 2
                                                                                  : 1;
        if (rank > bestRank) {
            best = i;
            bestRank = rank;
        }
        roles[i] = ColumnRole::Ignored;
    }
    if (best >= 0)
        roles[best] = ColumnRole::Description;
    if (roles.contains(ColumnRole::Credit) && roles.contains(ColumnRole::Debit))
        std::replace(roles.begin(), roles.end(), ColumnRole::SignedAmount, ColumnRole::Ignored);
    return roles;
}

QStringList column(const std::vector<CsvRecord>& records, size_t from, qsizetype col, int limit)
{
    QStringList values;
    for (size_t i = from; i < records.size() && values.size() < limit; ++i) {
        if (col < records[i].cells.size() && !records[i].cells[col].trimmed().isEmpty())
            values << records[i].cells[col].trimmed();
    }
    return values;
}

template <typename Test> int countMatching(const QStringList& values, Test test)
{
    return int(std::count_if(values.begin(), values.end(), test));
}

bool isDateText(const QString& v)
{
    return readDate(v).isValid();
}

bool isAmountText(const QString& v)
{
    return looksLikeAmount(v) && !isDateText(v);
}

// The header's guess, checked against the rows under it: a date column whose
// cells are mostly no dates, or an amount column of no amounts, is dropped;
// missing roles are taken from columns whose cells all read as such.
void checkAgainstData(QList<ColumnRole>& roles, const std::vector<CsvRecord>& records, size_t firstRow)
{
    const auto values = [&](qsizetype col) { return column(records, firstRow, col, SampleRows); };
    for (qsizetype c = 0; c < roles.size(); ++c) {
        const QStringList v = values(c);
        const bool dates = roles[c] == ColumnRole::Date || roles[c] == ColumnRole::ValueDate;
        const bool amounts = roles[c] == ColumnRole::SignedAmount || roles[c] == ColumnRole::Credit ||
                             roles[c] == ColumnRole::Debit;
        if ((dates && countMatching(v, isDateText) * 2 < v.size()) ||
            (amounts && countMatching(v, isAmountText) * 2 < v.size()))
            roles[c] = ColumnRole::Ignored;
    }
    const auto firstFree = [&](auto test) -> qsizetype {
        for (qsizetype c = 0; c < roles.size(); ++c) {
            const QStringList v = values(c);
            if (roles[c] == ColumnRole::Ignored && !v.isEmpty() && test(v))
                return c;
        }
        return -1;
    };
    if (!roles.contains(ColumnRole::Date) && !roles.contains(ColumnRole::ValueDate)) {
        if (const auto c =
                firstFree([](const QStringList& v) { return countMatching(v, isDateText) == v.size(); });
            c >= 0)
            roles[c] = ColumnRole::Date;
    }
    if (!roles.contains(ColumnRole::SignedAmount) && !roles.contains(ColumnRole::Credit) &&
        !roles.contains(ColumnRole::Debit)) {
        const auto amounts = [](const QStringList& v) {
            const auto decimals = [](const QString& s) { return s.contains(u',') || s.contains(u'.'); };
            return countMatching(v, isAmountText) == v.size() && countMatching(v, decimals) * 2 >= v.size();
        };
        if (const auto c = firstFree(amounts); c >= 0)
            roles[c] = ColumnRole::SignedAmount;
    }
    if (!roles.contains(ColumnRole::Description)) {
        qsizetype best = -1;
        qsizetype bestLength = 2;
        for (qsizetype c = 0; c < roles.size(); ++c) {
            const QStringList v = values(c);
            if (roles[c] != ColumnRole::Ignored || v.isEmpty() || countMatching(v, isAmountText) > 0 ||
                countMatching(v, isDateText) > 0)
                continue;
            qsizetype length = 0;
            for (const QString& s : v)
                length += s.size();
            if (length / v.size() > bestLength) {
                best = c;
                bestLength = length / v.size();
            }
        }
        if (best >= 0)
            roles[best] = ColumnRole::Description;
    }
}

struct HeaderGuess
{
    QChar separator;
    size_t index = 0; // of the header among the records
    bool complete = false;
    int score = -1;
};

// The header of a file split one way: the first record whose words name a
// complete layout; failing that, the first of the longest run of records
// with the same number of cells (three at least).
HeaderGuess guessHeader(const std::vector<CsvRecord>& records, QChar separator)
{
    HeaderGuess guess{separator};
    if (records.empty())
        return guess;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].cells.size() >= 3 && isComplete(rolesOfHeader(records[i].cells))) {
            guess.index = i;
            guess.complete = true;
            guess.score = int(records[i].cells.size());
            return guess;
        }
    }
    size_t runStart = 0;
    for (size_t i = 0; i <= records.size(); ++i) {
        if (i < records.size() && records[i].cells.size() == records[runStart].cells.size())
            continue;
        const int width = int(records[runStart].cells.size());
        const int score = width >= 3 ? int(i - runStart) * width : -1;
        if (score > guess.score) {
            guess.index = runStart;
            guess.score = score;
        }
        runStart = i;
    }
    return guess;
}

QChar decimalOf(const std::vector<CsvRecord>& records, size_t firstRow, const QList<ColumnRole>& roles)
{
    bool comma = false, point = false;
    for (qsizetype c = 0; c < roles.size(); ++c) {
        if (roles[c] != ColumnRole::SignedAmount && roles[c] != ColumnRole::Credit &&
            roles[c] != ColumnRole::Debit)
            continue;
        for (const QString& v : column(records, firstRow, c, int(records.size()))) {
            // "1.234,56" and "1,234.56" say it themselves: the last mark is the decimal one.
            const qsizetype lastComma = v.lastIndexOf(u','), lastPoint = v.lastIndexOf(u'.');
            if (lastComma >= 0 && lastPoint >= 0)
                return lastComma > lastPoint ? u',' : u'.';
            comma = comma || lastComma >= 0;
            point = point || hasDecimalPoint(v);
        }
    }
    return point && !comma ? u'.' : u',';
}

bool sameHeader(const QStringList& a, const QStringList& b)
{
    return comparableHeader(a) == comparableHeader(b);
}

// Balances and totals printed among or under the movements are no movement:
// "Saldo finale", "Saldo contabile al 31/03/2024", "Totale movimenti". A
// payment described as "Saldo fattura 12" or "Totale spesa" is one, so only
// a line without a date may be a total.
bool isBalanceLine(const CsvRecord& r, bool dated)
{
    static const QSet<QString> BalanceWords{QStringLiteral("iniziale"),   QStringLiteral("finale"),
                                            QStringLiteral("contabile"),  QStringLiteral("disponibile"),
                                            QStringLiteral("liquido"),    QStringLiteral("al"),
                                            QStringLiteral("precedente"), QStringLiteral("attuale"),
                                            QStringLiteral("iniziali"),   QStringLiteral("finali")};
    for (const QString& cell : r.cells) {
        const QStringList w = words(cell);
        if (w.isEmpty())
            continue;
        if (w[0] == u"saldo" && (w.size() == 1 || BalanceWords.contains(w[1])))
            return true;
        if (!dated && (w[0] == u"saldo" || w[0] == u"totale" || w[0] == u"totali"))
            return true;
    }
    return false;
}

struct Columns
{
    qsizetype date = -1, amount = -1, credit = -1, debit = -1, reference = -1;
    QList<qsizetype> descriptions;
};

Columns columnsOf(const CsvLayout& layout)
{
    Columns c;
    const qsizetype booking = layout.roles.indexOf(ColumnRole::Date);
    const qsizetype value = layout.roles.indexOf(ColumnRole::ValueDate);
    c.date = (layout.dateChoice == DateChoice::Value && value >= 0) || booking < 0 ? value : booking;
    c.amount = layout.roles.indexOf(ColumnRole::SignedAmount);
    c.credit = layout.roles.indexOf(ColumnRole::Credit);
    c.debit = layout.roles.indexOf(ColumnRole::Debit);
    c.reference = layout.roles.indexOf(ColumnRole::Reference);
    for (qsizetype i = 0; i < layout.roles.size(); ++i) {
        if (layout.roles[i] == ColumnRole::Description)
            c.descriptions << i;
    }
    return c;
}

QString cell(const CsvRecord& r, qsizetype col)
{
    return col >= 0 && col < r.cells.size() ? r.cells[col].trimmed() : QString();
}

QString amountRefusal(const Columns& c, const CsvRecord& r, QChar decimal, Currency& amount)
{
    if (c.amount >= 0 && (c.credit < 0 || c.debit < 0)) {
        const AmountValue v = readAmount(cell(r, c.amount), decimal);
        if (!v.amount)
            return v.refusal.isEmpty() ? QStringLiteral("importo mancante") : v.refusal;
        amount = *v.amount;
        return {};
    }
    const AmountValue in = readAmount(cell(r, c.credit), decimal);
    const AmountValue out = readAmount(cell(r, c.debit), decimal);
    if (!in.refusal.isEmpty() || !out.refusal.isEmpty())
        return in.refusal.isEmpty() ? out.refusal : in.refusal;
    const bool hasIn = in.amount && !in.amount->isZero();
    const bool hasOut = out.amount && !out.amount->isZero();
    if (hasIn && hasOut)
        return QStringLiteral("importo sia nelle entrate sia nelle uscite");
    if (hasIn && in.amount->isNegative())
        return QStringLiteral("importo negativo nella colonna delle entrate");
    // The column of money out holds "50,00" or "-50,00" as banks choose: both go out.
    amount = hasIn ? *in.amount : hasOut ? -out.amount->abs() : Currency();
    if (!in.amount && !out.amount)
        return QStringLiteral("importo mancante");
    return {};
}

Movement movementOf(const CsvRecord& r, const Columns& c, QChar decimal)
{
    Movement m;
    m.line = r.line;
    QStringList parts;
    for (const qsizetype col : c.descriptions) {
        if (const QString part = collapsedBlanks(cell(r, col)); !part.isEmpty())
            parts << part;
    }
    m.description = fittedDescription(parts.join(QStringLiteral(" - ")));
    m.reference = collapsedBlanks(cell(r, c.reference));
    const QString dateText = cell(r, c.date);
    m.date = readDate(dateText);
    Currency amount;
    const QString amountProblem = amountRefusal(c, r, decimal, amount);
    m.amount = amount;
    if (dateText.isEmpty())
        m.refusal = QStringLiteral("data mancante");
    else if (!m.date.isValid())
        m.refusal = QStringLiteral("data illeggibile: «%1»").arg(dateText);
    else if (!amountProblem.isEmpty())
        m.refusal = amountProblem;
    else if (amount.isZero())
        m.refusal = QStringLiteral("importo pari a zero");
    else if (m.description.isEmpty())
        m.refusal = QStringLiteral("descrizione mancante");
    return m;
}

CsvLayout guessedLayout(const QString& text, QByteArray encoding)
{
    // The preamble and header lie at the top: only that part is split every way.
    const qsizetype top = [&] {
        qsizetype at = 0;
        for (int n = 0; n < SniffedRecords * 4 && at >= 0; ++n)
            at = text.indexOf(u'\n', at + 1);
        return at < 0 ? text.size() : at;
    }();
    std::optional<HeaderGuess> best;
    std::vector<CsvRecord> bestRecords;
    for (const QChar separator : Separators) {
        std::vector<CsvRecord> records =
            splitRecords(QStringView(text).left(top), separator, SniffedRecords * 2);
        const HeaderGuess g = guessHeader(records, separator);
        if (!best || (g.complete && !best->complete) ||
            (g.complete == best->complete && g.score > best->score)) {
            best = g;
            bestRecords = std::move(records);
        }
    }
    if (!best || best->score < 0)
        throw StatementError(QStringLiteral("Il file non contiene righe di almeno tre colonne: non sembra un "
                                            "estratto conto in formato CSV."));
    CsvLayout layout;
    layout.encoding = std::move(encoding);
    layout.separator = best->separator;
    layout.headerRow = bestRecords[best->index].line - 1;
    layout.headers = bestRecords[best->index].cells;
    for (QString& h : layout.headers)
        h = h.trimmed();
    layout.roles = rolesOfHeader(layout.headers);
    checkAgainstData(layout.roles, bestRecords, best->index + 1);
    // A "header" with a date in its date column is a movement, which would be lost.
    for (qsizetype c = 0; c < layout.roles.size(); ++c) {
        if ((layout.roles[c] == ColumnRole::Date || layout.roles[c] == ColumnRole::ValueDate) &&
            isDateText(layout.headers[c]))
            throw StatementError(
                QStringLiteral("Nel file manca la riga con i titoli delle colonne: aggiungerla "
                               "sopra i movimenti (per esempio «Data;Descrizione;Importo») e "
                               "ripetere l'importazione."));
    }
    return layout;
}

} // namespace

std::vector<CsvRecord> splitRecords(QStringView text, QChar separator, int limit)
{
    std::vector<CsvRecord> records;
    int line = 1;
    CsvRecord record{line, {}};
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
        record = CsvRecord{line, {}};
    };
    for (qsizetype i = 0; i < text.size() && (limit < 0 || int(records.size()) < limit); ++i) {
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
    if (!field.isEmpty() || !record.cells.isEmpty() || !fieldStart)
        endRecord();
    return records;
}

ColumnRole roleOfHeader(const QString& header)
{
    const QStringList w = words(header);
    if (w.isEmpty() || hasAny(w, {"saldo", "balance", "divisa", "valuta", "currency"})) {
        // "Valuta" alone, or "Data valuta", is the value date; "Divisa" is the currency.
        if (hasAny(w, {"valuta"}) && !hasAny(w, {"saldo", "divisa"}) &&
            (w.size() == 1 || hasAny(w, {"data"})))
            return ColumnRole::ValueDate;
        return ColumnRole::Ignored;
    }
    if (hasAny(w, {"value"}) && hasAny(w, {"date"}))
        return ColumnRole::ValueDate;
    if (w[0] == u"data" || w[0] == u"date" || hasAny(w, {"booking"}))
        return ColumnRole::Date;
    if (hasAny(w,
               {"entrate", "entrata", "avere", "accrediti", "accredito", "credit", "crediti", "versamenti"}))
        return ColumnRole::Credit;
    if (hasAny(w, {"uscite", "uscita", "dare", "addebiti", "addebito", "debit", "debiti", "prelievi"}))
        return ColumnRole::Debit;
    if (hasAny(w, {"importo", "importi", "amount", "ammontare"}))
        return ColumnRole::SignedAmount;
    if (hasAny(w, {"descrizione", "causale", "description", "dettagli", "dettaglio", "operazione",
                   "motivazione"}))
        return ColumnRole::Description;
    if (hasAny(w, {"riferimento", "reference", "rif", "cro", "trn"}))
        return ColumnRole::Reference;
    return ColumnRole::Ignored;
}

Statement readCsv(const QByteArray& bytes, const std::optional<CsvLayout>& given, DateChoice choice)
{
    Statement s;
    s.kind = Statement::Kind::Csv;
    QByteArray encoding;
    const QString text = given ? decodeAs(bytes, given->encoding) : decodeText(bytes, &encoding);
    s.layout = given ? *given : guessedLayout(text, encoding);
    if (!given)
        s.layout.dateChoice = choice;
    const std::vector<CsvRecord> records = splitRecords(text, s.layout.separator);
    const auto header = std::find_if(records.begin(), records.end(), [&](const CsvRecord& r) {
        return s.layout.headers.isEmpty() ? r.line - 1 == s.layout.headerRow
                                          : sameHeader(r.cells, s.layout.headers);
    });
    if (header == records.end())
        throw StatementError(QStringLiteral("Nel file non c'è la riga d'intestazione delle colonne attesa."));
    s.layout.headerRow = header->line - 1;
    s.layout.headers = header->cells;
    for (QString& h : s.layout.headers)
        h = h.trimmed();
    s.layout.roles.resize(s.layout.headers.size(), ColumnRole::Ignored);
    const size_t firstRow = size_t(header - records.begin()) + 1;
    if (!given)
        s.layout.decimalSeparator = decimalOf(records, firstRow, s.layout.roles);
    s.hasValueDate = s.layout.roles.contains(ColumnRole::ValueDate);
    for (size_t i = firstRow; i < records.size() && s.previewRows.size() < PreviewRows; ++i) {
        if (!isBlank(records[i]))
            s.previewRows << records[i].cells;
    }
    if (!s.layout.isComplete())
        return s;
    const Columns columns = columnsOf(s.layout);
    s.movements.reserve(records.size() - firstRow);
    for (size_t i = firstRow; i < records.size(); ++i) {
        const CsvRecord& r = records[i];
        if (isBlank(r))
            continue;
        if (filledCells(r) < 2) {
            ++s.leftOut;
            continue;
        }
        Movement m = movementOf(r, columns, s.layout.decimalSeparator);
        // Exports made of several pages repeat the header on each.
        if (!m.date.isValid() && sameHeader(r.cells, s.layout.headers)) {
            ++s.leftOut;
            continue;
        }
        if (overflowsHeader(r, s.layout.headers.size())) {
            m.refusal = QStringLiteral(
                "più celle che titoli di colonna (un separatore non racchiuso tra virgolette?)");
        } else if (isBalanceLine(r, m.date.isValid())) {
            // Without a date it is surely no movement; with one, the user sees why it stays out.
            if (!m.date.isValid()) {
                ++s.leftOut;
                continue;
            }
            m.refusal = QStringLiteral("riga di saldo, non un movimento");
        }
        s.movements.push_back(std::move(m));
    }
    return s;
}

} // namespace movilibro::statement
