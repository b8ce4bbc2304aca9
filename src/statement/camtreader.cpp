#include "statement/camtreader.h"

#include "statement/references.h"
#include "statement/text.h"
#include "statement/values.h"

#include <QXmlStreamReader>

namespace movilibro::statement {

namespace {

// A statement nests a dozen levels; far deeper is no statement, and no
// reader should have to follow it.
constexpr int DeepestNesting = 100;

// What one <Ntry> says, as read.
struct Entry
{
    QString amount, currency, indicator, status, bookingDate, valueDate, entryReference, reference;
    QString additionalInfo, counterparty, transactionCode;
    QStringList remittance, transactionInfo;
};

QString elementText(QXmlStreamReader& xml)
{
    return cleanText(xml.readElementText(QXmlStreamReader::IncludeChildElements));
}

void refuseDeepNesting(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > DeepestNesting)
            throw StatementError(
                QStringLiteral("Il file XML ha elementi annidati oltre %1 livelli (riga %2): non "
                               "è un estratto conto.")
                    .arg(DeepestNesting)
                    .arg(xml.lineNumber()));
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
}

// The text of <Dt> or <DtTm> inside a <BookgDt>, <ValDt> or <Dt>.
QString readDateElement(QXmlStreamReader& xml)
{
    QString date;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Dt" || xml.name() == u"DtTm")
            date = elementText(xml);
        else
            xml.skipCurrentElement();
    }
    return date;
}

// <Nm> of a party, directly or inside <Pty> (2019 versions); read without
// recursion, whatever the nesting.
QString readPartyName(QXmlStreamReader& xml)
{
    QString name;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"Nm" && depth <= 2 && name.isEmpty())
                name = elementText(xml);
            else
                ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return name;
}

// <RltdPties>: the name of the other side, who paid in or was paid.
void readParties(QXmlStreamReader& xml, Entry& e)
{
    const bool credit = e.indicator == u"CRDT";
    while (xml.readNextStartElement()) {
        if (xml.name() == (credit ? u"Dbtr" : u"Cdtr") && e.counterparty.isEmpty())
            e.counterparty = readPartyName(xml);
        else
            xml.skipCurrentElement();
    }
}

void readTransaction(QXmlStreamReader& xml, Entry& e)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == u"RmtInf") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"Ustrd")
                    e.remittance << elementText(xml);
                else
                    xml.skipCurrentElement();
            }
        } else if (xml.name() == u"RltdPties") {
            readParties(xml, e);
        } else if (xml.name() == u"AddtlTxInf") {
            e.transactionInfo << elementText(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
}

// <BkTxCd>: the bank's own code text, else the ISO domain, family and sub-family.
QString readTransactionCode(QXmlStreamReader& xml)
{
    QString proprietary;
    QStringList codes;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Prtry" || xml.name() == u"Domn" || xml.name() == u"Fmly") {
            const bool own = xml.name() == u"Prtry";
            while (xml.readNextStartElement()) {
                if (xml.name() == u"Cd" || xml.name() == u"SubFmlyCd")
                    (own ? proprietary : codes.emplaceBack()) = elementText(xml);
                else if (xml.name() == u"Fmly")
                    codes << readTransactionCode(xml);
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    codes.removeAll(QString());
    return proprietary.isEmpty() ? codes.join(u'/') : proprietary;
}

Entry readEntry(QXmlStreamReader& xml)
{
    Entry e;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == u"Amt") {
            e.currency = xml.attributes().value(QLatin1String("Ccy")).toString().trimmed().toUpper();
            e.amount = xml.readElementText().trimmed();
        } else if (name == u"CdtDbtInd")
            e.indicator = xml.readElementText().trimmed().toUpper();
        else if (name == u"Sts") // <Sts>BOOK</Sts> before 2019, <Sts><Cd>BOOK</Cd></Sts> since
            e.status = elementText(xml).toUpper();
        else if (name == u"BookgDt")
            e.bookingDate = readDateElement(xml);
        else if (name == u"ValDt")
            e.valueDate = readDateElement(xml);
        else if (name == u"NtryRef")
            e.entryReference = elementText(xml);
        else if (name == u"AcctSvcrRef")
            e.reference = elementText(xml);
        else if (name == u"AddtlNtryInf")
            e.additionalInfo = elementText(xml);
        else if (name == u"BkTxCd")
            e.transactionCode = readTransactionCode(xml);
        else if (name == u"NtryDtls") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"TxDtls")
                    readTransaction(xml, e);
                else
                    xml.skipCurrentElement();
            }
        } else
            xml.skipCurrentElement();
    }
    return e;
}

// A booked entry always has something to say: the remittance text, the
// entry's information, the counterparty, the kind of transaction, its reference.
QString descriptionOf(const Entry& e)
{
    QStringList remittance = e.remittance;
    remittance.removeAll(QString());
    for (const QString& text : {remittance.join(u' '), e.additionalInfo, e.transactionInfo.join(u' '),
                                e.counterparty, e.transactionCode, e.entryReference, e.reference}) {
        if (const QString t = collapsedBlanks(text); !t.isEmpty())
            return fittedDescription(t);
    }
    return {};
}

Movement movementOf(const Entry& e, int number, DateChoice choice)
{
    Movement m;
    m.line = number;
    m.description = descriptionOf(e);
    m.reference = e.reference.isEmpty() ? e.entryReference : e.reference;
    const QString dateText = choice == DateChoice::Value && !e.valueDate.isEmpty() ? e.valueDate
                             : e.bookingDate.isEmpty()                             ? e.valueDate
                                                                                   : e.bookingDate;
    m.date = readXmlDate(dateText);
    const AmountValue amount = readXmlAmount(e.amount);
    if (amount.amount)
        m.amount = e.indicator == u"DBIT" ? -*amount.amount : *amount.amount;
    if (!m.date.isValid())
        m.refusal = dateText.isEmpty() ? QStringLiteral("data mancante")
                                       : QStringLiteral("data illeggibile: «%1»").arg(printable(dateText));
    else if (!amount.amount)
        m.refusal = amount.refusal.isEmpty() ? QStringLiteral("importo mancante") : amount.refusal;
    else if (e.indicator != u"CRDT" && e.indicator != u"DBIT")
        m.refusal = QStringLiteral("manca l'indicazione di entrata o uscita (CdtDbtInd)");
    else if (amount.amount->isZero())
        m.refusal = QStringLiteral("importo pari a zero");
    else if (m.description.isEmpty())
        m.refusal = QStringLiteral("nessun testo: né causale, né controparte, né riferimento");
    else if (const QString range = amountOutOfRange(m.amount); !range.isEmpty())
        m.refusal = range;
    return m;
}

// <Acct>: <Id><IBAN> or <Id><Othr><Id>, and <Ccy>.
void readAccount(QXmlStreamReader& xml, StatementAccount& account)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Id") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"IBAN" || xml.name() == u"Othr")
                    account.id = QString(elementText(xml)).remove(u' ');
                else
                    xml.skipCurrentElement();
            }
        } else if (xml.name() == u"Ccy") {
            account.currency = elementText(xml).toUpper();
        } else {
            xml.skipCurrentElement();
        }
    }
}

// <Bal>: the opening (OPBD, or the previous closing PRCD) and the closing
// booked balance (CLBD), with their dates.
void readBalance(QXmlStreamReader& xml, StatementAccount& account)
{
    QString code, amount, indicator, date, currency;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Tp")
            code = elementText(xml).toUpper();
        else if (xml.name() == u"Amt") {
            currency = xml.attributes().value(QLatin1String("Ccy")).toString().trimmed().toUpper();
            amount = xml.readElementText();
        } else if (xml.name() == u"CdtDbtInd")
            indicator = xml.readElementText().trimmed().toUpper();
        else if (xml.name() == u"Dt")
            date = readDateElement(xml);
        else
            xml.skipCurrentElement();
    }
    const AmountValue value = readXmlAmount(amount);
    const QDate day = readXmlDate(date);
    if (account.currency.isEmpty())
        account.currency = currency;
    if (!value.amount || !day.isValid())
        return;
    const Balance balance{indicator == u"DBIT" ? -*value.amount : *value.amount, day};
    if (code == u"CLBD")
        account.closing = balance;
    else if (code == u"OPBD" || (code == u"PRCD" && !account.opening))
        account.opening = balance;
}

int accountIndex(Statement& s, const StatementAccount& account)
{
    for (size_t i = 0; i < s.accounts.size(); ++i) {
        if (s.accounts[i].id == account.id && s.accounts[i].currency == account.currency)
            return int(i);
    }
    s.accounts.push_back(account);
    return int(s.accounts.size() - 1);
}

// One <Stmt>, <Rpt> or <Ntfctn>: its account, balances and entries.
void readReport(QXmlStreamReader& xml, Statement& s, DateChoice choice, int& number)
{
    StatementAccount account;
    std::vector<std::pair<Entry, int>> entries;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Acct")
            readAccount(xml, account);
        else if (xml.name() == u"Bal")
            readBalance(xml, account);
        else if (xml.name() == u"Ntry")
            entries.emplace_back(readEntry(xml), ++number);
        else
            xml.skipCurrentElement();
    }
    if (account.currency.isEmpty() && !entries.empty())
        account.currency = entries.front().first.currency;
    const int index = accountIndex(s, account);
    StatementAccount& kept = s.accounts[size_t(index)];
    kept.opening = kept.opening ? kept.opening : account.opening;
    kept.closing = account.closing ? account.closing : kept.closing;
    for (const auto& [e, n] : entries) {
        if (!e.valueDate.isEmpty())
            s.hasValueDate = true;
        if (e.status != u"BOOK") {
            ++kept.pending;
            continue;
        }
        Movement m = movementOf(e, n, choice);
        m.account = index;
        if (!m.isRefused() && !e.currency.isEmpty() && e.currency != kept.currency)
            m.refusal = QStringLiteral("importo in %1, non nella divisa del conto (%2)")
                            .arg(e.currency, kept.currency);
        s.movements.push_back(std::move(m));
    }
}

} // namespace

Statement readCamt(const QByteArray& bytes, DateChoice choice)
{
    // The message and the part that holds one account's entries: a statement
    // (camt.053), an account report (camt.052), a notification (camt.054).
    struct Message
    {
        QStringView message, report;
        Statement::Kind kind;
    };
    static const Message Messages[] = {{u"BkToCstmrStmt", u"Stmt", Statement::Kind::Camt053},
                                       {u"BkToCstmrAcctRpt", u"Rpt", Statement::Kind::Camt052},
                                       {u"BkToCstmrDbtCdtNtfctn", u"Ntfctn", Statement::Kind::Camt054}};
    refuseDeepNesting(bytes);
    Statement s;
    s.accounts.clear();
    QXmlStreamReader xml(bytes);
    const Message* found = nullptr;
    int number = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        for (const Message& m : Messages) {
            if (!found && xml.name() == m.message)
                found = &m;
        }
        if (found && xml.name() == found->report)
            readReport(xml, s, choice, number);
    }
    if (xml.hasError())
        throw StatementError(QStringLiteral("Il file XML è danneggiato (riga %1: %2).")
                                 .arg(xml.lineNumber())
                                 .arg(printable(xml.errorString())));
    if (!found)
        throw StatementError(
            QStringLiteral("Il file XML non è un estratto conto ISO 20022 (camt.052, camt.053 "
                           "o camt.054)."));
    s.kind = found->kind;
    if (s.accounts.empty())
        s.accounts.emplace_back();
    dropPlaceholderReferences(s.movements);
    return s;
}

} // namespace movilibro::statement
