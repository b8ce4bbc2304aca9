#include "statement/ofxreader.h"

#include "statement/statement.h"

#include <libofx/libofx.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cmath>
#include <iostream>
#include <sstream>

namespace movilibro::statement {

namespace {

[[noreturn]] void refuse(const QString& why)
{
    throw StatementError(QStringLiteral("Il file OFX non è leggibile: %1.").arg(why));
}

QString shown(const QString& value)
{
    QString text = value.trimmed();
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return QStringLiteral("«%1»").arg(text.left(40));
}

// "-1234.56", "1234,5", and "1.234,56" or "1,234.56" (grouped, which OFX does
// not allow but some banks write) as "-1234.56"; nullopt when it is none.
std::optional<QString> plainAmount(const QString& value)
{
    static const QRegularExpression plain(QStringLiteral(R"(^([+-]?)(\d*)(?:[.,](\d*))?$)"));
    static const QRegularExpression grouped(
        QStringLiteral(R"(^([+-]?)(\d{1,3}(?:([.,])\d{3})+)(?!\3)([.,])(\d*)$)"));
    const QString v = value.trimmed();
    QString sign, whole, fraction;
    if (const auto m = plain.match(v); m.hasMatch()) {
        sign = m.captured(1);
        whole = m.captured(2);
        fraction = m.captured(3);
    } else if (const auto g = grouped.match(v); g.hasMatch()) {
        sign = g.captured(1);
        whole = g.captured(2).remove(g.captured(3));
        fraction = g.captured(5);
    } else {
        return std::nullopt;
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    while (fraction.size() > 4 && fraction.endsWith(u'0'))
        fraction.chop(1);
    // Eleven digits and four decimals stay exact in the double LibOFX hands
    // over; beyond, no movement fits the journal anyway.
    const QString digits = QString(whole).remove(QRegularExpression(QStringLiteral("^0+")));
    if (fraction.size() > 4 || digits.size() > 11)
        return std::nullopt;
    return (sign == u"-" ? sign : QString()) + (whole.isEmpty() ? QStringLiteral("0") : whole) +
           (fraction.isEmpty() ? QString() : u'.' + fraction);
}

// "20240301", "20240301120000.000[+1:CET]" as "20240301"; nullopt for no day.
std::optional<QString> plainDay(const QString& value)
{
    const QString v = value.trimmed();
    const QDate day = QDate::fromString(v.left(8), QStringLiteral("yyyyMMdd"));
    if (!day.isValid() || day.year() < 1900 || (v.size() > 8 && !v[8].isDigit() && v[8] != u'['))
        return std::nullopt;
    return v.left(8);
}

// LibOFX reads amounts and days loosely: "1.234,56" as 1.234, 31 February as
// 2 March, a time of day as this computer's day, which may be the next. Each
// amount and day is checked here and written plainly before it reads them.
QByteArray plainValues(const QByteArray& bytes)
{
    static const QRegularExpression field(QStringLiteral(R"(<(TRNAMT|BALAMT|DT[A-Z]+)>([^<\r\n]*))"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromLatin1(bytes); // every byte kept as it is
    QString out;
    out.reserve(text.size());
    qsizetype done = 0, line = 1, counted = 0;
    for (auto it = field.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        line += QStringView(text).mid(counted, m.capturedStart() - counted).count(u'\n');
        counted = m.capturedStart();
        const QString tag = m.captured(1).toUpper();
        const bool amount = !tag.startsWith(u"DT");
        const std::optional<QString> plain = amount ? plainAmount(m.captured(2)) : plainDay(m.captured(2));
        if (!plain && (amount || tag == u"DTPOSTED"))
            refuse(QStringLiteral("%1 alla riga %2: %3")
                       .arg(amount ? QStringLiteral("importo non valido") : QStringLiteral("data non valida"))
                       .arg(line)
                       .arg(shown(m.captured(2))));
        out += QStringView(text).mid(done, m.capturedStart(2) - done);
        out += plain.value_or(m.captured(2));
        done = m.capturedEnd(2);
    }
    out += QStringView(text).mid(done);
    return out.toLatin1();
}

// LibOFX writes its messages to std::cerr: kept here, for the reason of a refusal.
class CapturedErrors
{
public:
    CapturedErrors() : m_old(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(m_old); }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;
    QString text() const { return QString::fromLocal8Bit(m_text.str()); }

private:
    std::ostringstream m_text;
    std::streambuf* m_old;
};

QDate dayOf(time_t when)
{
    // With the day alone LibOFX takes 10:59 UTC of it.
    return QDateTime::fromSecsSinceEpoch(qint64(when), Qt::UTC).date();
}

std::optional<Currency> currencyOf(double amount)
{
    if (!std::isfinite(amount) || std::abs(amount) >= 1e12)
        return std::nullopt;
    return Currency::fromRaw(std::llround(amount * Currency::Scale));
}

QString textOf(const char* field, int valid)
{
    return valid ? QString::fromUtf8(field).trimmed() : QString();
}

QString transactionKind(const OfxTransactionData& data)
{
    if (!data.transactiontype_valid)
        return {};
    switch (data.transactiontype) {
    case OFX_CREDIT:
        return QStringLiteral("Accredito");
    case OFX_DEBIT:
        return QStringLiteral("Addebito");
    case OFX_INT:
        return QStringLiteral("Interessi");
    case OFX_DIV:
        return QStringLiteral("Dividendo");
    case OFX_FEE:
        return QStringLiteral("Commissioni");
    case OFX_SRVCHG:
        return QStringLiteral("Spese");
    case OFX_DEP:
        return QStringLiteral("Versamento");
    case OFX_ATM:
        return QStringLiteral("Operazione bancomat");
    case OFX_POS:
        return QStringLiteral("Pagamento POS");
    case OFX_XFER:
        return QStringLiteral("Bonifico");
    case OFX_CHECK:
        return QStringLiteral("Assegno");
    case OFX_PAYMENT:
        return QStringLiteral("Pagamento");
    case OFX_CASH:
        return QStringLiteral("Prelievo contanti");
    case OFX_DIRECTDEP:
        return QStringLiteral("Accredito diretto");
    case OFX_DIRECTDEBIT:
        return QStringLiteral("Addebito diretto");
    case OFX_REPEATPMT:
        return QStringLiteral("Pagamento periodico");
    default:
        return {};
    }
}

struct Reading
{
    std::vector<OfxAccount> accounts;
    int statements = 0;

    OfxAccount& account(const char* id, int valid)
    {
        const QString key = textOf(id, valid);
        for (OfxAccount& a : accounts) {
            if (a.id == key)
                return a;
        }
        accounts.push_back(OfxAccount{key, {}, {}, {}, {}});
        return accounts.back();
    }
};

int onTransaction(const OfxTransactionData data, void* reading)
{
    OfxAccount& account = static_cast<Reading*>(reading)->account(data.account_id, data.account_id_valid);
    OfxTransaction t;
    t.date = data.date_posted_valid ? dayOf(data.date_posted) : QDate();
    t.amount = data.amount_valid ? currencyOf(data.amount) : std::nullopt;
    t.reference = textOf(data.fi_id, data.fi_id_valid);
    t.name = textOf(data.name, data.name_valid);
    t.memo = textOf(data.memo, data.memo_valid);
    t.currency = textOf(data.currency, data.currency_valid);
    t.kind = transactionKind(data);
    account.transactions.push_back(std::move(t));
    return 0;
}

int onStatement(const OfxStatementData data, void* reading)
{
    auto* r = static_cast<Reading*>(reading);
    ++r->statements;
    OfxAccount& account = r->account(data.account_id, data.account_id_valid);
    account.currency = textOf(data.currency, data.currency_valid);
    if (data.ledger_balance_valid) {
        account.ledgerBalance = currencyOf(data.ledger_balance);
        account.ledgerDate = data.ledger_balance_date_valid ? dayOf(data.ledger_balance_date) : QDate();
    }
    return 0;
}

void parse(const QString& path, Reading& reading, CapturedErrors& errors)
{
    LibofxContextPtr context = libofx_get_new_context();
    ofx_set_transaction_cb(context, onTransaction, &reading);
    ofx_set_statement_cb(context, onStatement, &reading);
    libofx_proc_file(context, QFile::encodeName(path).constData(), OFX);
    libofx_free_context(context);
    const QString messages = errors.text();
    if (messages.contains(u"Missing DTD"))
        refuse(QStringLiteral("mancano le definizioni del formato OFX (pacchetto libofx7)"));
    if (messages.contains(u"document ended") || messages.contains(u"no document element"))
        refuse(QStringLiteral("il file è incompleto o danneggiato"));
}

} // namespace

std::vector<OfxAccount> readOfx(const QByteArray& bytes)
{
    if (!bytes.contains("</OFX>") && !bytes.contains("</ofx>"))
        refuse(QStringLiteral("il file è incompleto (manca la chiusura </OFX>)"));
    const QByteArray plain = plainValues(bytes);
    QTemporaryFile copy;
    if (!copy.open() || copy.write(plain) != plain.size() || !copy.flush())
        refuse(QStringLiteral("non è stato possibile copiarlo in una cartella temporanea (%1)")
                   .arg(copy.errorString()));
    Reading reading;
    {
        CapturedErrors errors;
        parse(copy.fileName(), reading, errors);
    }
    if (reading.statements == 0 && reading.accounts.empty())
        refuse(QStringLiteral("non contiene un estratto conto"));
    // A movement LibOFX could not place is left out without a word.
    const qsizetype written = plain.toUpper().count("<STMTTRN>");
    qsizetype read = 0;
    for (const OfxAccount& a : reading.accounts)
        read += qsizetype(a.transactions.size());
    if (read != written)
        refuse(QStringLiteral("solo %1 dei suoi %2 movimenti si leggono: il file è danneggiato")
                   .arg(read)
                   .arg(written));
    return std::move(reading.accounts);
}

} // namespace movilibro::statement
