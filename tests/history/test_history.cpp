// The bin, the change log and undo on a real journal file: what each write
// leaves in Movilibro, in the bin and in the log, and when an undo is refused.
#include "testsupport.h"

#include "db/pendingrow.h"
#include "history/changelog.h"
#include "history/moves.h"
#include "history/undochain.h"
#include "history/writes.h"

#include <QtTest>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QDateTime When(QDate(2024, 3, 15), QTime(10, 30));

// A script of writes on the example journal, one word each:
//   del<id>  delete an entry          edit<id>  change its description
//   new      a new entry (id 4)       acc<id>   move an unused account to the bin
//   res<id>  restore an entry         undo, redo
//   other<id> restore it outside the chain
//   sql      an UPDATE of entry 2 by another program
//   import   an import's line in the log
// Expected: entries in Movilibro, entries in the bin, accounts, log kinds,
// and the refusals met (how many).
struct Script
{
    const char* name;
    const char* steps;
    const char* entries;
    const char* bin;
    const char* accounts;
    const char* log;
    int refusals;
};

const Script Scripts[] = {
    {"delete", "del2", "1 3", "2", "1 2 3", "eliminazione", 0},
    {"delete, undo: same id back", "del2 undo", "1 2 3", "", "1 2 3", "eliminazione annullamento", 0},
    {"delete, undo, redo", "del2 undo redo", "1 3", "2", "1 2 3", "eliminazione annullamento ripetizione", 0},
    {"two deletes undone one step at a time", "del2 del3 undo", "1 3", "2", "1 2 3",
     "eliminazione eliminazione annullamento", 0},
    {"nothing left to undo", "del2 undo undo", "1 2 3", "", "1 2 3", "eliminazione annullamento", 0},
    {"a new write drops the redo", "del2 undo del3 redo", "1 2", "3", "1 2 3",
     "eliminazione annullamento eliminazione", 0},
    {"new entry undone goes to the bin", "new undo", "1 2 3", "4", "1 2 3", "nuovo annullamento", 0},
    {"new entry undone and redone", "new undo redo", "1 2 3 4", "", "1 2 3", "nuovo annullamento ripetizione",
     0},
    {"change undone", "edit2 undo", "1 2 3", "", "1 2 3", "modifica annullamento", 0},
    {"restore from the bin, same id", "del3 res3", "1 2 3", "", "1 2 3", "eliminazione ripristino", 0},
    {"unused account to the bin and back", "acc3 undo", "1 2 3", "", "1 2 3", "eliminazione annullamento", 0},
    {"entry restored brings its account back", "del3 acc2 res3", "1 2 3", "", "1 2 3",
     "eliminazione eliminazione ripristino ripristino", 0},
    // Refused, nothing written.
    {"change undone after another program changed it", "edit2 sql undo", "1 2 3", "", "1 2 3", "modifica", 1},
    {"undo past an import", "del2 import undo", "1 3", "2", "1 2 3", "eliminazione importazione", 1},
    {"a restore undone: back to the bin", "del2 res2 undo", "1 3", "2", "1 2 3",
     "eliminazione ripristino annullamento", 0},
    {"a deletion undone after another window restored it", "del2 other2 undo", "1 2 3", "", "1 2 3",
     "eliminazione ripristino", 1},
};

QString ids(const Journal& j, const QString& table, const QString& key)
{
    return j.text(
        QStringLiteral("SELECT group_concat(%1, ' ') FROM (SELECT %1 FROM %2 ORDER BY %1)").arg(key, table));
}

void saveEntry(db::Connection& conn, history::UndoChain& chain, qint64 id)
{
    db::PendingRow row =
        id ? db::PendingRow::openExisting(conn, QStringLiteral("Movilibro"),
                                          QStringLiteral("SELECT * FROM Movilibro WHERE mlId=%1").arg(id))
           : db::PendingRow::addNew(conn, QStringLiteral("Movilibro"));
    if (!id) {
        row.setValue(QStringLiteral("mlData"), QStringLiteral("2010-03-07"));
        row.setValue(QStringLiteral("mlConto"), qint64(1));
        row.setValue(QStringLiteral("mlEntrate"), qint64(money(7)));
    }
    row.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("cambiata"));
    chain.recorded(history::saveRow(conn, row, When));
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void scripts_data() { addRows(Scripts); }
    void scripts()
    {
        const Script& s = currentCase(Scripts);
        QTemporaryDir dir;
        Journal j(dir.path());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa")); // 1
        const qint64 banca = j.addAccount(QStringLiteral("Banca")); // 2
        j.addAccount(QStringLiteral("Vuoto"));                      // 3
        j.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("voce"), money(100), 0);
        j.addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("voce"), 0, money(30));
        j.addEntry(QDate(2010, 3, 5), banca, QStringLiteral("voce"), money(10), 0);
        db::Connection conn = j.open();
        history::UndoChain chain;
        int refusals = 0;
        for (const QString& step : QString::fromLatin1(s.steps).split(u' ')) {
            const qint64 id = step.right(1).toLongLong();
            QString refusal;
            if (step.startsWith(u"del"))
                chain.recorded(history::deleteEntry(conn, id, When));
            else if (step.startsWith(u"edit") || step == u"new")
                saveEntry(conn, chain, id);
            else if (step.startsWith(u"other")) // not this chain's
                history::restore(conn, {{history::Item::Entry, id}}, When);
            else if (step.startsWith(u"res"))
                chain.recorded(history::restore(conn, {{history::Item::Entry, id}}, When));
            else if (step.startsWith(u"acc")) {
                db::Transaction tx(conn);
                std::vector<qint64> lines;
                history::moveItem(conn, {history::Item::Account, id}, history::Place::Bin,
                                  history::Kind::Delete, When, lines);
                tx.commit();
                chain.recorded(lines);
            } else if (step == u"sql")
                conn.exec(QStringLiteral("UPDATE Movilibro SET mlDescrizione = 'altro' WHERE mlId = 2"));
            else if (step == u"import")
                history::appendOperation(conn, history::Kind::Import, QStringLiteral("1 movimento"), When);
            else if (step == u"undo" && chain.canUndo())
                refusals += !chain.undo(conn, When, refusal);
            else if (step == u"redo" && chain.canRedo())
                refusals += !chain.redo(conn, When, refusal);
            if (!refusal.isEmpty())
                QVERIFY2(!refusal.contains(u"error", Qt::CaseInsensitive), qPrintable(refusal));
        }
        QCOMPARE(refusals, s.refusals);
        QCOMPARE(ids(j, QStringLiteral("Movilibro"), QStringLiteral("mlId")), QString::fromLatin1(s.entries));
        QCOMPARE(ids(j, QStringLiteral("Cestino"), QStringLiteral("mlId")), QString::fromLatin1(s.bin));
        QCOMPARE(ids(j, QStringLiteral("Conti"), QStringLiteral("cntId")), QString::fromLatin1(s.accounts));
        QCOMPARE(j.text(QStringLiteral("SELECT group_concat(crTipo, ' ') FROM "
                                       "(SELECT crTipo FROM Cronologia ORDER BY crId)")),
                 QString::fromLatin1(s.log));
    }

    // What the bin keeps of an entry, and that it comes back as it was.
    void deletedEntryKeepsItsValues()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        const qint64 id = j.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("affitto"), 0, money(450, 50));
        db::Connection conn = j.open();
        QCOMPARE(history::deleteEntry(conn, id, When).size(), size_t(1));
        QCOMPARE(
            j.text(QStringLiteral("SELECT mlData||'|'||mlConto||'|'||cntNome||'|'||mlDescrizione||'|'||"
                                  "ifnull(mlEntrate,'-')||'|'||mlUscite||'|'||ceEliminato FROM Cestino")),
            QStringLiteral("2010-03-01|1|Cassa|affitto|0|4505000|2024-03-15 10:30:00"));
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 0);
        history::restore(conn, {{history::Item::Entry, id}}, When);
        QCOMPARE(j.text(QStringLiteral("SELECT mlId||'|'||mlData||'|'||mlConto||'|'||mlDescrizione||'|'||"
                                       "ifnull(mlEntrate,'-')||'|'||mlUscite FROM Movilibro")),
                 QStringLiteral("1|2010-03-01|1|affitto|0|4505000"));
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Cestino")), 0);
    }

    // An undo the file refuses changes nothing and can be tried again.
    void undoWhileAnotherProgramHoldsTheJournal_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::newRow("writing") << false;
        QTest::newRow("reading") << true;
    }
    void undoWhileAnotherProgramHoldsTheJournal()
    {
        QFETCH(bool, reading);
        QTemporaryDir dir;
        Journal j(dir.path());
        j.addEntry(QDate(2010, 3, 1), j.addAccount(QStringLiteral("Cassa")), QStringLiteral("voce"), 1, 0);
        db::Connection conn = j.open();
        history::UndoChain chain;
        chain.recorded(history::deleteEntry(conn, 1, When));
        const QByteArray before = fileBytes(j.path());
        {
            HeldLock lock(j, reading);
            QString refusal;
            QVERIFY_THROWS_EXCEPTION(db::DbError, chain.undo(conn, When, refusal));
            QVERIFY(chain.canUndo());
        }
        QCOMPARE(fileBytes(j.path()), before);
        QString refusal;
        QVERIFY(chain.undo(conn, When, refusal));
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 1);
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
