#include "app/commandline.h"

#include "app/journallock.h"

#include "app/mainmod.h"
#include "app/seams.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/errortext.h"
#include "db/journaldb.h"
#include "db/periods.h"
#include "legacy/journalconversion.h"
#include "report/arpschede.h"
#include "report/csvexport.h"
#include "report/pdfexport.h"
#include "report/reportcommands.h"
#include "report/reporterror.h"
#include "search/searchquery.h"
#include "statement/statement.h"
#include "ui/charts/chartexport.h"
#include "ui/charts/chartsource.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>
#include <memory>

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
     "virgola decimale)."},
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
     "Aggiunge al giornale i movimenti di un estratto conto della banca (CSV o CAMT.053 in XML) nel "
     "conto indicato con --account; le colonne del CSV sono riconosciute da sole, i movimenti già "
     "presenti nel giornale sono saltati. Prima viene salvata una copia del giornale nella cartella "
     "backup."},
    {"account", nullptr, "nome", "Il conto in cui vanno i movimenti di --import-statement."},
    {"restore", nullptr, "file",
     "Ripristina il giornale da una copia di sicurezza; il giornale attuale viene prima conservato come "
     "copia nella cartella backup."},
    {"db", nullptr, "cartella",
     "Cartella del giornale da usare al posto di quella impostata (l'impostazione non cambia)."},
    {"help", "h", nullptr, "Mostra questo aiuto."},
    {"version", "v", nullptr, "Mostra la versione del programma."},
};

// A command line that cannot be followed (exit status 2).
struct UsageError
{
    QString message;
};

// Work that could not be done (exit status 1).
struct Failure
{
    QString message;
};

struct Request
{
    QString importFile, pdfFile, csvFile, chartFile, restoreFile, dbFolder, statementFile, account;
    std::optional<charts::ChartKind> chart;
    std::optional<QDate> from, to;
    std::optional<int> layout;
    std::optional<QString> search;
    bool help = false;
    bool version = false;

    bool exports() const { return !pdfFile.isEmpty() || !csvFile.isEmpty() || !chartFile.isEmpty(); }
    bool anyTask() const
    {
        return !importFile.isEmpty() || !restoreFile.isEmpty() || !statementFile.isEmpty() || exports();
    }
    bool periodOptions() const { return from || to || layout || search; }
};

void print(FILE* stream, const QString& text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

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
            QStringLiteral("--import-mdb non si usa insieme a --export-pdf, --export-csv o --export-chart.")};
    if (!r.restoreFile.isEmpty() && (r.exports() || !r.importFile.isEmpty() || !r.statementFile.isEmpty()))
        throw UsageError{QStringLiteral("--restore non si usa insieme ad altre operazioni.")};
    if (!r.statementFile.isEmpty() && (r.exports() || !r.importFile.isEmpty()))
        throw UsageError{QStringLiteral("--import-statement non si usa insieme ad altre operazioni.")};
    if (!r.statementFile.isEmpty() && r.account.isEmpty())
        throw UsageError{QStringLiteral("Con --import-statement indicare il conto con --account.")};
    if (!r.account.isEmpty() && r.statementFile.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --account vale solo con --import-statement.")};
    if (r.periodOptions() && !r.exports())
        throw UsageError{QStringLiteral("Le opzioni --from, --to, --layout e --search valgono solo con "
                                        "--export-pdf, --export-csv o --export-chart.")};
    if (r.chart && r.chartFile.isEmpty())
        throw UsageError{QStringLiteral("L'opzione --chart vale solo con --export-chart.")};
    if (!r.chartFile.isEmpty() && charts::exportFormatOf(r.chartFile) == charts::ExportFormat::Unknown)
        throw UsageError{
            QStringLiteral("--export-chart: il nome del file deve finire con .png, .svg o .pdf.")};
    if (!r.dbFolder.isEmpty() && !r.anyTask())
        throw UsageError{QStringLiteral(
            "L'opzione --db vale solo con --import-mdb, --import-statement, --restore, --export-pdf, "
            "--export-csv o --export-chart.")};
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
    r.chartFile = fileOption(parser, "export-chart");
    if (parser.isSet(QStringLiteral("chart")))
        r.chart = chartOption(parser.value(QStringLiteral("chart")));
    r.restoreFile = fileOption(parser, "restore");
    r.statementFile = fileOption(parser, "import-statement");
    r.account = fileOption(parser, "account").trimmed();
    r.dbFolder = fileOption(parser, "db");
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

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString journalFolderFor(const Request& r, const std::function<QString()>& journalFolder)
{
    if (r.dbFolder.isEmpty())
        return journalFolder();
    const QFileInfo folder(r.dbFolder);
    if (!folder.isDir())
        throw Failure{QStringLiteral("La cartella %1 non esiste.").arg(shown(r.dbFolder))};
    return shown(folder.absoluteFilePath());
}

QString journalPathIn(const QString& folder)
{
    return folder + QDir::separator() + mainmod::DatabaseFileName;
}

// The import and the restore write the journal: never while a program has it
// open. Once it is ours, what killed copies and imports left is cleared.
std::unique_ptr<JournalLock> lockJournal(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        throw Failure{QStringLiteral("La cartella del giornale %1 non esiste (un disco rimovibile non "
                                     "collegato?).")
                          .arg(shown(folder))};
    auto lock = std::make_unique<JournalLock>(journalPathIn(folder));
    if (!lock->acquire())
        throw Failure{lock->refusal()};
    db::JournalBackup(journalPathIn(folder)).removeLeftovers();
    legacy::removeLeftovers(folder);
    return lock;
}

int runImport(const Request& r, const QString& folder)
{
    const auto lock = lockJournal(folder);
    const QString templatePath = mainmod::programFolder() + QDir::separator() + mainmod::TemplateFileName;
    // The copy is made only for an import that is going to happen.
    const auto keepCopy = [&] {
        const QString copy = db::JournalBackup(journalPathIn(folder)).makeBefore(db::CopyKind::BeforeImport);
        print(stdout, QStringLiteral("Copia del giornale prima dell'importazione: %1").arg(shown(copy)));
    };
    const legacy::ImportSummary summary =
        legacy::importIntoFolder(r.importFile, folder, templatePath, keepCopy);
    print(stdout,
          QStringLiteral("Importazione completata nel giornale %1.").arg(shown(journalPathIn(folder))));
    print(stdout, legacy::summaryText(summary, QLocale(QLocale::Italian, QLocale::Italy)));
    return Success;
}

void checkJournal(const QString& folder)
{
    const QString path = journalPathIn(folder);
    switch (db::journalFileKind(path)) {
    case db::JournalFileKind::Missing:
        throw Failure{QStringLiteral("Nessun giornale nella cartella %1.").arg(shown(folder))};
    case db::JournalFileKind::Jet:
        throw Failure{QStringLiteral("Il giornale %1 è nel formato della versione precedente: avviare il "
                                     "programma per convertirlo.")
                          .arg(shown(path))};
    default:
        break;
    }
    if (db::ConnectionFails(db::connStringFor(folder))) {
        if (db::JournalBusy(path))
            throw Failure{QStringLiteral("Il giornale %1 è in uso da un altro programma.").arg(shown(path))};
        throw Failure{QStringLiteral("Il giornale %1 è assente o danneggiato.").arg(shown(path))};
    }
}

// The period, grouping and journal of an export: what the main window would
// show at start, changed by the options.
report::ReportContext exportContext(const Request& r, const QString& folder)
{
    const QString cs = db::connStringFor(folder);
    try {
        const int startingMonth = normalizedStartingMonth(
            db::ReadParameter(cs, QStringLiteral("appset_esercizio_startingmonth"), 1));
        const int kind = normalizedKind(db::ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0));
        const int layout = normalizedLayout(db::ReadParameter(cs, QStringLiteral("appset_gexlayout"), 0));
        const DateRange fiscal = fiscalYear(Clock::today(), startingMonth);
        report::ReportContext context{r.from.value_or(fiscal.start), r.to.value_or(fiscal.end), kind,
                                      r.layout.value_or(layout), cs};
        context.filter.text = r.search.value_or(QString());
        return context;
    } catch (const db::DbError& e) {
        throw Failure{db::userMessage(e)};
    }
}

bool samePath(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

void checkTargets(const Request& r, const QString& folder)
{
    const QString journal = journalPathIn(folder);
    for (const QString& target : {r.pdfFile, r.csvFile, r.chartFile}) {
        if (!target.isEmpty() && samePath(target, journal))
            throw UsageError{QStringLiteral("Il file %1 è il giornale stesso: scegliere un altro nome.")
                                 .arg(shown(target))};
    }
    const QString targets[] = {r.pdfFile, r.csvFile, r.chartFile};
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (!targets[i].isEmpty() && !targets[j].isEmpty() && samePath(targets[i], targets[j]))
                throw UsageError{
                    QStringLiteral("Due esportazioni indicano lo stesso file %1.").arg(shown(targets[i]))};
        }
    }
}

QString day(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

// The rule of the main window, which offers no PDF for an empty period.
bool hasEntries(const report::ReportContext& context)
{
    grid::GroupedGrid gex;
    JournalGrid journal(gex);
    journal.setUp();
    journal.setFilter(context.filter);
    return journal.load(context.connString, context.kind, {context.start, context.end}) > 0;
}

// Read before any file is written: a chart that cannot be made leaves none.
std::optional<charts::ChartData> chartData(const Request& r, const report::ReportContext& context)
{
    if (r.chartFile.isEmpty())
        return std::nullopt;
    charts::ChartData data = charts::chartDataFor(context);
    if (data.empty)
        throw Failure{QStringLiteral("Nessuna registrazione nel periodo dal %1 al %2: il grafico non è stato "
                                     "scritto.")
                          .arg(day(context.start), day(context.end))};
    return data;
}

int runExports(const Request& r, const QString& folder)
{
    checkTargets(r, folder);
    checkJournal(folder);
    const report::ReportContext context = exportContext(r, folder);
    if (context.start > context.end)
        throw UsageError{
            QStringLiteral("Il periodo non è valido: il primo giorno (%1) viene dopo l'ultimo (%2).")
                .arg(day(context.start), day(context.end))};
    if (!r.pdfFile.isEmpty() && !hasEntries(context))
        throw Failure{
            QStringLiteral("Nessuna registrazione nel periodo dal %1 al %2: il file PDF non è stato "
                           "scritto.")
                .arg(day(context.start), day(context.end))};
    const std::optional<charts::ChartData> chart = chartData(r, context);
    if (!r.pdfFile.isEmpty()) {
        report::arpSchede report;
        report::setUpReport(report, context);
        report::exportPdf(report, r.pdfFile);
        print(stdout, QStringLiteral("Scritto il file PDF %1.").arg(shown(r.pdfFile)));
    }
    if (!r.csvFile.isEmpty()) {
        report::exportCsv(context, r.csvFile);
        print(stdout, QStringLiteral("Scritto il file CSV %1.").arg(shown(r.csvFile)));
    }
    if (chart) {
        charts::exportChart(r.chart.value_or(charts::ChartKind::Saldo), *chart, false,
                            charts::chartCaption({context.start, context.end}, context.filter), r.chartFile);
        print(stdout, QStringLiteral("Scritto il grafico %1.").arg(shown(r.chartFile)));
    }
    return Success;
}

int runRestore(const Request& r, const QString& folder)
{
    const auto lock = lockJournal(folder);
    const QString kept = db::JournalBackup(journalPathIn(folder)).restore(r.restoreFile);
    print(stdout, QStringLiteral("Giornale %1 ripristinato da %2.")
                      .arg(shown(journalPathIn(folder)), shown(r.restoreFile)));
    if (!kept.isEmpty())
        print(stdout, QStringLiteral("Il giornale precedente è conservato in %1.").arg(shown(kept)));
    return Success;
}

QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

// The statement with the layout the user confirmed for its header before,
// when there is one. A layout that cannot be completed stops here, before
// the journal is touched.
statement::Statement readBankStatement(const QString& file)
{
    statement::Statement s = statement::readStatement(file);
    if (s.kind == statement::Statement::Kind::Csv) {
        if (mainmod::SettingsKey.isEmpty())
            mainmod::SettingsKey = mainmod::DefaultSettingsKey;
        if (const auto kept = statement::rememberedLayout(mainmod::SettingsKey, s.layout))
            s = statement::readStatement(file, kept);
        if (!s.layout.isComplete())
            throw Failure{
                QStringLiteral("Nel file %1 non sono state riconosciute le colonne della data, della "
                               "descrizione e dell'importo: indicarle una volta con il comando "
                               "\"Importa\" del programma, che le ricorda.")
                    .arg(shown(file))};
    }
    return s;
}

struct Account
{
    qint64 id;
    QString name; // as the journal spells it
};

Account accountNamed(db::Connection& conn, const QString& name)
{
    // Account names compare as everywhere in the journal: case aside, Italian rules.
    db::Statement st =
        conn.prepare(QStringLiteral("SELECT cntId, cntNome FROM Conti WHERE cntNome = ? ORDER BY cntId"));
    st.bind(0, name);
    if (!st.step())
        throw Failure{QStringLiteral("Il conto \"%1\" non esiste nel giornale.").arg(name)};
    const Account found{st.int64(0), st.text(1)};
    if (st.step())
        throw Failure{QStringLiteral("Nel giornale ci sono più conti di nome \"%1\".").arg(name)};
    return found;
}

int runStatementImport(const Request& r, const QString& folder)
{
    statement::Statement s = [&] {
        try {
            return readBankStatement(r.statementFile);
        } catch (const statement::StatementError& e) {
            throw Failure{e.message()};
        }
    }();
    const auto lock = lockJournal(folder);
    checkJournal(folder);
    db::Connection conn = db::Connection::open(journalPathIn(folder));
    const Account account = accountNamed(conn, r.account);
    statement::markDuplicates(conn, account.id, s.movements);
    std::vector<statement::Movement> fresh;
    int duplicates = 0, refused = 0;
    for (const statement::Movement& m : s.movements) {
        if (m.isRefused()) {
            ++refused;
            print(stdout,
                  (s.kind == statement::Statement::Kind::Csv ? QStringLiteral("Riga %1 rifiutata: %2")
                                                             : QStringLiteral("Movimento %1 rifiutato: %2"))
                      .arg(m.line)
                      .arg(m.refusal));
        } else if (m.duplicate) {
            ++duplicates;
        } else {
            fresh.push_back(m);
        }
    }
    const statement::ImportResult result =
        statement::importMovements(conn, journalPathIn(folder), account.id, fresh, duplicates + refused);
    if (!result.backupPath.isEmpty())
        print(stdout,
              QStringLiteral("Copia del giornale prima dell'importazione: %1").arg(shown(result.backupPath)));
    print(stdout, QStringLiteral("Estratto conto %1, conto \"%2\": %3, %4 già presenti, %5.")
                      .arg(shown(r.statementFile), account.name,
                           counted(result.imported, "movimento importato", "movimenti importati"),
                           QString::number(duplicates), counted(refused, "rifiutato", "rifiutati")));
    return Success;
}

int fail(const QString& message)
{
    print(stderr, QStringLiteral("movilibro: ") + message);
    return Failed;
}

} // namespace

bool chooseHeadlessPlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

int refuseWindowWithoutDisplay()
{
    print(stderr, QStringLiteral("movilibro: nessuno schermo disponibile: la finestra del programma non può "
                                 "essere aperta.\nUsare movilibro --help per le operazioni senza finestre."));
    return Failed;
}

std::optional<int> runCommandLine(const QStringList& arguments, const std::function<QString()>& journalFolder)
{
    try {
        const Request r = readRequest(arguments);
        if (r.help) {
            print(stdout, helpText());
            return Success;
        }
        if (r.version) {
            print(stdout, QStringLiteral("Movilibro %1").arg(QCoreApplication::applicationVersion()));
            return Success;
        }
        if (!r.anyTask())
            return std::nullopt;
        const QString folder = journalFolderFor(r, journalFolder);
        if (!r.restoreFile.isEmpty())
            return runRestore(r, folder);
        if (!r.statementFile.isEmpty())
            return runStatementImport(r, folder);
        return r.importFile.isEmpty() ? runExports(r, folder) : runImport(r, folder);
    } catch (const UsageError& e) {
        print(stderr, QStringLiteral("movilibro: %1\nUsare movilibro --help per l'elenco delle opzioni.")
                          .arg(e.message));
        return BadUsage;
    } catch (const Failure& e) {
        return fail(e.message);
    } catch (const legacy::LegacyError& e) {
        return fail(e.message());
    } catch (const report::ReportError& e) {
        return fail(e.message());
    } catch (const db::DbError& e) {
        return fail(db::userMessage(e));
    } catch (const db::BackupError& e) {
        return fail(e.message());
    } catch (const statement::StatementError& e) {
        return fail(e.message());
    }
}

} // namespace movilibro::cli
