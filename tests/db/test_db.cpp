#include "app/journallock.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "db/dialect.h"
#include "db/journaldb.h"
#include "db/pendingrow.h"
#include "db/periods.h"
#include "testsupport.h"

#include <QtTest>

#include <sqlite3.h>
#include <unistd.h>

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

// The journal file: its SQL dialect, storage rules, periods, copies and lock.
class TestDb : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_n = 0;
    QString newFolder() { return m_dir.path() + QStringLiteral("/j%1").arg(++m_n); }
    Journal newJournal(int rows)
    {
        Journal j(newFolder());
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        for (int i = 0; i < rows; ++i)
            j.addEntry(QDate(2010, 1, 1).addDays(i), a, QStringLiteral("voce %1").arg(i), money(i), 0);
        return j;
    }

private slots:
    void initTestCase() { test::pinItalianLocale(); }

    void translates_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("delete star") << "DELETE * FROM Movilibro WHERE mlId=7"
                                     << "DELETE FROM Movilibro WHERE mlId=7";
        QTest::newRow("month-first date literal") << "WHERE mlData Between #01/02/2010# And #12/31/2010#"
                                                  << "WHERE mlData Between '2010-01-02' And '2010-12-31'";
        QTest::newRow("concat and intdiv")
            << "Format([mlData],'yyyy') & Format(((Month([mlData])-1)\\2)+1,'0')"
            << "(Format([mlData],'yyyy') || Format((jet_intdiv((Month([mlData])-1), 2))+1,'0'))";
        QTest::newRow("nested isnull") << "isnull(iif(isnull(a),1,(2)))"
                                       << "(iif((a IS NULL),1,(2)) IS NULL)";
        QTest::newRow("literal untouched") << "WHERE Chiave='a & b \\ #1/2/3# [x] l''isnull(y)'"
                                           << "WHERE Chiave='a & b \\ #1/2/3# [x] l''isnull(y)'";
    }
    void translates()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(translateJet(jet), sqlite);
    }

    void rejects_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::newRow("double quoted text") << "SELECT * FROM Conti WHERE cntNome=\"x\"";
        QTest::newRow("two statements") << "DELETE * FROM Conti; DELETE * FROM Movilibro";
        QTest::newRow("open date") << "WHERE mlData<=#12/31/2017";
        QTest::newRow("day-first date") << "WHERE mlData<=#31/12/2017#";
        QTest::newRow("parameter mark") << "SELECT * FROM t WHERE a=?";
    }
    void rejects()
    {
        QFETCH(QString, jet);
        QVERIFY_THROWS_EXCEPTION(DbError, translateJet(jet));
    }
    void storageRefusesWhatBreaksTheContract_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("floating amount")
            << "INSERT INTO Movilibro (mlData, mlEntrate) VALUES ('2010-01-01', 12.5)";
        QTest::newRow("text amount") << "INSERT INTO Movilibro (mlData, mlUscite) VALUES ('2010-01-01', 'x')";
        QTest::newRow("day-first date") << "INSERT INTO Movilibro (mlData) VALUES ('31/12/2010')";
        QTest::newRow("date with time") << "INSERT INTO Movilibro (mlData) VALUES ('2010-12-31 10:30')";
        QTest::newRow("long description")
            << QStringLiteral("INSERT INTO Movilibro (mlDescrizione) VALUES ('%1')").arg(QString(256, u'x'));
        QTest::newRow("long account")
            << QStringLiteral("INSERT INTO Conti (cntNome) VALUES ('%1')").arg(QString(256, u'é'));
    }
    void storageRefusesWhatBreaksTheContract()
    {
        QFETCH(QString, sql);
        Journal j(newFolder());
        QVERIFY_THROWS_EXCEPTION(DbError, j.open().exec(sql));
        QCOMPARE(
            j.count(QStringLiteral("SELECT (SELECT count(*) FROM Movilibro) + (SELECT count(*) FROM Conti)")),
            0);
    }

    // The cut-off written as the program writes it: 03/05/2018 is the 5th of March, and that day counts.
    void dateCutOffInAStatement()
    {
        Journal j(newFolder());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        for (const QDate& d : {QDate(2018, 3, 4), QDate(2018, 3, 5), QDate(2018, 3, 6), QDate(2018, 5, 2)})
            j.addEntry(d, cassa, QStringLiteral("x"), money(1), 0);
        const QDate cutOff(2018, 3, 5);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // '.' as the date separator
        const QString literal = SqlDateLiteral(cutOff);
        test::pinItalianLocale();
        QCOMPARE(literal, SqlDateLiteral(cutOff));
        Connection conn = j.open();
        Statement st =
            conn.prepareJet(QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlData<=") + literal);
        QVERIFY(st.step());
        QCOMPARE(st.int64(0), 2);
        QCOMPARE(conn.execJet(QStringLiteral("DELETE * FROM Movilibro WHERE mlData<=") +
                              SqlDateLiteral(QDate(2017, 12, 31))),
                 0);
        QCOMPARE(conn.execJet(QStringLiteral("DELETE * FROM Movilibro WHERE mlData<=") + literal), 2);
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 2);
    }

    void connectionFails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("fails");
        QTest::newRow("usable journal") << "journal" << false;
        QTest::newRow("no file") << "missing" << true;
        QTest::newRow("zero-length file") << "empty" << true;
        QTest::newRow("text file") << "text" << true;
        QTest::newRow("old-format header") << "jet" << true;
        QTest::newRow("sqlite without journal tables") << "othersqlite" << true;
        QTest::newRow("folder in its place") << "folder" << true;
        QTest::newRow("truncated journal") << "truncated" << true;
        QTest::newRow("unreadable file") << "unreadable" << true;
    }
    void connectionFails()
    {
        QFETCH(QString, kind);
        QFETCH(bool, fails);
        const QString folder = newFolder() + QStringLiteral(";1"); // a ';' in the folder name too
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/movilibro.mdb");
        const QMap<QString, QByteArray> written{
            {"empty", {}},
            {"text", "questo non è un database\n"},
            {"jet", QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4000, '\0')},
            {"truncated", test::fileBytes(test::templatePath()).left(100)}};
        if (written.contains(kind)) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(written.value(kind));
        } else if (kind == u"journal" || kind == u"unreadable") {
            Journal j(folder);
        } else if (kind == u"othersqlite") {
            sqlite3* raw = nullptr;
            QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
            sqlite3_exec(raw, "CREATE TABLE Altro(x)", nullptr, nullptr, nullptr);
            sqlite3_close(raw);
        } else if (kind == u"folder") {
            QDir().mkpath(path);
        }
        if (kind == u"unreadable") {
            if (geteuid() == 0)
                QSKIP("root reads any file");
            QFile::setPermissions(path, QFileDevice::Permissions());
        }
        const QByteArray before = test::fileBytes(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        QCOMPARE(ConnectionFails(connStringFor(folder)), fails);
        QCOMPARE(databasePathFromConnString(connStringFor(folder)), path);
        QCOMPARE(test::fileBytes(path), before);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QCOMPARE(QFileInfo::exists(path), kind != u"missing");
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
    }

    void parameters()
    {
        Journal j(newFolder());
        const QString cs = j.connString();
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_gexlayout"), 5), 5);
        Connection conn = j.open();
        WriteParameter(conn, QStringLiteral("appset_dategrouping"), 4);
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0), 4);
        conn.exec(QStringLiteral("INSERT INTO Parametri VALUES ('appset_dategrouping', 1)"));
        WriteParameter(conn, QStringLiteral("appset_dategrouping"), 3); // the first row only
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Parametri")), 2);
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0), 3);
        conn.exec(QStringLiteral("INSERT INTO Parametri VALUES ('appset_gexlayout', NULL)"));
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_gexlayout"), 7), 7);
    }

    void pendingRowSavesOnlyItsRow()
    {
        Journal j(newFolder());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        const qint64 other = j.addEntry(QDate(2010, 1, 1), cassa, QStringLiteral("uno"), money(1), 0);
        Connection conn = j.open();
        PendingRow cancelled = PendingRow::addNew(conn, QStringLiteral("Movilibro"));
        cancelled.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("mai"));
        cancelled.cancel();
        PendingRow row = PendingRow::addNew(conn, QStringLiteral("Movilibro"));
        row.setValue(QStringLiteral("mlData"), QStringLiteral("2010-03-01"));
        row.setValue(QStringLiteral("mlConto"), cassa);
        row.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("l'affitto; 100% \"netto\" #1"));
        row.setValue(QStringLiteral("mlEntrate"), money(1234, 56));
        const qint64 id = row.save();
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 2);
        const QString byId = QStringLiteral("SELECT * FROM Movilibro WHERE mlId=%1");
        PendingRow again = PendingRow::openExisting(conn, QStringLiteral("Movilibro"), byId.arg(id));
        QVERIFY(again.found());
        QCOMPARE(again.value(QStringLiteral("mlDescrizione")).toString(),
                 QStringLiteral("l'affitto; 100% \"netto\" #1"));
        again.setValue(QStringLiteral("mlEntrate"), money(3));
        QCOMPARE(again.save(), id);
        QCOMPARE(j.count(QStringLiteral("SELECT mlEntrate FROM Movilibro WHERE mlId=%1").arg(id)), money(3));
        QCOMPARE(j.count(QStringLiteral("SELECT mlEntrate FROM Movilibro WHERE mlId=%1").arg(other)),
                 money(1));
        PendingRow missing = PendingRow::openExisting(conn, QStringLiteral("Movilibro"), byId.arg(999));
        QVERIFY(!missing.found());
        QVERIFY_THROWS_EXCEPTION(DbError, missing.save());
    }
    void fiscalYear_data()
    {
        QTest::addColumn<QDate>("working");
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::newRow("April, before") << QDate(2011, 2, 15) << 4 << QDate(2010, 4, 1) << QDate(2011, 3, 31);
        QTest::newRow("April, after") << QDate(2011, 4, 15) << 4 << QDate(2011, 4, 1) << QDate(2012, 3, 31);
        QTest::newRow("March into leap")
            << QDate(2012, 1, 10) << 3 << QDate(2011, 3, 1) << QDate(2012, 2, 29);
        QTest::newRow("month out of range")
            << QDate(2011, 5, 5) << 13 << QDate(2011, 1, 1) << QDate(2011, 12, 31);
    }
    void fiscalYear()
    {
        QFETCH(QDate, working);
        QFETCH(int, month);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QCOMPARE(movilibro::fiscalYear(working, month), (DateRange{start, end}));
    }

    // The program's key, the journal's key for the same date, and the caption.
    void keysAndCaptions_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::newRow("month") << QDate(2010, 3, 15) << 0 << "201003"
                               << "marzo 2010";
        QTest::newRow("quarter April") << QDate(2010, 4, 1) << 2 << "20102"
                                       << "Secondo Trimestre 2010";
        QTest::newRow("quarter March") << QDate(2010, 3, 31) << 2 << "20101"
                                       << "Primo Trimestre 2010";
        QTest::newRow("four months end") << QDate(2010, 12, 31) << 3 << "20103"
                                         << "Terzo Quadrimestre 2010";
        QTest::newRow("half year July") << QDate(2010, 7, 1) << 4 << "20102"
                                        << "Secondo Semestre 2010";
    }
    void keysAndCaptions()
    {
        QFETCH(QDate, date);
        QFETCH(int, kind);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QCOMPARE(periodKey(date, kind), key);
        QCOMPARE(periodCaption(key, kind), caption);
        if (kind > 0)
            QCOMPARE(OrdinalName(key.right(1)), caption.section(u' ', 0, 0));
        Journal j(newFolder());
        j.addEntry(date, j.addAccount(QStringLiteral("Cassa")), QStringLiteral("x"), 1, std::nullopt);
        db::Connection conn = j.open();
        db::Statement st = conn.prepareJet(listingQuery(kind, {date, date}));
        QVERIFY(st.step());
        QCOMPARE(st.text(0), key);
        QVERIFY(!st.step());
    }

    void ordinalsOutsideOneToSix()
    {
        for (const char* text : {"7", "01", "", "0"})
            QCOMPARE(OrdinalName(QString::fromLatin1(text)), QString());
    }

    // The database and the program agree on every key of a leap year.
    void databaseKeysMatchProgramKeys()
    {
        Journal j(newFolder());
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        const QDate first(2012, 1, 1);
        {
            db::Connection conn = j.open();
            db::Transaction tx(conn);
            for (QDate d = first; d.year() == 2012; d = d.addDays(1))
                conn.exec(
                    QStringLiteral("INSERT INTO Movilibro (mlData, mlConto, mlEntrate) VALUES ('%1', %2, 1)")
                        .arg(d.toString(Qt::ISODate))
                        .arg(a));
            tx.commit();
        }
        db::Connection conn = j.open();
        for (int kind = 0; kind <= 4; ++kind) {
            db::Statement st = conn.prepareJet(listingQuery(kind, {first, QDate(2012, 12, 31)}));
            int rows = 0;
            for (; st.step(); ++rows)
                QCOMPARE(st.text(0), periodKey(st.date(2), kind));
            QCOMPARE(rows, 366);
        }
    }

    void listingDropsOrphansAndKeepsNulls()
    {
        Journal j(newFolder());
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        j.addEntry(QDate(2010, 5, 5), a, QStringLiteral("ok"), std::nullopt, std::nullopt);
        j.addEntry(QDate(2010, 5, 5), a + 100, QStringLiteral("orfana"), 5, std::nullopt);
        j.addEntry(QDate(2010, 5, 6), a, QStringLiteral("fuori"), 5, std::nullopt);
        db::Connection conn = j.open();
        db::Statement st = conn.prepareJet(reportQuery(0, 0, {QDate(2010, 5, 5), QDate(2010, 5, 5)}));
        QVERIFY(st.step());
        QCOMPARE(st.text(4), QStringLiteral("ok"));
        QVERIFY(st.isNull(5));
        QCOMPARE(st.int64(7), 0); // null amounts count as 0 in the balance
        QVERIFY(!st.step());
    }
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

    void staleLockAfterACrashIsTakenOver()
    {
        Journal other = newJournal(0);
        QFile stale(other.path() + QStringLiteral(".lock"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // Pid numbers this high are not in use.
        stale.write(QByteArray("4194300\nmovilibro\n") + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        QVERIFY(JournalLock(other.path()).acquire());
    }
};

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
