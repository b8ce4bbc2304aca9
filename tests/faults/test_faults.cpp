#include "modaldriver.h"
#include "app/mainmod.h"
#include "app/prompt.h"
#include "app/seams.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/connstring.h"
#include "testsupport.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/frmmain.h"
#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <unistd.h>

using namespace movilibro;
using test::ModalDriver;
using test::money;

namespace {

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A small file system of the test's own, so that "full" and "read-only" are real.
class SmallDisk
{
public:
    explicit SmallDisk(const QString& where, int kilobytes) : m_path(where)
    {
        QDir().mkpath(where);
        m_mounted = run(QStringLiteral("mount"),
                        {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                         QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), where});
    }
    ~SmallDisk()
    {
        if (m_mounted)
            run(QStringLiteral("umount"), {QStringLiteral("-l"), m_path});
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly()
    {
        return run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_path});
    }
    // Leaves (almost) no free space.
    void fill()
    {
        QFile filler(m_path + QStringLiteral("/riempitivo"));
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.close();
    }

private:
    QString m_path;
    bool m_mounted = false;
};

enum class Fault
{
    Locked,
    ReadOnly,
    DiskFull
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<test::TestHome> m_home;
    std::unique_ptr<SmallDisk> m_disk;
    std::unique_ptr<test::Journal> m_journal;
    std::unique_ptr<db::Connection> m_locker;
    std::unique_ptr<ScopedScriptedPrompt> m_prompt;
    std::unique_ptr<frmMain> m_main;
    QByteArray m_before;
    int m_operations = 0;

    void setUpFault(Fault fault)
    {
        m_home = std::make_unique<test::TestHome>();
        const QString folder = m_home->home() + QStringLiteral("/disco");
        if (fault != Fault::Locked) {
            if (geteuid() != 0)
                QSKIP("mounting a small file system needs root");
            m_disk = std::make_unique<SmallDisk>(folder, 512);
            QVERIFY(m_disk->mounted());
        }
        m_journal = std::make_unique<test::Journal>(folder);
        const qint64 a = m_journal->addAccount(QStringLiteral("Cassa"));
        for (int i = 0; i < 3; ++i)
            m_journal->addEntry(QDate(2010, 3, 1 + i), a, QStringLiteral("voce %1").arg(i), money(10 + i), 0);
        mainmod::DBFolder = folder;
        mainmod::ConnString = db::connStringFor(folder);
        if (fault == Fault::ReadOnly)
            QVERIFY(m_disk->makeReadOnly());
        if (fault == Fault::DiskFull)
            m_disk->fill();
        if (fault == Fault::Locked) {
            m_locker = std::make_unique<db::Connection>(m_journal->open());
            m_locker->exec(QStringLiteral("BEGIN IMMEDIATE"));
        }
        m_before = test::fileBytes(m_journal->path());
        m_prompt = std::make_unique<ScopedScriptedPrompt>();
        m_main = std::make_unique<frmMain>();
        m_main->show();
        QCOMPARE(m_main->journalGrid()->rowCount(), 3); // reading still works
    }

    void expectUnchanged(const char* operation)
    {
        ++m_operations;
        QVERIFY2(!m_prompt->messages.isEmpty(), operation);
        const QString last = m_prompt->messages.last().text;
        QVERIFY2(!last.contains(QStringLiteral("successo")), qPrintable(last));
        QCOMPARE(test::fileBytes(m_journal->path()), m_before);
        QVERIFY(m_main->isVisible());
        m_prompt->messages.clear();
    }

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        Pauses::setDurations(0, 0);
        Clock::setToday([] { return QDate(2010, 3, 15); });
    }
    void cleanup()
    {
        m_main.reset();
        m_prompt.reset();
        m_locker.reset();
        m_journal.reset();
        m_disk.reset();
        m_home.reset();
    }
    void cleanupTestCase() { qInfo("operations tried under faults: %d", m_operations); }

    void operationsUnderFault_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("journal locked by another program") << int(Fault::Locked);
        QTest::newRow("folder read-only") << int(Fault::ReadOnly);
        QTest::newRow("disk full") << int(Fault::DiskFull);
    }
    void operationsUnderFault()
    {
        QFETCH(int, fault);
        setUpFault(Fault(fault));

        // A new entry: the editor stays open with what was typed.
        QString kept;
        bool stillOpen = false;
        ModalDriver editor([&](QDialog& d) {
            auto* description = d.findChild<QLineEdit*>(QStringLiteral("txtData_0"));
            QTest::keyClicks(description, QStringLiteral("Fattura 42"));
            d.findChild<QComboBox*>(QStringLiteral("dtcData"))->setCurrentIndex(0);
            auto* amount = d.findChild<QLineEdit*>(QStringLiteral("txtData_1"));
            amount->selectAll();
            QTest::keyClicks(amount, QStringLiteral("12.5"));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
            stillOpen = d.isVisible();
            kept = description->text();
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        m_main->toolbar()->action(QStringLiteral("new"))->trigger();
        QVERIFY(editor.ran());
        QVERIFY(stillOpen);
        QCOMPARE(kept, QStringLiteral("Fattura 42"));
        expectUnchanged("save entry");

        // Deleting an entry from the grid.
        m_main->journalGrid()->setCurrentRow(2);
        m_prompt->setNextAnswer(Answer::Yes);
        m_main->toolbar()->action(QStringLiteral("delete"))->trigger();
        expectUnchanged("delete entry");

        // The purge.
        ModalDriver purge([](QDialog& d) {
            d.findChild<QDateEdit*>(QStringLiteral("dtp"))->setDate(QDate(2010, 12, 31));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
        });
        m_prompt->setNextAnswer(Answer::Yes);
        m_main->toolbar()->action(QStringLiteral("tools"))->trigger();
        QVERIFY(purge.ran());
        expectUnchanged("purge");

        // A new account.
        ModalDriver account([](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>(QStringLiteral("txtData_0")), QStringLiteral("Banca"));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
            if (d.isVisible())
                QTest::keyClick(&d, Qt::Key_Escape);
        });
        m_main->findChild<QAction*>(QStringLiteral("tbConti_new"))->trigger();
        QVERIFY(account.ran());
        expectUnchanged("save account");

        // A copy of the journal beside it.
        if (Fault(fault) != Fault::Locked)
            QVERIFY_THROWS_EXCEPTION(db::BackupError, db::JournalBackup(m_journal->path()).make());
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
