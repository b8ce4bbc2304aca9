#include "app/frmforfolders.h"
#include "modaldriver.h"
#include "testsupport.h"
#include "ui/prompt/prompt.h"

#include <QAbstractButton>
#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
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

    // Qt's own dialogs opened through the prompt speak Italian, the file
    // dialogs' "Tipo" column included, with no translation installed before.
    void dialogsAreItalian()
    {
        test::TestHome home;
        QVERIFY(QDir(home.home()).mkdir(QStringLiteral("estratti")));
        QStringList seen;
        const auto read = [&](QDialog& d) {
            if (auto* files = qobject_cast<QFileDialog*>(&d)) {
                seen << d.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text()
                     << files->iconProvider()->type(QFileInfo(home.home() + QStringLiteral("/estratti")));
            } else {
                for (QAbstractButton* button : qobject_cast<QMessageBox*>(&d)->buttons())
                    seen << button->text();
            }
            d.reject();
        };
        {
            test::ModalDriver driver(read);
            Prompt::instance().saveFile(nullptr, {QStringLiteral("Documento PDF (*.pdf)")},
                                        home.home() + QStringLiteral("/a.pdf"));
        }
        {
            test::ModalDriver driver(read);
            Prompt::instance().openFile(nullptr, {QStringLiteral("Estratti (*.csv)")}, QString());
        }
        {
            test::ModalDriver driver(read);
            Prompt::instance().message(nullptr, QStringLiteral("Procedere?"), MsgStyle::YesNo);
        }
        QCOMPARE(seen, QStringList({"Cerca in:", "Cartella", "Cerca in:", "Cartella", "&Sì", "&No"}));
    }
};

QTEST_MAIN(TestFolderChoice)
#include "test_folderchoice.moc"
