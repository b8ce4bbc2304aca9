// The About box.
#include "keyboard.h"
#include "modaldriver.h"
#include "testsupport.h"

#include "app/mainmod.h"
#include "ui/dialogs/frmabout.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace movilibro;
using namespace movilibro::test;

namespace {

// Receives what the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
    bool busyWhileOpening = false;
public slots:
    void open(const QUrl& url)
    {
        busyWhileOpening =
            QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::BusyCursor;
        opened << url;
    }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void showsTitleVersionAndPath_data();
    void showsTitleVersionAndPath();
    void webLinkOpensTheSite_data();
    void webLinkOpensTheSite();
};

void TestAbout::initTestCase()
{
    pinItalianLocale();
    mainmod::AppTitle = mainmod::ApplicationTitle;
}

void TestAbout::showsTitleVersionAndPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("root") << QString() << "/movilibro.mdb";
    QTest::newRow("documents") << "/home/anna/Documenti/MovilibroDB"
                               << "/home/anna/Documenti/MovilibroDB/movilibro.mdb";
}

void TestAbout::showsTitleVersionAndPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    mainmod::DBFolder = folder;
    frmAbout about;
    QString caption, title, version, label, shownPath, tab;
    bool readOnly = false, picture = false;
    ModalDriver driver([&](QDialog& d) {
        caption = d.windowTitle();
        title = control<QLabel>(d, "lblTitle_0")->text();
        version = control<QLabel>(d, "lblVersion")->text();
        label = control<QLabel>(d, "Label")->text();
        shownPath = control<QLineEdit>(d, "lblDBPath")->text();
        readOnly = control<QLineEdit>(d, "lblDBPath")->isReadOnly();
        tab = control<QTabWidget>(d, "SSTab1")->tabText(0);
        picture = !control<QLabel>(d, "Image1")->pixmap().isNull();
        click(control<QPushButton>(d, "cmdOK"));
    });
    about.Mostra();
    QVERIFY(!driver.timedOut());
    QVERIFY(!about.isVisible());
    QCOMPARE(caption, QStringLiteral("Movilibro"));
    QCOMPARE(title, QStringLiteral("Movilibro"));
    QCOMPARE(version, QStringLiteral("Versione: 1.0.2"));
    QCOMPARE(label, QStringLiteral("File di Database:"));
    QCOMPARE(shownPath, path);
    QVERIFY(readOnly);
    QCOMPARE(tab, QStringLiteral("Info"));
    QVERIFY(picture);
}

void TestAbout::webLinkOpensTheSite_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("click") << false;
    QTest::newRow("Enter") << true;
}

void TestAbout::webLinkOpensTheSite()
{
    QFETCH(bool, byKeyboard);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    frmAbout about;
    ModalDriver driver([&](QDialog& d) {
        auto* link = control<QLabel>(d, "lblWeb");
        if (byKeyboard) {
            link->setFocus();
            press(Qt::Key_Return);
        } else {
            click(link);
        }
        press(Qt::Key_Escape);
    });
    about.Mostra();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QVERIFY(!driver.timedOut());
    QCOMPARE(catcher.opened, QList<QUrl>({QUrl(QStringLiteral("https://www.movilibro.it"))}));
    QVERIFY(catcher.busyWhileOpening);
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
