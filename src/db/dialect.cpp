#include "db/dialect.h"

#include "db/connection.h"

#include <QDate>

#include <vector>

namespace movilibro::db {

namespace {

[[noreturn]] void reject(const QString& sql, qsizetype pos, const QString& why)
{
    throw DbError(-1, QStringLiteral("Istruzione SQL non riconosciuta (%1, posizione %2): %3")
                          .arg(why)
                          .arg(pos + 1)
                          .arg(sql));
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Words that are never a value, so an expression never runs across them.
bool isKeyword(QStringView word)
{
    static const char16_t* const keywords[] = {
        u"SELECT", u"FROM",  u"WHERE",    u"AND",    u"OR",      u"NOT",   u"AS",     u"BETWEEN", u"ORDER",
        u"BY",     u"GROUP", u"HAVING",   u"ON",     u"INNER",   u"LEFT",  u"RIGHT",  u"OUTER",   u"JOIN",
        u"IS",     u"LIKE",  u"IN",       u"DELETE", u"UPDATE",  u"SET",   u"INSERT", u"INTO",    u"VALUES",
        u"ASC",    u"DESC",  u"DISTINCT", u"TOP",    u"UNION",   u"ALL",   u"EXISTS", u"CASE",    u"WHEN",
        u"THEN",   u"ELSE",  u"END",      u"LIMIT",  u"COLLATE", u"ESCAPE"};
    for (const char16_t* keyword : keywords) {
        if (word.compare(QStringView(keyword), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// How tightly Jet binds its arithmetic and text operators (higher first);
// SQLite binds || above everything and has no integer division.
int strength(QChar op)
{
    switch (op.unicode()) {
    case u'*':
    case u'/':
        return 4;
    case u'\\':
        return 3;
    case u'+':
    case u'-':
        return 2;
    default: // &
        return 1;
    }
}

// One piece of a statement at one level of parentheses, already translated.
struct Piece
{
    enum Kind
    {
        Space,
        Value,    // a literal, a name, a function call or a parenthesised part
        Operator, // + - * / \ &
        Other     // keywords, commas, comparisons
    };
    Kind kind;
    QString text;
};

// value (operator value)*, each value with its sign operators.
struct Expression
{
    struct Term
    {
        QString signs;
        QString value;
    };
    std::vector<Term> terms;
    std::vector<QChar> operators;
    size_t end = 0; // the piece after the expression
};

// Jet's rounding of both operands, then a quotient truncated toward zero
// (enginefunctions.cpp); / always divides as real numbers.
QString render(QChar op, const QString& left, const QString& right)
{
    switch (op.unicode()) {
    case u'\\':
        return QStringLiteral("jet_intdiv(%1, %2)").arg(left, right);
    case u'&':
        return u'(' + left + QStringLiteral(" || ") + right + u')';
    case u'/':
        return QStringLiteral("(CAST(%1 AS REAL) / %2)").arg(left, right);
    default:
        return u'(' + left + u' ' + op + u' ' + right + u')';
    }
}

QString renderTerm(const Expression::Term& term)
{
    QString text = term.value;
    for (qsizetype i = term.signs.size() - 1; i >= 0; --i)
        text = u'(' + term.signs[i] + text + u')';
    return text;
}

// Every operation in its own parentheses, in Jet's order.
QString renderExpression(const Expression& e)
{
    std::vector<QString> values{renderTerm(e.terms[0])};
    std::vector<QChar> pending;
    const auto reduce = [&] {
        const QString right = values.back();
        values.pop_back();
        values.back() = render(pending.back(), values.back(), right);
        pending.pop_back();
    };
    for (size_t i = 0; i < e.operators.size(); ++i) {
        while (!pending.empty() && strength(pending.back()) >= strength(e.operators[i]))
            reduce();
        pending.push_back(e.operators[i]);
        values.push_back(renderTerm(e.terms[i + 1]));
    }
    while (!pending.empty())
        reduce();
    return values[0];
}

bool needsJetMeaning(const Expression& e)
{
    for (QChar op : e.operators) {
        if (op == u'\\' || op == u'&' || op == u'/')
            return true;
    }
    return false;
}

size_t skipSpace(const std::vector<Piece>& pieces, size_t i)
{
    while (i < pieces.size() && pieces[i].kind == Piece::Space)
        ++i;
    return i;
}

// A value with its sign operators from piece i; false when there is none.
bool readTerm(const std::vector<Piece>& pieces, size_t& i, Expression::Term& term)
{
    size_t k = skipSpace(pieces, i);
    while (k < pieces.size() && pieces[k].kind == Piece::Operator &&
           (pieces[k].text == u"-" || pieces[k].text == u"+")) {
        term.signs += pieces[k].text;
        k = skipSpace(pieces, k + 1);
    }
    if (k >= pieces.size() || pieces[k].kind != Piece::Value)
        return false;
    term.value = pieces[k].text;
    i = k + 1;
    return true;
}

Expression readExpression(const std::vector<Piece>& pieces, size_t i)
{
    Expression e;
    Expression::Term first;
    if (!readTerm(pieces, i, first))
        return e;
    e.terms.push_back(first);
    for (;;) {
        const size_t op = skipSpace(pieces, i);
        if (op >= pieces.size() || pieces[op].kind != Piece::Operator)
            break;
        size_t next = op + 1;
        Expression::Term term;
        if (!readTerm(pieces, next, term))
            break;
        e.operators.push_back(pieces[op].text[0]);
        e.terms.push_back(term);
        i = next;
    }
    e.end = i;
    return e;
}

// Keeps SQLite from reading two operators as a comment ("--", "/*").
void append(QString& out, const QString& text)
{
    if (!out.isEmpty() && !text.isEmpty()) {
        const QChar last = out.back();
        const QChar first = text.front();
        if ((last == u'-' && first == u'-') || (last == u'/' && first == u'*') ||
            (last == u'*' && first == u'/'))
            out += u' ';
    }
    out += text;
}

QString join(const std::vector<Piece>& pieces)
{
    QString out;
    size_t i = 0;
    while (i < pieces.size()) {
        if (pieces[i].kind == Piece::Value || pieces[i].kind == Piece::Operator) {
            const Expression e = readExpression(pieces, i);
            if (!e.terms.empty() && needsJetMeaning(e)) {
                append(out, renderExpression(e));
                i = e.end;
                continue;
            }
            for (const size_t end = e.terms.empty() ? i + 1 : e.end; i < end; ++i)
                append(out, pieces[i].text);
            continue;
        }
        append(out, pieces[i].text);
        ++i;
    }
    return out;
}

class Translator
{
public:
    explicit Translator(const QString& sql) : m_sql(sql) {}

    QString run(qsizetype from, qsizetype to)
    {
        if (++m_depth > MaxDepth)
            reject(m_sql, from, QStringLiteral("troppe parentesi annidate"));
        std::vector<Piece> pieces;
        qsizetype i = from;
        while (i < to) {
            const QChar c = m_sql[i];
            QString text;
            if (c.isSpace()) {
                pieces.push_back({Piece::Space, QString(c)});
                ++i;
                continue;
            }
            if (c == u'\'') {
                const qsizetype end = skipQuoted(i, to);
                pieces.push_back({Piece::Value, m_sql.mid(i, end - i)});
                i = end;
            } else if (c == u'[') {
                i = name(i, to, text);
                pieces.push_back({Piece::Value, text});
            } else if (c == u'#') {
                i = dateLiteral(i, to, text);
                pieces.push_back({Piece::Value, text});
            } else if (isIdentStart(c)) {
                Piece::Kind kind = Piece::Value;
                i = identifier(i, to, text, kind);
                pieces.push_back({kind, text});
            } else if (c.isDigit()) {
                const qsizetype start = i;
                while (i < to && (m_sql[i].isDigit() || m_sql[i] == u'.'))
                    ++i;
                pieces.push_back({Piece::Value, m_sql.mid(start, i - start)});
            } else if (c == u'(') {
                const qsizetype close = matchingParen(i, to);
                pieces.push_back({Piece::Value, u'(' + run(i + 1, close) + u')'});
                i = close + 1;
            } else if (QStringView(u"&\\+-*/").contains(c)) {
                pieces.push_back({Piece::Operator, QString(c)});
                ++i;
            } else if (QStringView(u",.)=<>").contains(c)) {
                pieces.push_back({Piece::Other, QString(c)});
                ++i;
            } else {
                reject(m_sql, i, QStringLiteral("carattere inatteso '%1'").arg(c));
            }
        }
        --m_depth;
        return join(pieces);
    }

private:
    qsizetype skipQuoted(qsizetype i, qsizetype to) const
    {
        qsizetype j = i + 1;
        while (j < to) {
            if (m_sql[j] == u'\'') {
                if (j + 1 < to && m_sql[j + 1] == u'\'') {
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        reject(m_sql, i, QStringLiteral("testo tra apici non chiuso"));
    }

    qsizetype bracketEnd(qsizetype i, qsizetype to) const
    {
        const qsizetype end = m_sql.indexOf(u']', i);
        if (end < 0 || end >= to)
            reject(m_sql, i, QStringLiteral("nome tra parentesi quadre non chiuso"));
        return end + 1;
    }

    // A name, plain or bracketed, with the names after its dots (Conti.cntNome).
    qsizetype name(qsizetype i, qsizetype to, QString& out) const
    {
        for (;;) {
            qsizetype j = i;
            if (m_sql[i] == u'[') {
                j = bracketEnd(i, to);
            } else {
                while (j < to && isIdentChar(m_sql[j]))
                    ++j;
            }
            out += QStringView(m_sql).mid(i, j - i);
            if (j + 1 >= to || m_sql[j] != u'.' || !(isIdentStart(m_sql[j + 1]) || m_sql[j + 1] == u'['))
                return j;
            out += u'.';
            i = j + 1;
        }
    }

    qsizetype dateLiteral(qsizetype i, qsizetype to, QString& out) const
    {
        const qsizetype end = m_sql.indexOf(u'#', i + 1);
        if (end < 0 || end >= to)
            reject(m_sql, i, QStringLiteral("data non chiusa"));
        const QString body = m_sql.mid(i + 1, end - i - 1);
        const QDate date = QDate::fromString(body, QStringLiteral("MM/dd/yyyy"));
        if (!date.isValid() || body.size() != 10)
            reject(m_sql, i, QStringLiteral("data non valida '%1'").arg(body));
        out += QStringLiteral("'%1-%2-%3'").arg(body.mid(6, 4), body.mid(0, 2), body.mid(3, 2));
        return end + 1;
    }

    qsizetype identifier(qsizetype i, qsizetype to, QString& out, Piece::Kind& kind)
    {
        qsizetype j = i;
        while (j < to && isIdentChar(m_sql[j]))
            ++j;
        const QStringView word = QStringView(m_sql).mid(i, j - i);
        if (word.compare(u"Mod", Qt::CaseInsensitive) == 0)
            reject(m_sql, i, QStringLiteral("operatore Mod non gestito"));
        if (isKeyword(word)) {
            kind = Piece::Other;
            out += word;
            return word.compare(u"DELETE", Qt::CaseInsensitive) == 0 ? skipDeleteStar(j, to) : j;
        }
        qsizetype k = j;
        while (k < to && m_sql[k].isSpace())
            ++k;
        const bool call = k < to && m_sql[k] == u'(';
        if (word.compare(u"isnull", Qt::CaseInsensitive) == 0) {
            if (!call)
                reject(m_sql, i, QStringLiteral("isnull senza argomento"));
            const qsizetype close = matchingParen(k, to);
            out += u'(' + run(k + 1, close) + QStringLiteral(" IS NULL)");
            return close + 1;
        }
        if (call) {
            const qsizetype close = matchingParen(k, to);
            out += QStringView(m_sql).mid(i, k - i);
            out += u'(' + run(k + 1, close) + u')';
            return close + 1;
        }
        return name(i, to, out);
    }

    qsizetype skipDeleteStar(qsizetype j, qsizetype to) const
    {
        qsizetype k = j;
        while (k < to && m_sql[k].isSpace())
            ++k;
        return k < to && m_sql[k] == u'*' ? k + 1 : j;
    }

    qsizetype matchingParen(qsizetype open, qsizetype to) const
    {
        int depth = 0;
        qsizetype i = open;
        while (i < to) {
            const QChar c = m_sql[i];
            if (c == u'\'') {
                i = skipQuoted(i, to);
                continue;
            }
            if (c == u'[') {
                i = bracketEnd(i, to);
                continue;
            }
            if (c == u'(')
                ++depth;
            else if (c == u')' && --depth == 0)
                return i;
            ++i;
        }
        reject(m_sql, open, QStringLiteral("parentesi non chiusa"));
    }

    static constexpr int MaxDepth = 64;
    const QString& m_sql;
    int m_depth = 0;
};

} // namespace

QString translateJet(const QString& jetSql)
{
    return Translator(jetSql).run(0, jetSql.size());
}

} // namespace movilibro::db
