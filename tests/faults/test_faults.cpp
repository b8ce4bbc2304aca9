// Every write of the program under each fault: it says so, keeps the journal
// unchanged and the window usable, and never reports success. Then awkward
// text, and amounts and dates at their limits, shown exactly by the main window.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "app/mainmod.h"
#include "db/backup.h"
#include "db/connstring.h"
#include "history/writes.h"
#include "journal/journalcolumns.h"
#include "ui/dialogs/frmoptions.h"
#include "ui/grid/querygrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <unistd.h>

using namespace movilibro;
using namespace movilibro::test;

namespace {

// What a system command said when it failed; empty when it succeeded.
QString run(const QString& command)
{
    QProcess p;
    p.startCommand(command);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit)
        return command + QStringLiteral(": did not finish");
    return p.exitCode() == 0
               ? QString()
               : command + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAllStandardError());
}

enum class Fault
{
    WriterHoldsLock,
    ReaderHoldsLock,
    ReadOnly,
    DiskFull
};

constexpr qint64 Max = std::numeric_limits<qint64>::max();

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void everyWriteUnderFault_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("journal locked by another program") << int(Fault::WriterHoldsLock);
        QTest::newRow("journal being read by another program") << int(Fault::ReaderHoldsLock);
        QTest::newRow("folder read-only") << int(Fault::ReadOnly);
        QTest::newRow("disk full") << int(Fault::DiskFull);
    }
    void everyWriteUnderFault()
    {
        QFETCH(int, fault);
        MainWindowFixture f(QDate(2010, 3, 15));
        const QString folder = f.journal().folder() + QStringLiteral("/disco");
        // A small file system of the test's own, so that "full" and "read-only" are real.
        const bool onDisk = Fault(fault) == Fault::ReadOnly || Fault(fault) == Fault::DiskFull;
        bool mounted = false;
        const auto unmount = qScopeGuard([&] { mounted&& run("umount -l " + folder).isEmpty(); });
        if (onDisk) {
            if (geteuid() != 0)
                QSKIP("mounting a small file system needs root");
            QDir().mkpath(folder);
            const QString refusal = run("mount -t tmpfs -o size=512k tmpfs " + folder);
            if (!refusal.isEmpty())
                QSKIP(qPrintable(QStringLiteral("mounting was refused: ") + refusal));
            mounted = true;
        }
        Journal journal(folder);
        const qint64 cassa = journal.addAccount(QStringLiteral("Cassa"));
        journal.addAccount(QStringLiteral("Vuoto"));
        for (int i = 0; i < 3; ++i)
            journal.addEntry(QDate(2010, 3, 1 + i), cassa, QStringLiteral("voce"), money(10 + i), 0);
        {
            db::Connection conn = journal.open(); // one entry in the bin
            history::deleteEntry(conn, 3, QDateTime(QDate(2010, 3, 15), QTime(9, 0)));
        }
        mainmod::DBFolder = folder;
        mainmod::ConnString = db::connStringFor(folder);
        if (Fault(fault) == Fault::ReadOnly)
            QCOMPARE(run("mount -o remount,ro " + folder), QString());
        QFile filler(folder + QStringLiteral("/riempitivo")); // leaves (almost) no free space
        if (Fault(fault) == Fault::DiskFull && filler.open(QIODevice::WriteOnly)) {
            while (filler.write(QByteArray(4096, 'x')) == 4096) {
            }
            filler.close();
        }
        std::optional<HeldLock> lock;
        if (Fault(fault) == Fault::WriterHoldsLock || Fault(fault) == Fault::ReaderHoldsLock)
            lock.emplace(journal, Fault(fault) == Fault::ReaderHoldsLock);
        const QByteArray before = fileBytes(journal.path());
        frmMain& w = f.open();
        QCOMPARE(w.journalGrid()->rowCount(), 2); // reading still works
        const auto expectUnchanged = [&](const char* operation) {
            QVERIFY2(!f.prompt().messages.isEmpty(), operation);
            const QString last = f.prompt().messages.last().text;
            QVERIFY2(!last.contains(QStringLiteral("successo")), qPrintable(last));
            QVERIFY2(fileBytes(journal.path()) == before, operation);
            QVERIFY(w.isVisible());
            f.prompt().messages.clear();
        };
        // Runs a command that opens a dialog and plays `script` in it; returns
        // what the first box holds after it, if the dialog is still open.
        const auto inDialog = [&](QAction* command, const QString& script) {
            QString kept = QStringLiteral("closed");
            ModalDriver driver([&](QDialog& d) {
                play(d, script);
                if (d.isVisible())
                    kept = control<QLineEdit>(d, "txtData_0")->text();
                d.reject();
            });
            command->trigger();
            return driver.ran() ? kept : QStringLiteral("not opened");
        };
        auto* tb = w.toolbar();

        // New and changed entries and accounts: the editor stays open with what was typed.
        w.journalGrid()->setCurrentRow(2);
        QCOMPARE(inDialog(tb->action("new"), "<Return>|Fattura 42|<Return>|c|<Return>|12.5|<cmdSalva>"),
                 QStringLiteral("Fattura 42"));
        expectUnchanged("new entry");
        QCOMPARE(inDialog(tb->action("edit"), "<Return>|Fattura 42|<cmdSalva>"),
                 QStringLiteral("Fattura 42"));
        expectUnchanged("changed entry");
        f.prompt().setNextAnswer(Answer::Yes);
        tb->action(QStringLiteral("delete"))->trigger();
        expectUnchanged("delete entry");

        QCOMPARE(inDialog(w.findChild<QAction*>("tbConti_new"), "Banca|<cmdSalva>"), QStringLiteral("Banca"));
        expectUnchanged("new account");
        QCOMPARE(inDialog(w.findChild<QAction*>("tbConti_edit"), "Banca|<cmdSalva>"),
                 QStringLiteral("Banca"));
        expectUnchanged("renamed account");

        w.accountsPane()->grid()->setCurrentRow(2); // Vuoto, used by no entry
        f.prompt().setNextAnswer(Answer::Yes);
        w.findChild<QAction*>(QStringLiteral("tbConti_delete"))->trigger();
        expectUnchanged("delete account");

        w.accountsPane()->grid()->setCurrentRow(1); // Cassa
        for (const char* command : {"mnuQuadratura", "mnuContaCassa"}) {
            ModalDriver driver([&](QDialog& d) {
                const bool statement = d.objectName() == u"frmQuadratura";
                control<QLineEdit>(d, statement ? "txtSaldoEstratto" : "txtContato")->setFocus();
                play(d, QStringLiteral("1,00|<cmdRegistra>"));
                d.reject();
            });
            w.findChild<QAction*>(QString::fromLatin1(command))->trigger();
            QVERIFY(driver.ran());
            expectUnchanged(command);
        }

        f.prompt().setNextAnswer(Answer::Yes);
        ModalDriver purge([](QDialog& d) {
            control<QDateEdit>(d, "dtp")->setDate(QDate(2010, 12, 31));
            play(d, QStringLiteral("<cmdSalva>"));
        });
        tb->action(QStringLiteral("tools"))->trigger();
        QVERIFY(purge.ran());
        expectUnchanged("purge");

        ModalDriver preferences(
            [](QDialog& d) { play(d, QStringLiteral("<cmdClose>")); }); // closing stores them
        runPreferences(w);
        QVERIFY(preferences.ran());
        expectUnchanged("preferences");

        // The bin: restoring its entry, then emptying it after the question.
        f.prompt().setNextAnswer(Answer::Yes);
        qsizetype toldOnRestore = -1;
        ModalDriver bin([&](QDialog& d) {
            QTest::mouseClick(control<QPushButton>(d, "cmdRipristina"), Qt::LeftButton);
            toldOnRestore = f.prompt().messages.size();
            QTest::mouseClick(control<QPushButton>(d, "cmdSvuota"), Qt::LeftButton);
            d.reject();
        });
        w.findChild<QAction*>(QStringLiteral("actCestino"))->trigger();
        QVERIFY(bin.ran());
        QCOMPARE(toldOnRestore, 1);
        QCOMPARE(f.prompt().messages.size(), 3); // the question between the two failures
        expectUnchanged("bin");

        // A copy of the journal beside it.
        if (onDisk)
            QVERIFY_THROWS_EXCEPTION(db::BackupError, db::JournalBackup(journal.path()).make());
    }

    void storedAndShownExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const QDate march(2010, 3, 1);
        QTest::newRow("quotes") << "l'\"ufficio\" ''doppio''" << march;
        QTest::newRow("sql-like") << "x'; DELETE * FROM Movilibro; --" << march;
        QTest::newRow("percent and hash") << "100% #01/02/2010# [mlId] & \\ isnull(" << march;
        QTest::newRow("newlines") << "prima riga\nseconda riga\r\nterza" << march;
        QTest::newRow("emoji and accents") << QString::fromUtf8("caffè ☕ 💶 – €") << march;
        QTest::newRow("exactly the defined size") << QString(255, u'é') << march;
        QTest::newRow("01/01/0100") << "estremo" << QDate(100, 1, 1);
        QTest::newRow("31/12/9999") << "estremo" << QDate(9999, 12, 31);
    }
    void storedAndShownExactly()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        MainWindowFixture f(date);
        f.journal().addEntry(date, f.journal().addAccount(text), text, money(1), 0);
        frmMain& w = f.open();
        QVERIFY2(f.prompt().messages.isEmpty(), qPrintable(f.prompt().messages.value(0).text));
        QCOMPARE(w.journalGrid()->value(2, journal::JournalColumn::Descrizione).toString(), text);
        QCOMPARE(w.journalGrid()->value(2, journal::JournalColumn::Conto).toString(), text);
        QCOMPARE(w.accountsPane()->grid()->value(1, 2).toString(), text);
        QCOMPARE(f.shown(2, journal::JournalColumn::Data), date.toString(QStringLiteral("dd/MM/yyyy")));
    }

    // The largest amount is shown; a second cannot be added up: said clearly, never wrapped.
    void amountsAtTheLimit()
    {
        MainWindowFixture f(QDate(2010, 3, 15));
        const qint64 account = f.journal().addAccount(QStringLiteral("Cassa"));
        f.journal().addEntry(QDate(2010, 3, 1), account, QStringLiteral("massimo"), Max, 0);
        QCOMPARE(f.open().journalGrid()->value(2, journal::JournalColumn::Entrate).value<Currency>().raw(),
                 Max);
        QVERIFY(f.prompt().messages.isEmpty());
        f.journal().addEntry(QDate(2010, 3, 2), account, QStringLiteral("ancora"), Max, 0);
        QVERIFY(f.open().isVisible());
        QCOMPARE(f.prompt().messages.size(), 1);
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
