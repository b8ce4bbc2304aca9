#include "app/cli/statementimport.h"

#include "app/cli/journalaccess.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/commandline.h"
#include "app/mainmod.h"
#include "db/connection.h"
#include "statement/statement.h"

namespace movilibro::cli {

namespace {

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

} // namespace

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

} // namespace movilibro::cli
