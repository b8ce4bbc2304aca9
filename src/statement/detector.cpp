#include "statement/detector.h"

#include "statement/values.h"

#include <algorithm>

namespace movilibro::statement {

namespace {

// Rows under the header whose cells check the roles.
constexpr int SampleRows = 60;
// Where a bank's preamble may end: the header is looked for this far.
constexpr size_t SniffedRows = 160;

using Sample = std::vector<const TableRow*>;

int filledCells(const TableRow& r)
{
    return int(std::count_if(r.cells.begin(), r.cells.end(),
                             [](const QString& c) { return !c.trimmed().isEmpty(); }));
}

bool isAmountRole(ColumnRole r)
{
    return r == ColumnRole::SignedAmount || r == ColumnRole::Credit || r == ColumnRole::Debit;
}

bool isDateRole(ColumnRole r)
{
    return r == ColumnRole::Date || r == ColumnRole::ValueDate;
}

bool isDateText(const QString& v)
{
    const auto [dayMonth, monthDay] = dateOrdersOf(v);
    return dayMonth || monthDay || readDate(v).isValid();
}

bool isAmountText(const QString& v)
{
    return looksLikeAmount(v) && !isDateText(v);
}

bool hasDecimals(const QString& v)
{
    return v.contains(u',') || v.contains(u'.');
}

// (Nearly) every filled cell: one odd cell, or one in ten, is a slip, not another kind of column.
bool nearlyAll(qsizetype count, qsizetype total)
{
    return total > 0 && count >= total - std::max<qsizetype>(1, total / 10);
}

template <typename Test> qsizetype countOf(const QStringList& values, Test test)
{
    return std::count_if(values.begin(), values.end(), test);
}

bool hasRole(const QList<ColumnRole>& roles, std::initializer_list<ColumnRole> wanted)
{
    return std::any_of(wanted.begin(), wanted.end(), [&](ColumnRole r) { return roles.contains(r); });
}

Sample sampleOf(const Table& rows, size_t first)
{
    Sample sample;
    for (size_t i = first; i < rows.size() && sample.size() < SampleRows; ++i) {
        if (filledCells(rows[i]) >= 2 &&
            std::none_of(rows[i].cells.begin(), rows[i].cells.end(), isPendingMark))
            sample.push_back(&rows[i]);
    }
    return sample;
}

QStringList valuesOf(const Sample& sample, qsizetype col)
{
    QStringList values;
    for (const TableRow* r : sample) {
        if (const QString v = cellOf(r->cells, col); !v.isEmpty())
            values << v;
    }
    return values;
}

// A role the header named that its cells deny is dropped; "Valuta" full of
// currency codes is the currency.
void checkHeaderRoles(QList<ColumnRole>& roles, const Sample& sample)
{
    for (qsizetype c = 0; c < roles.size(); ++c) {
        const QStringList v = valuesOf(sample, c);
        if (v.isEmpty())
            continue;
        const auto codes = countOf(v, [](const QString& s) { return !currencyCode(s).isEmpty(); });
        ColumnRole& role = roles[c];
        if (isDateRole(role) && !nearlyAll(countOf(v, isDateText), v.size()))
            role = role == ColumnRole::ValueDate && nearlyAll(codes, v.size()) ? ColumnRole::Currency
                                                                               : ColumnRole::Ignored;
        else if ((isAmountRole(role) || role == ColumnRole::Balance) &&
                 countOf(v, isAmountText) * 2 < v.size())
            role = ColumnRole::Ignored;
        else if (role == ColumnRole::Currency && !nearlyAll(codes, v.size()))
            role = ColumnRole::Ignored;
        else if (role == ColumnRole::Sign &&
                 !nearlyAll(countOf(v, [](const QString& s) { return signOf(s) != 0; }), v.size()))
            role = ColumnRole::Ignored;
    }
}

// "1.234,56" and "1,234.56" say it themselves: the last mark is the decimal one.
QChar decimalOf(const Table& rows, size_t first, const QList<qsizetype>& columns)
{
    bool comma = false, point = false;
    for (size_t i = first; i < rows.size(); ++i) {
        for (const qsizetype c : columns) {
            const QString v = cellOf(rows[i].cells, c);
            const qsizetype lastComma = v.lastIndexOf(u','), lastPoint = v.lastIndexOf(u'.');
            if (lastComma >= 0 && lastPoint >= 0)
                return lastComma > lastPoint ? u',' : u'.';
            comma = comma || lastComma >= 0;
            point = point || hasDecimalPoint(v);
        }
    }
    return point && !comma ? u'.' : u',';
}

// From one row to the next the column changes by the row's amount (rows
// oldest first) or by the other row's (newest first).
bool isRunningBalance(qsizetype col, const AmountColumns& amounts, const Sample& sample)
{
    int pairs = 0, up = 0, down = 0;
    std::optional<std::pair<qint64, qint64>> previous; // balance, amount
    for (const TableRow* r : sample) {
        const AmountValue balance = readAmount(cellOf(r->cells, col), amounts.decimal);
        const std::optional<Currency> amount = amounts.read(r->cells);
        if (!balance.amount || !amount) {
            previous.reset();
            continue;
        }
        const qint64 b = balance.amount->raw(), a = amount->raw();
        qint64 change = 0;
        if (previous && !__builtin_sub_overflow(b, previous->first, &change)) {
            ++pairs;
            up += change == a;
            down += change == -previous->second;
        }
        previous = {b, a};
    }
    return pairs >= 2 && std::max(up, down) * 5 >= pairs * 4;
}

AmountColumns signedColumn(const QList<ColumnRole>& roles, qsizetype col, QChar decimal)
{
    AmountColumns a;
    a.amount = col;
    a.sign = roles.indexOf(ColumnRole::Sign);
    a.decimal = decimal;
    return a;
}

// A running balance found by its values never stays an amount; where the
// header named none, the column it follows is the amount.
void markBalances(QList<ColumnRole>& roles, const QList<qsizetype>& numeric, QChar decimal,
                  const Sample& sample)
{
    const qsizetype named = roles.indexOf(ColumnRole::SignedAmount);
    if (hasRole(roles, {ColumnRole::SignedAmount, ColumnRole::Credit, ColumnRole::Debit})) {
        const AmountColumns source = AmountColumns::of(roles, decimal, AmountSign::PositiveIn);
        for (const qsizetype c : numeric) {
            if (roles[c] == ColumnRole::Ignored && isRunningBalance(c, source, sample))
                roles[c] = ColumnRole::Balance;
        }
    }
    if (named < 0 && hasRole(roles, {ColumnRole::Credit, ColumnRole::Debit}))
        return;
    // The amount the header named may itself follow another column; without
    // one, a free or "Saldo" column may follow one.
    for (const qsizetype a : numeric) {
        const bool candidate =
            named >= 0 ? a == named : roles[a] == ColumnRole::Ignored || roles[a] == ColumnRole::Balance;
        for (const qsizetype b : numeric) {
            if (candidate && b != a && roles[b] == ColumnRole::Ignored &&
                isRunningBalance(a, signedColumn(roles, b, decimal), sample)) {
                roles[a] = ColumnRole::Balance;
                roles[b] = ColumnRole::SignedAmount;
                return;
            }
        }
    }
}

qsizetype firstFree(const QList<ColumnRole>& roles, const Sample& sample, auto test)
{
    for (qsizetype c = 0; c < roles.size(); ++c) {
        const QStringList v = valuesOf(sample, c);
        if (roles[c] == ColumnRole::Ignored && !v.isEmpty() && test(v))
            return c;
    }
    return -1;
}

// The amount where the header named none: the one column of numbers with
// decimals. Two or more, or only a balance, leave the choice to the user.
QString takeAmount(QList<ColumnRole>& roles, const QStringList& headers, const QList<qsizetype>& numeric,
                   const Sample& sample)
{
    QList<qsizetype> candidates;
    for (const qsizetype c : numeric) {
        const QStringList v = valuesOf(sample, c);
        if (roles[c] == ColumnRole::Ignored && countOf(v, hasDecimals) * 2 >= v.size())
            candidates << c;
    }
    if (candidates.size() == 1) {
        roles[candidates[0]] = ColumnRole::SignedAmount;
        return {};
    }
    const QString why = QStringLiteral("colonna dell'importo non riconosciuta: ");
    if (candidates.size() > 1) {
        QStringList names;
        for (const qsizetype c : candidates)
            names << QStringLiteral("«%1»").arg(headers.value(c));
        return why + QStringLiteral("potrebbe essere ") + names.join(QStringLiteral(" o "));
    }
    if (const qsizetype b = roles.indexOf(ColumnRole::Balance); b >= 0)
        return why + QStringLiteral("«%1» è il saldo progressivo, non l'importo dei movimenti")
                         .arg(headers.value(b));
    return why + QStringLiteral("nessuna colonna ha importi riconoscibili");
}

// The text column with the longest cells, when the header named none.
void takeDescription(QList<ColumnRole>& roles, const Sample& sample)
{
    qsizetype best = -1;
    qsizetype bestLength = 2;
    for (qsizetype c = 0; c < roles.size(); ++c) {
        const QStringList v = valuesOf(sample, c);
        if (roles[c] != ColumnRole::Ignored || v.isEmpty() || countOf(v, isAmountText) * 2 >= v.size() ||
            nearlyAll(countOf(v, isDateText), v.size()))
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

DateOrder dateOrderOf(const QList<ColumnRole>& roles, const Table& rows, size_t first)
{
    bool dayFirst = false, monthFirst = false;
    for (qsizetype c = 0; c < roles.size(); ++c) {
        if (!isDateRole(roles[c]))
            continue;
        for (size_t i = first; i < rows.size() && !dayFirst; ++i) {
            const auto [dayMonth, monthDay] = dateOrdersOf(cellOf(rows[i].cells, c));
            dayFirst = dayMonth && !monthDay;
            monthFirst = monthFirst || (monthDay && !dayMonth);
        }
    }
    return monthFirst && !dayFirst ? DateOrder::MonthDay : DateOrder::DayMonth;
}

// An amount column alone, none of its amounts negative: all money in, or
// all money out as a card statement lists purchases? The file cannot say.
AmountSign amountSignOf(const QList<ColumnRole>& roles, const Table& rows, size_t first, QChar decimal)
{
    ColumnLayout layout;
    layout.roles = roles;
    // Left open where it does not count, for the user who picks such a column.
    if (!layout.signFromAmountAlone())
        return AmountSign::Undecided;
    const qsizetype col = roles.indexOf(ColumnRole::SignedAmount);
    for (size_t i = first; i < rows.size(); ++i) {
        const AmountValue v = readAmount(cellOf(rows[i].cells, col), decimal);
        if (v.amount && v.amount->isNegative())
            return AmountSign::PositiveIn;
    }
    return AmountSign::Undecided;
}

} // namespace

QString cellOf(const QStringList& cells, qsizetype col)
{
    return col >= 0 && col < cells.size() ? cells[col].trimmed() : QString();
}

AmountColumns AmountColumns::of(const QList<ColumnRole>& roles, QChar decimal, AmountSign sign)
{
    AmountColumns a;
    a.amount = roles.indexOf(ColumnRole::SignedAmount);
    a.credit = roles.indexOf(ColumnRole::Credit);
    a.debit = roles.indexOf(ColumnRole::Debit);
    a.sign = roles.indexOf(ColumnRole::Sign);
    a.decimal = decimal;
    a.amountSign = sign;
    return a;
}

std::optional<Currency> AmountColumns::read(const QStringList& cells, QString* refusal) const
{
    const auto refuse = [&](const QString& why) -> std::optional<Currency> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    if (amount >= 0 && (credit < 0 || debit < 0)) {
        const AmountValue v = readAmount(cellOf(cells, amount), decimal);
        if (!v.amount)
            return refuse(v.refusal.isEmpty() ? QStringLiteral("importo mancante") : v.refusal);
        if (sign >= 0) {
            const QString mark = cellOf(cells, sign);
            const int direction = signOf(mark);
            if (direction == 0)
                return refuse(mark.isEmpty() ? QStringLiteral("segno mancante")
                                             : QStringLiteral("segno non riconosciuto: «%1»").arg(mark));
            if (v.amount->isNegative() && direction > 0)
                return refuse(QStringLiteral("importo negativo con il segno di un'entrata"));
            return direction > 0 ? *v.amount : -v.amount->abs();
        }
        return amountSign == AmountSign::PositiveOut ? -*v.amount : *v.amount;
    }
    const AmountValue in = readAmount(cellOf(cells, credit), decimal);
    const AmountValue out = readAmount(cellOf(cells, debit), decimal);
    if (!in.refusal.isEmpty() || !out.refusal.isEmpty())
        return refuse(in.refusal.isEmpty() ? out.refusal : in.refusal);
    const bool hasIn = in.amount && !in.amount->isZero();
    const bool hasOut = out.amount && !out.amount->isZero();
    if (hasIn && hasOut)
        return refuse(QStringLiteral("importo sia nelle entrate sia nelle uscite"));
    if (hasIn && in.amount->isNegative())
        return refuse(QStringLiteral("importo negativo nella colonna delle entrate"));
    if (!in.amount && !out.amount)
        return refuse(QStringLiteral("importo mancante"));
    // The column of money out holds "50,00" or "-50,00" as banks choose: both go out.
    return hasIn ? *in.amount : hasOut ? -out.amount->abs() : Currency();
}

HeaderGuess guessHeader(const Table& rows)
{
    HeaderGuess guess;
    const size_t top = std::min(rows.size(), SniffedRows);
    for (size_t i = 0; i < top; ++i) {
        ColumnLayout named;
        named.roles = rolesOfHeader(rows[i].cells);
        named.amountSign = AmountSign::PositiveIn;
        if (rows[i].cells.size() >= 3 && named.isComplete())
            return HeaderGuess{i, true, int(rows[i].cells.size())};
    }
    size_t runStart = 0;
    for (size_t i = 0; i <= top && top > 0; ++i) {
        if (i < top && rows[i].cells.size() == rows[runStart].cells.size())
            continue;
        const int width = int(rows[runStart].cells.size());
        const int score = width >= 3 ? int(i - runStart) * width : -1;
        if (score > guess.score) {
            guess.index = runStart;
            guess.score = score;
        }
        runStart = i;
    }
    return guess;
}

DetectedColumns detectColumns(const QStringList& headers, const Table& rows, size_t first)
{
    DetectedColumns d;
    d.roles = rolesOfHeader(headers);
    const Sample sample = sampleOf(rows, first);
    checkHeaderRoles(d.roles, sample);
    QList<qsizetype> numeric;
    for (qsizetype c = 0; c < d.roles.size(); ++c) {
        const QStringList v = valuesOf(sample, c);
        const ColumnRole r = d.roles[c];
        if ((r == ColumnRole::Ignored || isAmountRole(r) || r == ColumnRole::Balance) &&
            (isAmountRole(r) || nearlyAll(countOf(v, isAmountText), v.size())))
            numeric << c;
    }
    d.decimal = decimalOf(rows, first, numeric);
    markBalances(d.roles, numeric, d.decimal, sample);
    if (!hasRole(d.roles, {ColumnRole::Date, ColumnRole::ValueDate})) {
        if (const auto c = firstFree(d.roles, sample,
                                     [](const QStringList& v) { return countOf(v, isDateText) == v.size(); });
            c >= 0)
            d.roles[c] = ColumnRole::Date;
    }
    if (!hasRole(d.roles, {ColumnRole::SignedAmount, ColumnRole::Credit, ColumnRole::Debit}))
        d.undecided = takeAmount(d.roles, headers, numeric, sample);
    if (d.roles.contains(ColumnRole::SignedAmount) &&
        !hasRole(d.roles, {ColumnRole::Sign, ColumnRole::Credit, ColumnRole::Debit})) {
        if (const auto c = firstFree(d.roles, sample,
                                     [](const QStringList& v) {
                                         return countOf(v, [](const QString& s) { return signOf(s) != 0; }) ==
                                                v.size();
                                     });
            c >= 0)
            d.roles[c] = ColumnRole::Sign;
    }
    if (!d.roles.contains(ColumnRole::Description))
        takeDescription(d.roles, sample);
    d.dateOrder = dateOrderOf(d.roles, rows, first);
    d.amountSign = amountSignOf(d.roles, rows, first, d.decimal);
    ColumnLayout layout;
    layout.roles = d.roles;
    if (layout.signFromAmountAlone() && d.amountSign == AmountSign::Undecided && d.undecided.isEmpty())
        d.undecided = QStringLiteral(
            "gli importi non hanno segno e nel file non c'è una colonna del segno né colonne separate per "
            "entrate e uscite: non si può sapere quali sono entrate e quali uscite");
    return d;
}

} // namespace movilibro::statement
