// The program's writes killed at random moments: what was reported done
// survives whole, and the journal is always sound. The delays come from a
// logged seed; MOVILIBRO_KILL_SEED replays a run.
#include "db/journaldb.h"
#include "testsupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace movilibro;
using test::Journal;

namespace {

bool journalIsSound(const Journal& j)
{
    // Opening also rolls back what a kill left half done.
    return !db::ConnectionFails(j.connString()) && j.text(QStringLiteral("PRAGMA integrity_check")) == u"ok";
}

// Runs the child, kills it `delayMs` after it said it is ready; returns what
// it reported done.
QStringList runAndKill(const QStringList& args, int delayMs)
{
    QProcess child;
    child.start(QStringLiteral(FAULT_CHILD), args);
    if (!child.waitForStarted(10000) || !child.waitForReadyRead(10000) ||
        !child.readLine().startsWith("ready"))
        return {QStringLiteral("not ready")};
    QThread::msleep(delayMs);
    child.kill();
    child.waitForFinished(10000);
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestKills : public QObject
{
    Q_OBJECT
    QRandomGenerator m_random;

private slots:
    void initTestCase()
    {
        const quint32 seed = qEnvironmentVariableIsSet("MOVILIBRO_KILL_SEED")
                                 ? qgetenv("MOVILIBRO_KILL_SEED").toUInt()
                                 : QRandomGenerator::global()->generate();
        m_random.seed(seed);
        qInfo("kill delays from seed %u", seed);
    }

    // Every save the child reported done survives the kill, whole.
    void killsWhileSaving()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        j.addAccount(QStringLiteral("Cassa"));
        qint64 next = 1;
        QHash<qint64, qint64> reported; // n -> id
        for (int kill = 1; kill <= 60; ++kill) {
            for (const QString& line : runAndKill({QStringLiteral("save"), dir.path(), QString::number(next)},
                                                  m_random.bounded(10, 150))) {
                const QStringList parts = line.split(u' ');
                QCOMPARE(parts.value(0), QStringLiteral("saved"));
                reported.insert(parts[1].toLongLong(), parts[2].toLongLong());
            }
            QVERIFY2(journalIsSound(j), qPrintable(QStringLiteral("after kill %1").arg(kill)));
            // Numbers go on after the highest saved one, whether reported or not.
            next = j.count(QStringLiteral("SELECT coalesce(max(mlEntrate), 0) / 100 + 1 FROM Movilibro"));
        }
        for (auto it = reported.cbegin(); it != reported.cend(); ++it)
            QCOMPARE(j.text(QStringLiteral(
                                "SELECT mlDescrizione || ' ' || mlEntrate FROM Movilibro WHERE mlId = %1")
                                .arg(it.value())),
                     QStringLiteral("voce %1 %2").arg(it.key()).arg(it.key() * 100));
        QVERIFY(!reported.isEmpty());
    }

    // Each cash count writes its entry, its log line and its record, and the
    // day's totals follow, all or nothing; so does the reconciliation after it.
    void killsWhileCounting()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        j.addAccount(QStringLiteral("Cassa"));
        int reported = 0;
        for (int kill = 1; kill <= 30; ++kill) {
            const QStringList said =
                runAndKill({QStringLiteral("count"), dir.path()}, m_random.bounded(5, 150));
            QVERIFY(journalIsSound(j));
            reported += int(said.size());
            const QString state = j.text(QStringLiteral(
                "SELECT (SELECT count(*) FROM Movilibro) || ' ' || (SELECT count(*) FROM Cronologia) "
                "|| ' ' || (SELECT count(*) FROM Quadrature WHERE qdTipo = 1) || ' ' || (SELECT "
                "ifnull(sum(sgEntrate), 0) / 10000 FROM SaldiGiornalieri) || ' ' || ((SELECT "
                "count(*) FROM Riscontri) = (SELECT count(*) FROM Quadrature WHERE qdTipo = 0))"));
            const qint64 entries = j.count(QStringLiteral("SELECT count(*) FROM Movilibro"));
            // Each entry is one euro; each reconciliation ticked its own.
            QCOMPARE(state, QStringLiteral("%1 %1 %1 %1 1").arg(entries));
            QVERIFY(entries >= reported);
        }
        QVERIFY(reported > 0);
    }

    // A statement of 10,000 rows comes in whole or not at all, whenever it is killed.
    void killsWhileImporting()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        j.addAccount(QStringLiteral("Banca"));
        QByteArray rows = "Data;Descrizione;Importo\n";
        for (int i = 0; i < 10000; ++i)
            rows += QStringLiteral("%1;Pagamento %2;-%3,00\n")
                        .arg(QDate(2024, 1, 1).addDays(i % 366).toString(QStringLiteral("dd/MM/yyyy")))
                        .arg(i)
                        .arg(1 + i % 90)
                        .toUtf8();
        const QString file = dir.filePath(QStringLiteral("estratto.csv"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(rows) == rows.size());
        out.close();
        for (int kill = 1; kill <= 60; ++kill) {
            const QStringList said =
                runAndKill({QStringLiteral("import"), dir.path(), file}, m_random.bounded(10, 900));
            QVERIFY(journalIsSound(j));
            const qint64 count = j.count(QStringLiteral("SELECT count(*) FROM Movilibro"));
            QVERIFY2(count == 0 || count == 10000,
                     qPrintable(QStringLiteral("%1 rows after kill %2").arg(count).arg(kill)));
            if (!said.isEmpty())
                QCOMPARE(said.value(0), QStringLiteral("imported 10000"));
            if (count > 0)
                j.open().exec(QStringLiteral("DELETE FROM Movilibro"));
        }
    }

    // Deleting, undoing and restoring: an entry is in the journal or in the
    // bin, never both or neither, and each move has its log line.
    void killsWhileMovingToTheBin()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        for (int i = 1; i <= 20; ++i)
            j.addEntry(QDate(2010, 1, i), cassa, QStringLiteral("voce %1").arg(i), i, 0);
        const QString placed = QStringLiteral("SELECT (SELECT count(*) FROM Movilibro) || ' ' || (SELECT "
                                              "count(*) FROM Movilibro m JOIN Cestino "
                                              "c USING (mlId)) || ' ' || (SELECT count(*) FROM Cestino)");
        const QString logged = QStringLiteral("SELECT coalesce(sum(crTipo = 'eliminazione') - sum(crTipo IN "
                                              "('annullamento', 'ripristino')), 0) "
                                              "FROM Cronologia");
        qint64 reported = 0;
        for (int kill = 1; kill <= 40; ++kill) {
            reported += runAndKill({QStringLiteral("bin"), dir.path()}, m_random.bounded(10, 150)).size();
            QVERIFY(journalIsSound(j));
            const QString now = j.text(placed);
            QVERIFY2(now == u"20 0 0" || now == u"19 0 1",
                     qPrintable(QStringLiteral("moved halfway: ") + now));
            QCOMPARE(j.text(logged), now.section(u' ', 2));
            QVERIFY(j.count(QStringLiteral("SELECT count(*) FROM Cronologia")) >= reported);
        }
        QCOMPARE(j.text(QStringLiteral(
                     "SELECT group_concat(mlDescrizione || '=' || mlEntrate, ' ') FROM "
                     "(SELECT * FROM (SELECT mlId, mlDescrizione, mlEntrate FROM Movilibro UNION ALL "
                     "SELECT mlId, mlDescrizione, mlEntrate FROM Cestino) "
                     "WHERE mlId IN (1, 20) ORDER BY mlId)")),
                 QStringLiteral("voce 1=1 voce 20=20"));
        QVERIFY(reported > 0);
    }

    // A purge is all or nothing, whenever it is killed.
    void killsWhilePurging()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        j.addAccount(QStringLiteral("Cassa"));
        // 3,000 entries over 2010 and 2011; the state counts those up to the cut-off and after it.
        const QString refill =
            QStringLiteral("DELETE FROM Movilibro; WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                           "FROM n WHERE i < 2999) "
                           "INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate) "
                           "SELECT date('2010-01-01', '+' || (i % 730) || ' days'), 1, 'voce', i FROM n");
        const QString state = QStringLiteral(
            "SELECT sum(mlData <= '2010-12-31') || ' ' || sum(mlData > '2010-12-31') FROM Movilibro");
        j.open().exec(refill);
        const QString full = j.text(state);
        const QString purged = QStringLiteral("0 ") + full.section(u' ', 1);
        for (int kill = 1; kill <= 30; ++kill) {
            const QStringList out =
                runAndKill({QStringLiteral("purge"), dir.path()}, m_random.bounded(5, 120));
            QVERIFY(journalIsSound(j));
            const QString now = j.text(state);
            QVERIFY2(now == full || now == purged, qPrintable(QStringLiteral("half a purge: ") + now));
            if (!out.isEmpty())
                QCOMPARE(now, purged); // reported done: really done
            if (now == purged)
                j.open().exec(refill);
        }
    }
};

QTEST_GUILESS_MAIN(TestKills)
#include "test_kills.moc"
