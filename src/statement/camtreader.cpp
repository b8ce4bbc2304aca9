#include "statement/camtreader.h"

#include "statement/values.h"

#include <QXmlStreamReader>

namespace movilibro::statement {

namespace {

// What one <Ntry> says, as read.
struct Entry
{
    QString amount, indicator, status, bookingDate, valueDate, reference, additionalInfo, counterparty;
    QStringList remittance, transactionInfo;
};

// The date of a <BookgDt> or <ValDt>: <Dt> or <DtTm>, the time dropped.
QString readDateElement(QXmlStreamReader& xml)
{
    QString date;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Dt" || xml.name() == u"DtTm")
            date = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().left(10);
        else
            xml.skipCurrentElement();
    }
    return date;
}

// <Sts>BOOK</Sts> before 2019, <Sts><Cd>BOOK</Cd></Sts> since.
QString readStatus(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toUpper();
}

// <Nm> of a party, directly or inside <Pty> (2019 versions).
QString readPartyName(QXmlStreamReader& xml)
{
    QString name;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Nm")
            name = xml.readElementText().trimmed();
        else if (xml.name() == u"Pty")
            name = readPartyName(xml);
        else
            xml.skipCurrentElement();
    }
    return name;
}

// <RltdPties>: the name of the other side, who paid in or was paid.
void readParties(QXmlStreamReader& xml, Entry& e, bool credit)
{
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
                    e.remittance << xml.readElementText().trimmed();
                else
                    xml.skipCurrentElement();
            }
        } else if (xml.name() == u"RltdPties") {
            readParties(xml, e, e.indicator == u"CRDT");
        } else if (xml.name() == u"AddtlTxInf") {
            e.transactionInfo << xml.readElementText().trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
}

Entry readEntry(QXmlStreamReader& xml)
{
    Entry e;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == u"Amt")
            e.amount = xml.readElementText().trimmed();
        else if (name == u"CdtDbtInd")
            e.indicator = xml.readElementText().trimmed().toUpper();
        else if (name == u"Sts")
            e.status = readStatus(xml);
        else if (name == u"BookgDt")
            e.bookingDate = readDateElement(xml);
        else if (name == u"ValDt")
            e.valueDate = readDateElement(xml);
        else if (name == u"AcctSvcrRef")
            e.reference = xml.readElementText().trimmed();
        else if (name == u"AddtlNtryInf")
            e.additionalInfo = xml.readElementText().trimmed();
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

QString descriptionOf(const Entry& e)
{
    QStringList remittance = e.remittance;
    remittance.removeAll(QString());
    QString text = remittance.join(u' ');
    if (text.isEmpty())
        text = e.additionalInfo;
    if (text.isEmpty())
        text = e.transactionInfo.join(u' ');
    if (text.isEmpty())
        text = e.counterparty;
    return fittedDescription(collapsedBlanks(text));
}

Movement movementOf(const Entry& e, int number, DateChoice choice)
{
    Movement m;
    m.line = number;
    m.description = descriptionOf(e);
    m.reference = e.reference;
    const QString dateText = choice == DateChoice::Value && !e.valueDate.isEmpty() ? e.valueDate
                             : e.bookingDate.isEmpty()                             ? e.valueDate
                                                                                   : e.bookingDate;
    m.date = readDate(dateText);
    const AmountValue amount = readAmount(e.amount, u'.');
    if (amount.amount)
        m.amount = e.indicator == u"DBIT" ? -*amount.amount : *amount.amount;
    if (!m.date.isValid())
        m.refusal = dateText.isEmpty() ? QStringLiteral("data mancante")
                                       : QStringLiteral("data illeggibile: «%1»").arg(dateText);
    else if (!amount.amount)
        m.refusal = amount.refusal.isEmpty() ? QStringLiteral("importo mancante") : amount.refusal;
    else if (amount.amount->isNegative())
        m.refusal = QStringLiteral("importo negativo: «%1»").arg(e.amount);
    else if (e.indicator != u"CRDT" && e.indicator != u"DBIT")
        m.refusal = QStringLiteral("manca l'indicazione di entrata o uscita (CdtDbtInd)");
    else if (amount.amount->isZero())
        m.refusal = QStringLiteral("importo pari a zero");
    else if (m.description.isEmpty())
        m.refusal = QStringLiteral("descrizione mancante");
    return m;
}

} // namespace

bool looksLikeXml(const QByteArray& bytes)
{
    const QByteArray start = bytes.left(256).trimmed();
    return start.startsWith('<') || start.startsWith("\xEF\xBB\xBF<");
}

Statement readCamt053(const QByteArray& bytes, DateChoice choice)
{
    Statement s;
    s.kind = Statement::Kind::Camt053;
    QXmlStreamReader xml(bytes);
    bool isStatement = false;
    int number = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"BkToCstmrStmt")
            isStatement = true;
        if (xml.name() != u"Ntry" || !isStatement)
            continue;
        const Entry e = readEntry(xml);
        ++number;
        if (!e.valueDate.isEmpty())
            s.hasValueDate = true;
        if (e.status != u"BOOK") {
            ++s.leftOut;
            continue;
        }
        s.movements.push_back(movementOf(e, number, choice));
    }
    if (xml.hasError())
        throw StatementError(QStringLiteral("Il file XML è danneggiato (riga %1: %2).")
                                 .arg(xml.lineNumber())
                                 .arg(xml.errorString()));
    if (!isStatement)
        throw StatementError(QStringLiteral("Il file XML non è un estratto conto nel formato CAMT.053."));
    return s;
}

} // namespace movilibro::statement
