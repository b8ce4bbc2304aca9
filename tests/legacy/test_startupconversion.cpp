#include "app/mainmod.h"
#include "app/prompt.h"
#include "app/seams.h"
#include "app/startup.h"
#include "db/connection.h"
#include "db/journaldb.h"
#include "legacyfixtures.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

using namespace movilibro;

namespace {

const QString JournalName = QStringLiteral("movilibro.mdb");
const QString Refusal = QStringLiteral("Database assente o danneggiato\r\nL'applicazione non verrà avviata.");

// An old-format journal where the start-up sequence looks for the journal.
QString placeOldJournal(const test::TestHome& home, const QByteArray& bytes)
{
    QDir().mkpath(home.defaultDbFolder());
    const QString path = home.defaultDbFolder() + u'/' + JournalName;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray fixtureBytes()
{
    return test::fileBytes(test::legacyFixture(QStringLiteral("journal-small")));
}

} // namespace

class TestStartupConversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        Pauses::setDurations(0, 0);
        QVERIFY2(QFileInfo::exists(test::legacyFixture(QStringLiteral("journal-small"))),
                 qPrintable(QStringLiteral("fixtures missing: ") + test::legacyFixtures()));
    }

    void cleanup() { unloadMainWindow(); }

    void yesConvertsAndStarts()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        const QString path = placeOldJournal(home, fixtureBytes());
        prompt.setNextAnswer(Answer::Yes);

        QVERIFY(Main());
        QCOMPARE(prompt.messages.size(), 2);
        QCOMPARE(prompt.messages[0].style, MsgStyle::YesNo);
        QVERIFY2(prompt.messages[0].text.contains(QStringLiteral("formato della versione precedente")) &&
                     prompt.messages[0].text.contains(QStringLiteral("movilibro.mdb.jet")),
                 qPrintable(prompt.messages[0].text));
        QCOMPARE(prompt.messages[1].style, MsgStyle::Ok);
        const QString summary = prompt.messages[1].text;
        QVERIFY2(summary.contains(QStringLiteral("Registrazioni copiate: 40")) &&
                     summary.contains(QStringLiteral("Conti copiati: 3")) &&
                     summary.contains(QStringLiteral("Entrate 43838,37, Uscite 64813,58")),
                 qPrintable(summary));

        QCOMPARE(test::fileBytes(path + QStringLiteral(".jet")), fixtureBytes());
        QCOMPARE(db::journalFileKind(path), db::JournalFileKind::SQLite);
        QVERIFY(!db::ConnectionFails(mainmod::ConnString));
        db::Connection conn = db::Connection::open(path, db::Connection::Mode::ReadOnly);
        db::Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
        QVERIFY(st.step());
        QCOMPARE(st.int64(0), qint64(40));
    }

    void noLeavesTheFileAsItWas()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        const QString path = placeOldJournal(home, fixtureBytes());
        prompt.setNextAnswer(Answer::No);
        prompt.setNextFolder({});

        QVERIFY(!Main());
        QVERIFY(!mainWindow());
        QCOMPARE(prompt.messages.size(), 2);
        QCOMPARE(prompt.messages[0].style, MsgStyle::YesNo);
        QCOMPARE(prompt.messages[1].text, Refusal);
        QCOMPARE(prompt.messages[1].style, MsgStyle::Critical);
        QCOMPARE(test::fileBytes(path), fixtureBytes());
        QCOMPARE(test::folderContents(home.defaultDbFolder()), QStringList{JournalName});
    }

    void damagedFileIsNotConverted()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        const QByteArray cut = fixtureBytes().left(fixtureBytes().size() / 2);
        const QString path = placeOldJournal(home, cut);
        prompt.setNextAnswer(Answer::Yes);
        prompt.setNextFolder({});

        QVERIFY(!Main());
        QCOMPARE(prompt.messages.size(), 3);
        QVERIFY2(
            prompt.messages[1].text.startsWith(QStringLiteral("Conversione non riuscita: ")) &&
                prompt.messages[1].text.endsWith(QStringLiteral("Il file originale non è stato modificato.")),
            qPrintable(prompt.messages[1].text));
        QCOMPARE(prompt.messages[2].text, Refusal);
        QCOMPARE(test::fileBytes(path), cut);
        QCOMPARE(test::folderContents(home.defaultDbFolder()), QStringList{JournalName});
    }
};

QTEST_MAIN(TestStartupConversion)
#include "test_startupconversion.moc"
