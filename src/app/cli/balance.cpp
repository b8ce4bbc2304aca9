#include "app/cli/balance.h"

#include "app/cli/journalaccess.h"
#include "app/cli/output.h"
#include "app/cli/request.h"
#include "app/commandline.h"
#include "app/seams.h"
#include "db/connection.h"
#include "reconcile/balance.h"

namespace movilibro::cli {

int runBalance(const Request& r, const QString& folder)
{
    checkJournal(folder);
    // Reading only: another program may have the journal open.
    db::Connection conn = db::Connection::open(journalPathIn(folder), db::Connection::Mode::ReadOnly);
    const Account account = accountNamed(conn, r.balanceAccount);
    const QDate at = r.at.value_or(Clock::today());
    Currency balance;
    try {
        balance = reconcile::balanceAt(conn, account.id, at);
    } catch (const CurrencyOverflow&) {
        throw Failure{
            QStringLiteral("Impossibile calcolare il saldo di %1: importi fuori scala.").arg(account.name)};
    }
    print(stdout, QStringLiteral("Saldo di %1 al %2: %3")
                      .arg(account.name, day(at), reconcile::italianAmount(balance)));
    return Success;
}

} // namespace movilibro::cli
