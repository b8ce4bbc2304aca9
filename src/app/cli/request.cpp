#include "app/cli/request.h"

#include "charts/chartkind.h"
#include "search/searchquery.h"

#include <QCommandLineParser>

namespace movilibro::cli {

namespace {

struct OptionSpec
{
    const char* name;
    const char* shortName;
    const char* valueName;
    const char* description;
};

constexpr OptionSpec Options[] = {
    {"import-mdb", nullptr, "file",
     "Copia nel giornale un archivio della versione precedente (movilibro.mdb nel formato di Access "
     "2000-2003). Il giornale deve essere vuoto; se manca, viene creato."},
    {"export-pdf", nullptr, "file",
     "Scrive il rapporto del giornale in un file PDF, come il pulsante \"PDF\"."},
    {"export-csv", nullptr, "file",
     "Scrive le registrazioni del periodo in un file CSV per i fogli di calcolo (separatore ';', "
     "virgola decimale, testi e importi tra virgolette)."},
    {"export-xlsx", nullptr, "file",
     "Scrive il periodo in una cartella di lavoro Excel (.xlsx), raggruppato come nella finestra: date, "
     "importi e testi in celle del loro tipo, il foglio Giornale e il foglio Conti con i totali per conto."},
    {"export-chart", nullptr, "file",
     "Scrive un grafico del periodo in un file PNG (1200x700 pixel), SVG o PDF, secondo l'estensione del "
     "nome."},
    {"chart", nullptr, "tipo",
     "Il grafico di --export-chart: saldo (saldo progressivo, predefinito), flussi (entrate e uscite per "
     "periodo) o conti (entrate e uscite per conto)."},
    {"from", nullptr, "gg/mm/aaaa",
     "Primo giorno del periodo (predefinito: inizio dell'esercizio in corso)."},
    {"to", nullptr, "gg/mm/aaaa", "Ultimo giorno del periodo (predefinito: fine dell'esercizio in corso)."},
    {"layout", nullptr, "n",
     "Raggruppamento: 0 nessuno, 1 per periodo, 2 per conto, 3 per periodo e conto, 4 per conto e "
     "periodo (predefinito: quello salvato nel giornale)."},
    {"search", nullptr, "testo",
     "Solo le registrazioni che corrispondono al testo, come nella casella di ricerca: parole nella "
     "descrizione o nel conto, importi (12,50), intervalli (>100, <100, 100..200), -parola per "
     "escludere."},
    {"import-statement", nullptr, "file",
     "Aggiunge al giornale i movimenti di un estratto conto della banca (CSV, Excel .xlsx o .xls, OFX, "
     "ISO 20022 camt.052, camt.053 o camt.054) nel conto indicato con --account; le colonne di un CSV o "
     "di un foglio Excel sono riconosciute da sole, i movimenti già "
     "presenti nel giornale sono saltati. Prima viene salvata una copia del giornale nella cartella "
     "backup."},
    {"account", nullptr, "nome", "Il conto in cui vanno i movimenti di --import-statement."},
    {"iban", nullptr, "IBAN",
     "Con --import-statement, per un file CAMT o OFX con i movimenti di più conti: quello da importare."},
    {"sheet", nullptr, "foglio",
     "Con --import-statement, per un file Excel con più fogli di dati: il nome di quello da importare."},
    {"balance", nullptr, "conto",
     "Scrive il saldo del conto alla data di --at (predefinita: oggi): tutte le sue registrazioni fino a "
     "quel "
     "giorno compreso, di qualunque periodo o esercizio."},
    {"at", nullptr, "gg/mm/aaaa", "Con --balance, il giorno del saldo."},
    {"restore", nullptr, "file",
     "Ripristina il giornale da una copia di sicurezza; il giornale attuale viene prima conservato come "
     "copia nella cartella backup."},
    {"db", nullptr, "cartella",
     "Cartella del giornale da usare al posto di quella impostata (l'impostazione non cambia)."},
    {"help", "h", nullptr, "Mostra questo aiuto."},
    {"version", "v", nullptr, "Mostra la versione del programma."},
};

QString wrapped(const QString& text, int indent, int width)
{
    QStringList lines;
    QString line;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width - indent) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    lines << line;
    return lines.join(u'\n' + QString(indent, u' '));
}

QString optionName(const QString& name)
{
    return QStringLiteral("--") + name;
}

// Why QCommandLineParser refused the arguments, in Italian.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return QStringLiteral("Opzione sconosciuta: ") +
               (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name + u'.';
    }
    for (const OptionSpec& o : Options) {
        if (o.valueName && arguments.constLast() == optionName(QLatin1String(o.name)))
            return QStringLiteral("Manca il valore dell'opzione %1.").arg(arguments.constLast());
    }
    return QStringLiteral("Riga di comando non valida.");
}

QDate dateOption(const QString& option, const QString& text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("d/M/yyyy"));
    if (!date.isValid())
        throw UsageError{
            QStringLiteral("Data non valida per %1: \"%2\" (usare gg/mm/aaaa, per esempio 31/12/2010).")
                .arg(option, text)};
    return date;
}

int layoutOption(const QString& text)
{
    bool ok = false;
    const int layout = text.trimmed().toInt(&ok);
    if (!ok || layout < 0 || layout > 4)
        throw UsageError{
            QStringLiteral("Raggruppamento non valido per --layout: \"%1\" (ammessi i numeri da 0 a 4).")
                .arg(text)};
    return layout;
}

QString searchOption(const QString& text)
{
    try {
        search::Query::parse({text});
    } catch (const search::SearchError& e) {
        throw UsageError{QStringLiteral("--search: ") + e.message()};
    }
    return text;
}

charts::ChartKind chartOption(const QString& text)
{
    charts::ChartKind kind;
    if (!charts::chartKindFromName(text.trimmed(), &kind))
        throw UsageError{
            QStringLiteral("Grafico non valido per --chart: \"%1\" (ammessi saldo, flussi, conti).")
                .arg(text)};
    return kind;
}

QString fileOption(const QCommandLineParser& parser, const char* name)
{
    const QString option = QLatin1String(name);
    if (!parser.isSet(option))
        return {};
    const QString value = parser.value(option);
    if (value.trimmed().isEmpty())
        throw UsageError{QStringLiteral("Manca il valore dell'opzione %1.").arg(optionName(option))};
    return value;
}

void checkCombination(const Request& r)
{
    if (!r.importFile.isEmpty() && r.exports())
        throw UsageError{
            QStringLiteral("--import-mdb non si usa insieme alle esportazioni (--export-pdf, --export-csv, "
                           "--export-xlsx, --export-chart).")};
    if (!r.restoreFile.isEmpty() && (r.exports() || !r.importFile.isEmpty() || !r.statementFile.isEmpty()))
        throw UsageError{QStringLiteral("--restore non si usa insieme ad altre operazioni.")};
    if (!r.balanceAccount.isEmpty() &&
        (r.exports() || !r.importFile.isEmpty() || !r.statementFile.isEmpty() || !r.restoreFile.isEmpty()))
        throw UsageError{QStringLiteral("--balance non si usa insieme ad altre operazioni.")};
    if (r.at && r.balanceAccount.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --at vale solo con --balance.")};
    if (!r.statementFile.isEmpty() && (r.exports() || !r.importFile.isEmpty()))
        throw UsageError{QStringLiteral("--import-statement non si usa insieme ad altre operazioni.")};
    if (!r.statementFile.isEmpty() && r.account.isEmpty())
        throw UsageError{QStringLiteral("Con --import-statement indicare il conto con --account.")};
    if (!r.account.isEmpty() && r.statementFile.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --account vale solo con --import-statement.")};
    if (!r.iban.isEmpty() && r.statementFile.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --iban vale solo con --import-statement.")};
    if (!r.sheet.isEmpty() && r.statementFile.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --sheet vale solo con --import-statement.")};
    if (r.periodOptions() && !r.exports())
        throw UsageError{QStringLiteral("Le opzioni --from, --to, --layout e --search valgono solo con "
                                        "--export-pdf, --export-csv, --export-xlsx o --export-chart.")};
    if (r.chart && r.chartFile.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --chart vale solo con --export-chart.")};
    if (!r.chartFile.isEmpty() && charts::exportFormatOf(r.chartFile) == charts::ExportFormat::Unknown)
        throw UsageError{
            QStringLiteral("--export-chart: il nome del file deve finire con .png, .svg o .pdf.")};
    if (!r.dbFolder.isEmpty() && !r.anyTask())
        throw UsageError{QStringLiteral(
            "L'opzione --db vale solo con --import-mdb, --import-statement, --restore, --balance, "
            "--export-pdf, --export-csv, --export-xlsx o --export-chart.")};
}

// The parser keeps the last of two values silently; a command line that names
// two files for one export, or two periods, is ambiguous.
void checkNoRepeats(const QCommandLineParser& parser)
{
    QStringList seen;
    for (const QString& given : parser.optionNames()) {
        for (const OptionSpec& o : Options) {
            const QString name = QLatin1String(o.name);
            if (given != name && !(o.shortName && given == QLatin1String(o.shortName)))
                continue;
            if (seen.contains(name))
                throw UsageError{QStringLiteral("L'opzione %1 è ripetuta.").arg(optionName(name))};
            seen << name;
        }
    }
}

} // namespace

Request readRequest(const QStringList& arguments)
{
    QCommandLineParser parser;
    for (const OptionSpec& o : Options) {
        QStringList names{QLatin1String(o.name)};
        if (o.shortName)
            names.prepend(QLatin1String(o.shortName));
        parser.addOption(QCommandLineOption(names, QString::fromUtf8(o.description),
                                            o.valueName ? QString::fromUtf8(o.valueName) : QString()));
    }
    if (!parser.parse(arguments))
        throw UsageError{parseError(parser, arguments)};
    if (!parser.positionalArguments().isEmpty())
        throw UsageError{
            QStringLiteral("Argomento non previsto: \"%1\".").arg(parser.positionalArguments().first())};
    checkNoRepeats(parser);
    Request r;
    r.help = parser.isSet(QStringLiteral("help"));
    r.version = parser.isSet(QStringLiteral("version"));
    r.importFile = fileOption(parser, "import-mdb");
    r.pdfFile = fileOption(parser, "export-pdf");
    r.csvFile = fileOption(parser, "export-csv");
    r.xlsxFile = fileOption(parser, "export-xlsx");
    r.chartFile = fileOption(parser, "export-chart");
    if (parser.isSet(QStringLiteral("chart")))
        r.chart = chartOption(parser.value(QStringLiteral("chart")));
    r.restoreFile = fileOption(parser, "restore");
    r.statementFile = fileOption(parser, "import-statement");
    r.account = fileOption(parser, "account").trimmed();
    r.iban = fileOption(parser, "iban").remove(u' ').toUpper();
    r.sheet = fileOption(parser, "sheet").trimmed();
    r.dbFolder = fileOption(parser, "db");
    r.balanceAccount = fileOption(parser, "balance").trimmed();
    if (parser.isSet(QStringLiteral("at")))
        r.at = dateOption(QStringLiteral("--at"), parser.value(QStringLiteral("at")));
    if (parser.isSet(QStringLiteral("from")))
        r.from = dateOption(QStringLiteral("--from"), parser.value(QStringLiteral("from")));
    if (parser.isSet(QStringLiteral("to")))
        r.to = dateOption(QStringLiteral("--to"), parser.value(QStringLiteral("to")));
    if (parser.isSet(QStringLiteral("layout")))
        r.layout = layoutOption(parser.value(QStringLiteral("layout")));
    if (parser.isSet(QStringLiteral("search")))
        r.search = searchOption(parser.value(QStringLiteral("search")));
    if (!r.help && !r.version)
        checkCombination(r);
    return r;
}

QString helpText()
{
    constexpr int Indent = 30;
    QString text =
        QStringLiteral("Uso: movilibro [opzioni]\n\n"
                       "Senza opzioni apre il giornale nella finestra del programma. Con le opzioni\n"
                       "seguenti lavora senza finestre e termina.\n\nOpzioni:\n");
    for (const OptionSpec& o : Options) {
        QString names = QStringLiteral("  ");
        if (o.shortName)
            names += QStringLiteral("-%1, ").arg(QLatin1String(o.shortName));
        names += QStringLiteral("--%1").arg(QLatin1String(o.name));
        if (o.valueName)
            names += QStringLiteral(" <%1>").arg(QString::fromUtf8(o.valueName));
        text += names.leftJustified(Indent - 1) + u' ' +
                wrapped(QString::fromUtf8(o.description), Indent, 79) + u'\n';
    }
    text += QStringLiteral("\nStato di uscita: 0 riuscito, 1 operazione non riuscita, 2 opzioni non valide.");
    return text;
}

} // namespace movilibro::cli
