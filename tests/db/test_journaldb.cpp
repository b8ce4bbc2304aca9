#include "db/connection.h"
#include "db/connstring.h"
#include "db/journaldb.h"
#include "db/pendingrow.h"
#include "db/schema.h"
#include "testsupport.h"

#include <QtTest>

#include <sqlite3.h>

#include <unistd.h>

using namespace movilibro;
using namespace movilibro::db;
using movilibro::test::Journal;
using movilibro::test::money;

class TestJournalDb : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_folderNo = 0;
    QString newFolder() { return m_dir.path() + QStringLiteral("/j%1").arg(++m_folderNo); }

private slots:
    void initTestCase() { test::pinItalianLocale(); }

    void templateHoldsTheContract()
    {
        Journal j(newFolder());
        Connection conn = j.open();
        QVERIFY(schema::hasJournalTables(conn));
        Statement v = conn.prepare(QStringLiteral("PRAGMA user_version"));
        QVERIFY(v.step());
        QCOMPARE(v.int64(0), qint64(schema::Version));
        Statement mode = conn.prepare(QStringLiteral("PRAGMA journal_mode"));
        QVERIFY(mode.step());
        QCOMPARE(mode.text(0), QStringLiteral("delete"));
        QCOMPARE(schema::definedSize(conn, QStringLiteral("Movilibro"), QStringLiteral("mlDescrizione")),
                 255);
        QCOMPARE(schema::definedSize(conn, QStringLiteral("Conti"), QStringLiteral("cntNome")), 255);
        QCOMPARE(schema::definedSize(conn, QStringLiteral("Movilibro"), QStringLiteral("mlEntrate")), -1);
        Statement idx = conn.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' "
                                                    "AND tbl_name='Movilibro' AND sql IS NOT NULL"));
        QVERIFY(idx.step());
        QCOMPARE(idx.int64(0), qint64(2));
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
        Connection conn = j.open();
        QVERIFY_THROWS_EXCEPTION(DbError, conn.exec(sql));
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 0);
    }

    void accountsSortByItalianCollation()
    {
        Journal j(newFolder());
        for (const char* name : {"banca", "Àncora", "cassa", "ancora", "Banca Due", "Zeta", "àbaco"})
            j.addAccount(QString::fromUtf8(name));
        Connection conn = j.open();
        Statement st = conn.prepareJet(QStringLiteral("SELECT cntId, cntNome FROM Conti ORDER BY cntNome"));
        QStringList names;
        while (st.step())
            names << st.text(1);
        QCOMPARE(names.first(), QString::fromUtf8("àbaco"));
        QCOMPARE(names.indexOf(QStringLiteral("banca")) + 1, names.indexOf(QStringLiteral("Banca Due")));
        QCOMPARE(names.last(), QStringLiteral("Zeta"));
        QVERIFY(names.indexOf(QStringLiteral("cassa")) > names.indexOf(QStringLiteral("Banca Due")));
    }

    void statementsRunVerbatim()
    {
        Journal j(newFolder());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        const qint64 banca = j.addAccount(QStringLiteral("Banca"));
        const qint64 unused = j.addAccount(QStringLiteral("Vuoto"));
        const qint64 e1 = j.addEntry(QDate(2018, 3, 4), cassa, QStringLiteral("a"), money(10), 0);
        j.addEntry(QDate(2018, 3, 5), banca, QStringLiteral("b"), 0, money(5));
        j.addEntry(QDate(2018, 3, 6), cassa, QStringLiteral("c"), std::nullopt, std::nullopt);
        Connection conn = j.open();

        auto rows = [&](const QString& sql) {
            Statement st = conn.prepareJet(sql);
            int n = 0;
            while (st.step())
                ++n;
            return n;
        };
        QCOMPARE(rows(QStringLiteral("SELECT * FROM Conti ORDER BY cntNome")), 3);
        QCOMPARE(rows(QStringLiteral("SELECT * FROM Movilibro WHERE mlConto=") + QString::number(cassa)), 2);
        QCOMPARE(rows(QStringLiteral("SELECT * FROM Movilibro WHERE mlConto=") + QString::number(unused)), 0);
        QCOMPARE(rows(QStringLiteral("SELECT * FROM Movilibro WHERE mlId=") + QString::number(e1)), 1);
        QCOMPARE(rows(QStringLiteral("SELECT * FROM Conti WHERE cntId=") + QString::number(banca)), 1);
        // The cut-off day itself counts.
        QCOMPARE(rows(QStringLiteral("SELECT mlId From Movilibro WHERE mlData<=#") +
                      QStringLiteral("03/05/2018") + QStringLiteral("#")),
                 2);
        QCOMPARE(conn.execJet(QStringLiteral("DELETE * FROM Conti WHERE cntId=") + QString::number(unused)),
                 1);
        QCOMPARE(conn.execJet(QStringLiteral("DELETE * FROM Movilibro WHERE mlId=") + QString::number(e1)),
                 1);
        QCOMPARE(conn.execJet(QStringLiteral("DELETE * FROM Movilibro WHERE mlData<=#03/05/2018#")), 1);
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 1);
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Conti")), 2);
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
        const QString folder = newFolder();
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/movilibro.mdb");
        auto write = [&](const QByteArray& bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        if (kind == u"journal") {
            Journal j(folder);
        } else if (kind == u"empty") {
            write({});
        } else if (kind == u"text") {
            write("questo non è un database\n");
        } else if (kind == u"jet") {
            write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4000, '\0'));
        } else if (kind == u"othersqlite") {
            Connection::open(test::templatePath(), Connection::Mode::ReadOnly); // the engine works
            sqlite3* raw = nullptr;
            QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
            sqlite3_exec(raw, "CREATE TABLE Altro(x)", nullptr, nullptr, nullptr);
            sqlite3_close(raw);
        } else if (kind == u"folder") {
            QDir().mkpath(path);
        } else if (kind == u"truncated") {
            write(test::fileBytes(test::templatePath()).left(100));
        } else if (kind == u"unreadable") {
            if (geteuid() == 0)
                QSKIP("root reads any file");
            Journal j(folder);
            QFile::setPermissions(path, QFileDevice::Permissions());
        }
        const QByteArray before = test::fileBytes(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        QCOMPARE(ConnectionFails(connStringFor(folder)), fails);
        QCOMPARE(test::fileBytes(path), before);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QCOMPARE(QFileInfo::exists(path), kind != u"missing");
        QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
    }

    void createFromTemplate()
    {
        const QString programFolder = QCoreApplication::applicationDirPath();
        const QString folder = newFolder();
        QVERIFY(!CreateDatabaseFromTemplate(programFolder, folder)); // folder missing
        QDir().mkpath(folder);
        QVERIFY(!CreateDatabaseFromTemplate(m_dir.path(), folder)); // no master.gen there
        QVERIFY(CreateDatabaseFromTemplate(programFolder, folder));
        const QString path = folder + QStringLiteral("/movilibro.mdb");
        QCOMPARE(test::fileBytes(path), test::fileBytes(test::templatePath()));
        QVERIFY(!ConnectionFails(connStringFor(folder)));

        Journal(folder).addAccount(QStringLiteral("Cassa"));
        const QByteArray filled = test::fileBytes(path);
        QVERIFY(!CreateDatabaseFromTemplate(programFolder, folder)); // never replaces
        QCOMPARE(test::fileBytes(path), filled);
    }

    void sqlDateLiteral_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("literal");
        QTest::newRow("end of year") << QDate(2017, 12, 31) << "#12/31/2017#";
        QTest::newRow("day-first ambiguity") << QDate(2024, 3, 5) << "#03/05/2024#";
        QTest::newRow("first year") << QDate(100, 1, 1) << "#01/01/0100#";
        QTest::newRow("last day") << QDate(9999, 12, 31) << "#12/31/9999#";
    }
    void sqlDateLiteral()
    {
        QFETCH(QDate, date);
        QFETCH(QString, literal);
        QCOMPARE(SqlDateLiteral(date), literal);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // '.' as date separator
        QCOMPARE(SqlDateLiteral(date), literal);
        test::pinItalianLocale();
    }

    void parameters()
    {
        Journal j(newFolder());
        const QString cs = j.connString();
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_gexlayout"), 0), 0);
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_esercizio_startingmonth"), 1), 1);
        {
            Connection conn = j.open();
            WriteParameter(conn, QStringLiteral("appset_dategrouping"), 2);
        }
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Parametri")), 1);
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0), 2);
        {
            Connection conn = j.open();
            WriteParameter(conn, QStringLiteral("appset_dategrouping"), 4);
            conn.exec(QStringLiteral("INSERT INTO Parametri VALUES ('appset_dategrouping', 1)"));
            WriteParameter(conn, QStringLiteral("appset_dategrouping"), 3); // the first row only
        }
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Parametri")), 2);
        QCOMPARE(j.count(QStringLiteral("SELECT Valore FROM Parametri ORDER BY rowid LIMIT 1")), 3);
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_dategrouping"), 0), 3);

        j.open().exec(QStringLiteral("INSERT INTO Parametri VALUES ('appset_gexlayout', NULL)"));
        QCOMPARE(ReadParameter(cs, QStringLiteral("appset_gexlayout"), 7), 7);
    }

    void pendingRowNewAndCancel()
    {
        Journal j(newFolder());
        const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
        Connection conn = j.open();
        PendingRow cancelled = PendingRow::addNew(conn, QStringLiteral("Movilibro"));
        cancelled.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("mai"));
        cancelled.cancel();
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Movilibro")), 0);

        PendingRow row = PendingRow::addNew(conn, QStringLiteral("Movilibro"));
        QCOMPARE(row.definedSize(QStringLiteral("mlDescrizione")), 255);
        row.setValue(QStringLiteral("mlData"), QStringLiteral("2010-03-01"));
        row.setValue(QStringLiteral("mlConto"), cassa);
        row.setValue(QStringLiteral("mlDescrizione"), QStringLiteral("l'affitto; 100% \"netto\" #1"));
        row.setValue(QStringLiteral("mlEntrate"), money(1234, 56));
        row.setValue(QStringLiteral("mlUscite"), qint64(0));
        const qint64 id = row.save();
        QVERIFY(id > 0);
        QCOMPARE(j.count(QStringLiteral("SELECT mlEntrate FROM Movilibro WHERE mlId=%1").arg(id)), 12345600);
        PendingRow again =
            PendingRow::openExisting(conn, QStringLiteral("Movilibro"),
                                     QStringLiteral("SELECT * FROM Movilibro WHERE mlId=%1").arg(id));
        QVERIFY(again.found());
        QCOMPARE(again.value(QStringLiteral("mlDescrizione")).toString(),
                 QStringLiteral("l'affitto; 100% \"netto\" #1"));
        QCOMPARE(again.value(QStringLiteral("mlUscite")).toLongLong(), 0);
    }

    void pendingRowUpdatesOnlyItsRow()
    {
        Journal j(newFolder());
        const qint64 a = j.addAccount(QStringLiteral("Cassa"));
        const qint64 e1 = j.addEntry(QDate(2010, 1, 1), a, QStringLiteral("uno"), money(1), 0);
        const qint64 e2 = j.addEntry(QDate(2010, 1, 2), a, QStringLiteral("due"), money(2), 0);
        Connection conn = j.open();
        PendingRow row =
            PendingRow::openExisting(conn, QStringLiteral("Movilibro"),
                                     QStringLiteral("SELECT * FROM Movilibro WHERE mlId=%1").arg(e2));
        row.setValue(QStringLiteral("mlEntrate"), money(3));
        QCOMPARE(row.save(), e2);
        QCOMPARE(j.count(QStringLiteral("SELECT mlEntrate FROM Movilibro WHERE mlId=%1").arg(e1)), money(1));
        QCOMPARE(j.count(QStringLiteral("SELECT mlEntrate FROM Movilibro WHERE mlId=%1").arg(e2)), money(3));

        PendingRow missing = PendingRow::openExisting(
            conn, QStringLiteral("Movilibro"), QStringLiteral("SELECT * FROM Movilibro WHERE mlId=999"));
        QVERIFY(!missing.found());
        QVERIFY_THROWS_EXCEPTION(DbError, missing.save());
    }

    void pendingRowRefusedKeepsValues()
    {
        Journal j(newFolder());
        Connection conn = j.open();
        PendingRow row = PendingRow::addNew(conn, QStringLiteral("Conti"));
        row.setValue(QStringLiteral("cntNome"), QString(300, u'x'));
        QVERIFY_THROWS_EXCEPTION(DbError, row.save());
        QCOMPARE(row.value(QStringLiteral("cntNome")).toString().size(), 300);
        QVERIFY(row.isNew());
        row.setValue(QStringLiteral("cntNome"), QStringLiteral("Cassa"));
        QVERIFY(row.save() > 0);
        QCOMPARE(j.count(QStringLiteral("SELECT count(*) FROM Conti")), 1);
    }

    void connStringRoundTrip_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "/home/anna/Documents/MovilibroDB";
        QTest::newRow("semicolon in folder") << "/home/anna/conti;vecchi";
        QTest::newRow("root") << "";
    }
    void connStringRoundTrip()
    {
        QFETCH(QString, folder);
        const QString cs = connStringFor(folder);
        QVERIFY(cs.startsWith(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")));
        QVERIFY(cs.endsWith(QStringLiteral(";Persist Security Info=False")));
        QCOMPARE(databasePathFromConnString(cs), folder + QStringLiteral("/movilibro.mdb"));
    }
};

QTEST_GUILESS_MAIN(TestJournalDb)
#include "test_journaldb.moc"
