#include "app/cli/statementimport.h"

#include "app/cli/journalaccess.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/commandline.h"
#include "app/mainmod.h"
#include "app/seams.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "reconcile/statementcheck.h"
#include "statement/notices.h"
#include "statement/sheettable.h"
#include "statement/statement.h"

namespace movilibro::cli {

namespace {

// A workbook read without --sheet: fine when one sheet alone holds movements
// (the others notes or totals), which is the one read.
void refuseSeveralSheets(const QString& file, const statement::Statement& s, statement::ReadOptions options)
{
    QStringList holding;
    for (const QString& name : s.sheets) {
        options.sheet = name;
        try {
            if (statement::holdsMovements(statement::readStatement(file, options)))
                holding << name;
        } catch (const statement::StatementError&) {
        }
    }
    if (holding.size() > 1)
        throw Failure{
            QStringLiteral("Il file %1 ha più fogli con movimenti (%2): indicare con --sheet quello "
                           "da importare.")
                .arg(shown(file), holding.join(QStringLiteral(", ")))};
}

// The statement with the layout the user confirmed for its header before,
// when there is one. What the file leaves open stops here, before the
// journal is touched: the command line never guesses, not even which sheet
// of a workbook holds the movements.
statement::Statement readBankStatement(const QString& file, const QString& sheet)
{
    statement::ReadOptions options;
    options.today = Clock::today();
    options.sheet = sheet;
    statement::Statement s = statement::readStatement(file, options);
    if (!sheet.isEmpty() && s.sheets.isEmpty())
        throw Failure{
            QStringLiteral(
                "Il file %1 non è un foglio di calcolo: l'opzione --sheet vale solo per i file Excel.")
                .arg(shown(file))};
    if (sheet.isEmpty() && s.sheets.size() > 1)
        refuseSeveralSheets(file, s, options);
    options.sheet = s.sheet;
    if (!s.isTable())
        return s;
    if (mainmod::SettingsKey.isEmpty())
        mainmod::SettingsKey = mainmod::DefaultSettingsKey;
    if ((options.layout = statement::rememberedLayout(mainmod::SettingsKey, s.layout)))
        s = statement::readStatement(file, options);
    if (!s.layout.isComplete())
        throw Failure{
            QStringLiteral("Il file %1 non è stato importato: %2. Indicare le colonne una volta con il "
                           "comando \"Importa\" del programma, che le ricorda.")
                .arg(shown(file), s.undecided.isEmpty()
                                      ? QStringLiteral("colonne della data, della descrizione o "
                                                       "dell'importo non riconosciute")
                                      : s.undecided)};
    return s;
}

// A file of several accounts gives the movements of the one --iban names.
void keepNamedAccount(statement::Statement& s, const QString& iban)
{
    QStringList ids;
    for (const statement::StatementAccount& a : s.accounts)
        ids << (a.id.isEmpty() ? QStringLiteral("(senza IBAN)") : a.id);
    if (s.accounts.size() > 1 && iban.isEmpty())
        throw Failure{
            QStringLiteral("Il file contiene i movimenti di più conti (%1): indicare con --iban quello "
                           "da importare.")
                .arg(ids.join(QStringLiteral(", ")))};
    if (iban.isEmpty())
        return;
    const auto index = ids.indexOf(iban);
    if (index < 0)
        throw Failure{QStringLiteral("Nel file non ci sono movimenti del conto %1, ma di: %2.")
                          .arg(iban, ids.join(QStringLiteral(", ")))};
    statement::keepAccount(s, int(index));
}

// What the program shows at its next start: the fiscal year of today.
DateRange periodShown(const QString& folder)
{
    int startingMonth = 1;
    try {
        startingMonth =
            db::ReadParameter(db::connStringFor(folder), QStringLiteral("appset_esercizio_startingmonth"), 1);
    } catch (const db::DbError&) {
    }
    return fiscalYear(Clock::today(), startingMonth);
}

struct Sorted
{
    std::vector<statement::Movement> fresh;
    int duplicates = 0, repeats = 0, refused = 0;
};

// Refused movements and possible repeats are listed, each with its reason.
Sorted sorted(const statement::Statement& s)
{
    Sorted out;
    const bool table = s.isTable();
    for (const statement::Movement& m : s.movements) {
        const QString where =
            (table ? QStringLiteral("Riga %1") : QStringLiteral("Movimento %1")).arg(m.line);
        if (m.isRefused()) {
            ++out.refused;
            print(stdout, where + (table ? QStringLiteral(" rifiutata: ") : QStringLiteral(" rifiutato: ")) +
                              m.refusal);
        } else if (m.duplicate) {
            ++out.duplicates;
        } else if (m.possibleRepeat) {
            ++out.repeats;
            print(stdout,
                  where + (table ? QStringLiteral(" non importata: ") : QStringLiteral(" non importato: ")) +
                      statement::possibleRepeatNote(m) + u'.');
        } else {
            out.fresh.push_back(m);
        }
    }
    return out;
}

// The statement's balances beside the journal's, now that its movements are in.
void printBalanceCheck(db::Connection& conn, const Account& account, const statement::StatementAccount& file)
{
    try {
        for (const reconcile::BalanceComparison& c : reconcile::compareWithStatement(conn, account.id, file))
            print(stdout, reconcile::comparisonLine(c, account.name));
    } catch (const CurrencyOverflow&) {
        print(stdout,
              QStringLiteral("Impossibile confrontare il saldo dell'estratto con quello del giornale: "
                             "importi fuori scala."));
    }
}

} // namespace

int runStatementImport(const Request& r, const QString& folder)
{
    statement::Statement s = [&] {
        try {
            return readBankStatement(r.statementFile, r.sheet);
        } catch (const statement::StatementError& e) {
            throw Failure{e.message()};
        }
    }();
    keepNamedAccount(s, r.iban);
    const auto lock = lockJournal(folder);
    checkJournal(folder);
    db::Connection conn = db::Connection::open(journalPathIn(folder));
    const Account account = accountNamed(conn, r.account);
    statement::markDuplicates(conn, account.id, s.movements);
    const Sorted found = sorted(s);
    const statement::ImportResult result =
        statement::importMovements(conn, journalPathIn(folder), account.id, found.fresh,
                                   found.duplicates + found.repeats + found.refused);
    if (!result.backupPath.isEmpty())
        print(stdout,
              QStringLiteral("Copia del giornale prima dell'importazione: %1").arg(shown(result.backupPath)));
    print(stdout,
          QStringLiteral("Estratto conto %1, conto \"%2\": %3, %4 già presenti, %5, %6, %7.")
              .arg(shown(r.statementFile), account.name,
                   counted(result.imported, "movimento importato", "movimenti importati"),
                   QString::number(found.duplicates),
                   counted(found.repeats, "possibile doppione tralasciato", "possibili doppioni tralasciati"),
                   counted(s.pending(), "non contabilizzato tralasciato", "non contabilizzati tralasciati"),
                   counted(found.refused, "rifiutato", "rifiutati")));
    if (const QString currency = statement::currencyNotice(s); !currency.isEmpty())
        print(stdout, currency.left(1).toUpper() + currency.mid(1) + u'.');
    if (const QString outside = statement::outsidePeriodNotice(result.dates, periodShown(folder));
        !outside.isEmpty())
        print(stdout, outside);
    printBalanceCheck(conn, account, s.accounts.front());
    return Success;
}

} // namespace movilibro::cli
