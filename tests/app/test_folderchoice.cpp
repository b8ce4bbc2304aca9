#include "app/frmforfolders.h"
#include "testsupport.h"
#include "ui/prompt/prompt.h"

#include <QtTest>

using namespace movilibro;

class TestFolderChoice : public QObject
{
    Q_OBJECT
private slots:
    // The user learns, in Italian, which settings file could not be written.
    void failureNamesTheSettingsFile()
    {
        test::TestHome home;
        ScopedScriptedPrompt prompt;
        qputenv("XDG_CONFIG_HOME", "/dev/null/config"); // no folder can be made under it
        prompt.setNextFolder(home.home());
        frmForFolders().Apri();
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].style, MsgStyle::Critical);
        QVERIFY2(prompt.messages[0].text.contains(QStringLiteral("/dev/null/config/Marlenco/registry.json")),
                 qPrintable(prompt.messages[0].text));
    }
};

QTEST_MAIN(TestFolderChoice)
#include "test_folderchoice.moc"
