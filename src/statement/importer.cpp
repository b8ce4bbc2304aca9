#include "statement/references.h"
#include "statement/statement.h"

#include "db/backup.h"
#include "db/connection.h"
#include "history/changelog.h"

#include <QFileInfo>

namespace movilibro::statement {

namespace {

void requireAccount(db::Connection& conn, qint64 accountId)
{
    db::Statement st = conn.prepare(QStringLiteral("SELECT 1 FROM Conti WHERE cntId = ?"));
    st.bind(0, accountId);
    if (!st.step())
        throw StatementError(QStringLiteral("Il conto scelto non esiste più nel giornale."));
}

} // namespace

ImportResult importMovements(db::Connection& conn, const QString& journalPath, qint64 accountId,
                             const std::vector<Movement>& ticked, int skippedCount)
{
    ImportResult result;
    result.skipped = skippedCount;
    std::vector<const Movement*> written;
    for (const Movement& m : ticked) {
        if (m.isRefused()) {
            ++result.skipped;
            continue;
        }
        written.push_back(&m);
    }
    if (written.empty())
        return result;
    // The write lock first: a journal busy elsewhere refuses before any copy is made.
    db::Transaction tx(conn);
    requireAccount(conn, accountId);
    db::PendingCopy copy(db::JournalBackup(journalPath), db::CopyKind::BeforeStatement);
    createReferenceTable(conn);
    db::Statement reference = conn.prepare(
        QStringLiteral("INSERT OR REPLACE INTO Riferimenti (mlId, rfRiferimento) VALUES (?, ?)"));
    // As the entry editor leaves a row: one amount set, the other 0.
    db::Statement insert =
        conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate, "
                                    "mlUscite) VALUES (?, ?, ?, ?, ?)"));
    for (const Movement* m : written) {
        result.dates.push_back(m->date);
        const qint64 raw = m->amount.raw();
        insert.bind(0, m->date.toString(Qt::ISODate))
            .bind(1, accountId)
            .bind(2, m->description)
            .bind(3, raw > 0 ? raw : qint64(0))
            .bind(4, raw < 0 ? -raw : qint64(0));
        insert.run();
        insert.reset();
        reference.bind(0, conn.lastInsertId()).bind(1, m->reference);
        reference.run();
        reference.reset();
    }
    history::appendOperation(
        conn, history::Kind::Import,
        QStringLiteral("Estratto conto: %1 movimenti importati, %2 tralasciati. Copia del giornale: %3")
            .arg(written.size())
            .arg(result.skipped)
            .arg(QFileInfo(copy.path()).fileName()),
        QDateTime::currentDateTime(), accountId);
    tx.commit();
    copy.keep();
    result.backupPath = copy.path();
    result.imported = int(written.size());
    return result;
}

} // namespace movilibro::statement
