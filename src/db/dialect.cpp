#include "db/dialect.h"

#include "db/connection.h"

#include <QDate>

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

class Translator
{
public:
    explicit Translator(const QString& sql) : m_sql(sql) {}

    QString run(qsizetype from, qsizetype to)
    {
        QString out;
        out.reserve(to - from + 16);
        qsizetype i = from;
        while (i < to) {
            const QChar c = m_sql[i];
            if (c.isSpace()) {
                out += c;
                ++i;
            } else if (c == u'\'') {
                const qsizetype end = skipQuoted(i, to);
                out += QStringView(m_sql).mid(i, end - i);
                i = end;
            } else if (c == u'[') {
                const qsizetype end = m_sql.indexOf(u']', i);
                if (end < 0 || end >= to)
                    reject(m_sql, i, QStringLiteral("nome tra parentesi quadre non chiuso"));
                out += QStringView(m_sql).mid(i, end + 1 - i);
                i = end + 1;
            } else if (c == u'#') {
                i = dateLiteral(i, to, out);
            } else if (isIdentStart(c)) {
                i = identifier(i, to, out);
            } else if (c.isDigit()) {
                while (i < to && (m_sql[i].isDigit() || m_sql[i] == u'.'))
                    out += m_sql[i++];
            } else if (c == u'&') {
                out += QStringLiteral("||");
                ++i;
            } else if (c == u'\\') {
                out += u'/';
                ++i;
            } else if (QStringView(u",.()=<>+-*/").contains(c)) {
                out += c;
                ++i;
            } else {
                reject(m_sql, i, QStringLiteral("carattere inatteso '%1'").arg(c));
            }
        }
        return out;
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

    qsizetype identifier(qsizetype i, qsizetype to, QString& out)
    {
        qsizetype j = i;
        while (j < to && isIdentChar(m_sql[j]))
            ++j;
        const QStringView word = QStringView(m_sql).mid(i, j - i);
        if (word.compare(u"DELETE", Qt::CaseInsensitive) == 0)
            return deleteStar(word, j, to, out);
        if (word.compare(u"isnull", Qt::CaseInsensitive) == 0)
            return isNull(i, j, to, out);
        out += word;
        return j;
    }

    qsizetype deleteStar(QStringView word, qsizetype j, qsizetype to, QString& out) const
    {
        out += word;
        qsizetype k = j;
        while (k < to && m_sql[k].isSpace())
            ++k;
        if (k < to && m_sql[k] == u'*')
            return k + 1;
        return j;
    }

    qsizetype isNull(qsizetype start, qsizetype j, qsizetype to, QString& out)
    {
        qsizetype k = j;
        while (k < to && m_sql[k].isSpace())
            ++k;
        if (k >= to || m_sql[k] != u'(')
            reject(m_sql, start, QStringLiteral("isnull senza argomento"));
        const qsizetype close = matchingParen(k, to);
        out += u'(';
        out += run(k + 1, close);
        out += QStringLiteral(" IS NULL)");
        return close + 1;
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
                const qsizetype end = m_sql.indexOf(u']', i);
                if (end < 0 || end >= to)
                    break;
                i = end + 1;
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

    const QString& m_sql;
};

} // namespace

QString translateJet(const QString& jetSql)
{
    return Translator(jetSql).run(0, jetSql.size());
}

} // namespace movilibro::db
