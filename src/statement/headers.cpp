// The words of European banks' headers and marks.
#include "search/textfold.h"
#include "statement/table.h"

#include <QSet>

#include <algorithm>

namespace movilibro::statement {

namespace {

bool hasAny(const QStringList& w, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return w.contains(QLatin1String(n)); });
}

// "Segno", "D/A", "Dare/Avere", "Soll/Haben", "CR/DB", "+/-".
bool namesSign(const QString& header, const QStringList& w)
{
    const QString bare = QString(header).remove(u' ');
    if (bare == u"+/-" || bare == u"-/+" || bare == u"+-")
        return true;
    if (hasAny(w, {"segno", "sign", "vorzeichen", "signo", "sens", "cdtdbtind"}))
        return true;
    static const QList<QStringList> Pairs = {{"d", "a"},          {"dare", "avere"},  {"soll", "haben"},
                                             {"s", "h"},          {"cr", "db"},       {"c", "d"},
                                             {"credit", "debit"}, {"debit", "credit"}};
    QStringList sorted = w;
    sorted.sort();
    return std::any_of(Pairs.begin(), Pairs.end(), [&](QStringList p) {
        p.sort();
        return sorted == p;
    });
}

ColumnRole dateRole(const QStringList& w)
{
    if (hasAny(w, {"valuta", "wertstellung", "valeur", "valutadatum", "wertstellungsdatum"}) ||
        (hasAny(w, {"value"}) && hasAny(w, {"date"})) || (hasAny(w, {"fecha"}) && hasAny(w, {"valor"})))
        return ColumnRole::ValueDate;
    if (hasAny(w, {"data", "date", "datum", "fecha", "buchungstag", "buchungsdatum", "booking"}))
        return ColumnRole::Date;
    return ColumnRole::Ignored;
}

ColumnRole amountRole(const QStringList& w)
{
    if (hasAny(w, {"entrate", "entrata", "avere", "accrediti", "accredito", "credit", "crediti", "credito",
                   "versamenti", "haben", "abono", "abonos", "gutschrift", "einnahmen", "eingang"}) ||
        (hasAny(w, {"paid", "money"}) && hasAny(w, {"in"})))
        return ColumnRole::Credit;
    if (hasAny(w,
               {"uscite", "uscita", "dare", "addebiti", "addebito", "debit", "debiti", "debito", "prelievi",
                "soll", "cargo", "cargos", "belastung", "lastschrift", "ausgaben", "ausgang"}) ||
        (hasAny(w, {"paid", "money"}) && hasAny(w, {"out"})))
        return ColumnRole::Debit;
    if (hasAny(w, {"importo", "importi", "amount", "ammontare", "betrag", "umsatz", "montant", "importe"}))
        return ColumnRole::SignedAmount;
    return ColumnRole::Ignored;
}

ColumnRole textRole(const QStringList& w)
{
    // Purpose and counterparty alike: the description joins them.
    if (hasAny(w, {"descrizione",
                   "causale",
                   "description",
                   "dettagli",
                   "dettaglio",
                   "operazione",
                   "motivazione",
                   "beneficiario",
                   "ordinante",
                   "controparte",
                   "verwendungszweck",
                   "buchungstext",
                   "auftraggeber",
                   "empfanger",
                   "beguenstigter",
                   "begunstigter",
                   "zahlungsempfanger",
                   "beschreibung",
                   "libelle",
                   "concepto",
                   "details",
                   "payee",
                   "payer",
                   "memo",
                   "narrative",
                   "counterparty",
                   "beneficiaire"}))
        return ColumnRole::Description;
    if (hasAny(w, {"riferimento", "reference", "rif", "cro", "trn", "referenz", "referencia"}))
        return ColumnRole::Reference;
    return ColumnRole::Ignored;
}

} // namespace

QStringList wordsOf(const QString& text)
{
    QString folded = search::foldText(text);
    for (QChar& c : folded) {
        if (!c.isLetterOrNumber())
            c = u' ';
    }
    return folded.split(u' ', Qt::SkipEmptyParts);
}

ColumnRole roleOfHeader(const QString& header)
{
    const QStringList w = wordsOf(header);
    if (namesSign(header, w))
        return ColumnRole::Sign;
    if (w.isEmpty())
        return ColumnRole::Ignored;
    if (hasAny(w, {"saldo", "balance", "solde", "kontostand", "kontosaldo"}))
        return ColumnRole::Balance;
    // "Valuta" alone may be the value date or the currency: the cells tell.
    if (hasAny(w, {"divisa", "currency", "wahrung", "devise", "moneda", "ccy"}))
        return ColumnRole::Currency;
    for (const auto& role : {dateRole(w), amountRole(w), textRole(w)}) {
        if (role != ColumnRole::Ignored)
            return role;
    }
    return ColumnRole::Ignored;
}

QList<ColumnRole> rolesOfHeader(const QStringList& headers)
{
    QList<ColumnRole> roles;
    for (const QString& h : headers) {
        const ColumnRole role = roleOfHeader(h);
        roles << (roles.contains(role) && role != ColumnRole::Description ? ColumnRole::Ignored : role);
    }
    if (roles.contains(ColumnRole::Credit) && roles.contains(ColumnRole::Debit))
        std::replace(roles.begin(), roles.end(), ColumnRole::SignedAmount, ColumnRole::Ignored);
    return roles;
}

int signOf(const QString& cell)
{
    static const QSet<QString> In{"+",      "a",       "avere", "c",     "cr",        "crdt",
                                  "credit", "credito", "h",     "haben", "accredito", "entrata"};
    static const QSet<QString> Out{"-",      "d", "dare", "db",       "dbit",  "debit",
                                   "debito", "s", "soll", "addebito", "uscita"};
    const QString t = search::foldText(cell.trimmed());
    return In.contains(t) ? 1 : Out.contains(t) ? -1 : 0;
}

bool isPendingMark(const QString& cell)
{
    static const QSet<QString> Marks{
        "in attesa",    "non contabilizzato", "non contabilizzata", "da contabilizzare", "pending",
        "not approved", "rifiutato",          "rifiutata",          "umsatz vorgemerkt", "vorgemerkt"};
    // Every row's every cell comes here: the marks are short and plain.
    if (cell.size() > 24 || cell.isEmpty())
        return false;
    return Marks.contains(cell.simplified().toLower());
}

QString currencyCode(const QString& text)
{
    static const QSet<QString> Codes{"EUR", "USD", "GBP", "CHF", "JPY", "CNY", "SEK", "NOK",
                                     "DKK", "PLN", "CZK", "HUF", "RON", "BGN", "HRK", "ISK",
                                     "TRY", "RUB", "CAD", "AUD", "NZD", "HKD", "SGD", "ZAR",
                                     "BRL", "MXN", "INR", "KRW", "AED", "SAR", "ILS"};
    const QString t = text.trimmed().toUpper();
    if (t == u"€")
        return QStringLiteral("EUR");
    return Codes.contains(t) ? t : QString();
}

} // namespace movilibro::statement
