#include "db/connection.h"
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
    if (db::ConnectionFails(j.connString())) // also rolls back what a kill left half done
        return false;
    db::Connection conn = j.open();
    db::Statement st = conn.prepare(QStringLiteral("PRAGMA integrity_check"));
    return st.step() && st.text(0) == u"ok";
}

// Runs the child and kills it after `delayMs`; returns what it reported.
QStringList runAndKill(const QStringList& args, int delayMs)
{
    QProcess child;
    child.start(QStringLiteral(FAULT_CHILD), args);
    if (!child.waitForStarted(5000))
        return {QStringLiteral("not started")};
    QThread::msleep(delayMs);
    child.kill();
    child.waitForFinished(5000);
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestKills : public QObject
{
    Q_OBJECT
private slots:
    // Every save the child reported done survives the kill, whole.
    void killsWhileSaving()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        j.addAccount(QStringLiteral("Cassa"));
        QElapsedTimer clock;
        clock.start();
        qint64 next = 1;
        int kills = 0;
        qint64 confirmed = 0;
        QHash<qint64, qint64> reported; // n -> id
        while (kills < 200 && clock.elapsed() < 40000) {
            const int delay = QRandomGenerator::global()->bounded(10, 150);
            for (const QString& line :
                 runAndKill({QStringLiteral("save"), dir.path(), QString::number(next)}, delay)) {
                const QStringList parts = line.split(u' ');
                QCOMPARE(parts.value(0), QStringLiteral("saved"));
                reported.insert(parts[1].toLongLong(), parts[2].toLongLong());
            }
            ++kills;
            QVERIFY2(journalIsSound(j), qPrintable(QStringLiteral("after kill %1").arg(kills)));
            // Numbers go on after the highest saved one, whether reported or not.
            next = j.count(QStringLiteral("SELECT coalesce(max(mlEntrate), 0) / 100 + 1 FROM Movilibro"));
        }
        db::Connection conn = j.open();
        for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
            db::Statement st =
                conn.prepare(QStringLiteral("SELECT mlDescrizione, mlEntrate FROM Movilibro WHERE mlId=?"));
            st.bind(0, it.value());
            QVERIFY2(st.step(), qPrintable(QStringLiteral("saved entry %1 lost").arg(it.key())));
            QCOMPARE(st.text(0), QStringLiteral("voce %1").arg(it.key()));
            QCOMPARE(st.int64(1), it.key() * 100);
            ++confirmed;
        }
        qInfo("kills survived while saving: %d, reported saves checked: %lld", kills, confirmed);
        QVERIFY(kills >= 50);
        QVERIFY(confirmed > 0);
    }

    // A purge is all or nothing, whenever it is killed.
    void killsWhilePurging()
    {
        QTemporaryDir dir;
        Journal j(dir.path());
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        auto refill = [&] {
            db::Connection conn = j.open();
            db::Transaction tx(conn);
            for (int i = 0; i < 3000; ++i)
                conn.exec(QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlDescrizione, mlEntrate) "
                                         "VALUES ('%1', %2, 'voce', %3)")
                              .arg(QDate(2010, 1, 1).addDays(i % 730).toString(Qt::ISODate))
                              .arg(a)
                              .arg(i));
            tx.commit();
        };
        const QString before2011 =
            QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlData <= '2010-12-31'");
        const QString after2010 =
            QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlData > '2010-12-31'");
        refill();
        const qint64 inRange = j.count(before2011);
        const qint64 kept = j.count(after2010);
        QElapsedTimer clock;
        clock.start();
        int kills = 0, completed = 0;
        while (kills < 120 && clock.elapsed() < 40000) {
            const QStringList out = runAndKill({QStringLiteral("purge"), dir.path()},
                                               QRandomGenerator::global()->bounded(5, 120));
            ++kills;
            QVERIFY(journalIsSound(j));
            const qint64 left = j.count(before2011);
            QVERIFY2(left == 0 || left == inRange,
                     qPrintable(QStringLiteral("half a purge: %1 left").arg(left)));
            QCOMPARE(j.count(after2010), kept);
            if (!out.isEmpty())
                QCOMPARE(left, 0); // reported done: really done
            if (left == 0) {
                ++completed;
                j.open().exec(QStringLiteral("DELETE FROM Movilibro"));
                refill();
            }
        }
        qInfo("kills survived while purging: %d (purges completed before the kill: %d)", kills, completed);
        QVERIFY(kills >= 30);
    }
};

QTEST_GUILESS_MAIN(TestKills)
#include "test_kills.moc"
