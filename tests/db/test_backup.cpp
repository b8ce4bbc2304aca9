#include "app/journallock.h"
#include "db/backup.h"
#include "db/connection.h"
#include "testsupport.h"

#include <QtTest>

using namespace movilibro;
using namespace movilibro::db;
using test::Journal;
using test::money;

namespace {
const QDateTime Noon(QDate(2026, 12, 6), QTime(12, 0, 0));

qint64 entries(const QString& path)
{
    Connection conn = Connection::open(path, Connection::Mode::ReadOnly);
    Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
    return st.step() ? st.int64(0) : -1;
}
} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_n = 0;
    Journal newJournal(int rows)
    {
        Journal j(m_dir.path() + QStringLiteral("/j%1").arg(++m_n));
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        for (int i = 0; i < rows; ++i)
            j.addEntry(QDate(2010, 1, 1).addDays(i), a, QStringLiteral("voce %1").arg(i), money(i), 0);
        return j;
    }

private slots:
    void copyIsConsistentWhileTheJournalIsInUse()
    {
        Journal j = newJournal(5);
        Connection reader = j.open();
        reader.exec(QStringLiteral("BEGIN; SELECT count(*) FROM Movilibro;"));
        const QString copy = JournalBackup(j.path()).make(Noon);
        reader.exec(QStringLiteral("COMMIT"));
        QCOMPARE(QFileInfo(copy).fileName(), QStringLiteral("movilibro-20261206-120000.mdb"));
        QCOMPARE(QFileInfo(copy).absolutePath(), j.folder() + QStringLiteral("/backup"));
        QVERIFY(JournalBackup::isSoundJournal(copy));
        QCOMPARE(entries(copy), 5);
        // A second copy in the same second gets its own name.
        QCOMPARE(QFileInfo(JournalBackup(j.path()).make(Noon)).fileName(),
                 QStringLiteral("movilibro-20261206-120000-1.mdb"));
    }

    void dailyCopiesRotateAndLeaveOtherFilesAlone()
    {
        Journal j = newJournal(1);
        JournalBackup backup(j.path());
        QDir().mkpath(backup.folder());
        for (const char* other : {"note.txt", "movilibro-vecchio.mdb"}) {
            QFile f(backup.folder() + u'/' + QString::fromLatin1(other));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(backup.makeDaily(Noon));
        QVERIFY(!backup.makeDaily(Noon.addSecs(3600))); // one a day
        for (int day = 1; day <= 11; ++day)
            QVERIFY(backup.makeDaily(Noon.addDays(day)));
        const QStringList kept = backup.copies();
        QCOMPARE(kept.size(), 10);
        QVERIFY(kept.first().endsWith(QStringLiteral("movilibro-20261208-120000.mdb")));
        QVERIFY(QFileInfo::exists(backup.folder() + QStringLiteral("/note.txt")));
        QVERIFY(QFileInfo::exists(backup.folder() + QStringLiteral("/movilibro-vecchio.mdb")));
    }

    void copyThatCannotBeMadeIsReported()
    {
        Journal j = newJournal(1);
        QFile blocker(j.folder() + QStringLiteral("/backup"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        try {
            JournalBackup(j.path()).make(Noon);
            QFAIL("no error");
        } catch (const BackupError& e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Impossibile creare la cartella")));
        }
    }

    void restorePutsTheCopyInPlaceAndKeepsTheCurrent()
    {
        Journal j = newJournal(3);
        JournalBackup backup(j.path());
        const QString copy = backup.make(Noon);
        j.addEntry(QDate(2011, 1, 1), 1, QStringLiteral("dopo"), 1, 0);
        QCOMPARE(entries(j.path()), 4);
        backup.restore(copy, Noon.addSecs(60));
        QCOMPARE(entries(j.path()), 3);
        const QStringList kept = backup.copies();
        QCOMPARE(kept.size(), 2);
        QCOMPARE(entries(kept.last()), 4); // the journal as it was before the restore
    }

    void damagedCopyIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("truncated") << QByteArray("SQLite format 3\0", 16) + QByteArray(100, 'x');
        QTest::newRow("not a journal") << QByteArray("ciao");
        QTest::newRow("empty") << QByteArray();
    }
    void damagedCopyIsRefused()
    {
        QFETCH(QByteArray, bytes);
        Journal j = newJournal(2);
        const QString bad = m_dir.path() + QStringLiteral("/bad%1.mdb").arg(++m_n);
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const QByteArray before = test::fileBytes(j.path());
        QVERIFY_THROWS_EXCEPTION(BackupError, JournalBackup(j.path()).restore(bad, Noon));
        QCOMPARE(test::fileBytes(j.path()), before);
        QVERIFY(JournalBackup(j.path()).copies().isEmpty());
    }

    void oneProgramPerJournal()
    {
        Journal j = newJournal(0);
        JournalLock first(j.path());
        QVERIFY(first.acquire());
        JournalLock second(j.path());
        QVERIFY(!second.acquire());
        QVERIFY2(second.refusal().contains(QStringLiteral("già aperto")), qPrintable(second.refusal()));
    }

    void staleLockAfterACrashIsTakenOver()
    {
        Journal j = newJournal(0);
        QFile stale(j.path() + QStringLiteral(".lock"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // The process that wrote it is gone (pid numbers this high are not in use).
        stale.write(QByteArray("4194300\nmovilibro\n") + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        JournalLock lock(j.path());
        QVERIFY(lock.acquire());
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
