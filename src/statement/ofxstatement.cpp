#include "statement/ofxreader.h"

#include "statement/references.h"
#include "statement/text.h"
#include "statement/values.h"

namespace movilibro::statement {

namespace {

// NAME and MEMO, once when one holds the other.
QString descriptionOf(const OfxTransaction& t)
{
    const QString name = cleanText(t.name), memo = cleanText(t.memo);
    const QString foldedName = comparableDescription(name), foldedMemo = comparableDescription(memo);
    QString text;
    if (foldedMemo.contains(foldedName))
        text = memo;
    else if (foldedName.contains(foldedMemo))
        text = name;
    else
        text = name + QStringLiteral(" - ") + memo;
    // A movement is never refused for want of words: its kind, else its reference.
    for (const QString& candidate : {text, t.kind, t.reference}) {
        if (const QString c = collapsedBlanks(candidate); !c.isEmpty())
            return fittedDescription(c);
    }
    return {};
}

Movement movementOf(const OfxTransaction& t, int number, int account, const QString& currency)
{
    Movement m;
    m.line = number;
    m.account = account;
    m.date = t.date;
    m.reference = cleanText(t.reference);
    m.description = descriptionOf(t);
    if (t.amount)
        m.amount = *t.amount;
    if (!m.date.isValid())
        m.refusal = QStringLiteral("data mancante");
    else if (!t.amount)
        m.refusal = QStringLiteral("importo mancante");
    else if (t.amount->isZero())
        m.refusal = QStringLiteral("importo pari a zero");
    else if (m.description.isEmpty())
        m.refusal = QStringLiteral("nessun testo: né descrizione (NAME, MEMO), né tipo, né riferimento");
    else if (const QString range = amountOutOfRange(m.amount); !range.isEmpty())
        m.refusal = range;
    else if (!t.currency.isEmpty() && !currency.isEmpty() && t.currency != currency)
        m.refusal =
            QStringLiteral("importo in %1, non nella divisa del conto (%2)").arg(t.currency, currency);
    return m;
}

} // namespace

Statement readOfxStatement(const QByteArray& bytes)
{
    Statement s;
    s.kind = Statement::Kind::Ofx;
    s.accounts.clear();
    int number = 0;
    for (const OfxAccount& a : readOfx(bytes)) {
        StatementAccount account;
        // Bank, branch and account number, as one word like an IBAN.
        account.id = QString(a.id).remove(u' ');
        account.currency = a.currency.toUpper();
        if (a.ledgerBalance && a.ledgerDate.isValid())
            account.closing = Balance{*a.ledgerBalance, a.ledgerDate};
        s.accounts.push_back(account);
        const int index = int(s.accounts.size() - 1);
        for (const OfxTransaction& t : a.transactions)
            s.movements.push_back(movementOf(t, ++number, index, account.currency));
    }
    if (s.accounts.empty())
        s.accounts.emplace_back();
    dropPlaceholderReferences(s.movements);
    return s;
}

} // namespace movilibro::statement
