// The help window: pages, links, F1 from the main window and from dialogs.
#include "dialogfixture.h"
#include "keyboard.h"
#include "modaldriver.h"

#include "ui/dialogs/frmconto.h"
#include "ui/dialogs/frmdelclosedrows.h"
#include "ui/dialogs/frmoptions.h"
#include "ui/dialogs/helpwindow.h"

#include <QFile>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QStringList Pages = {"index.html",  "registrazioni.html", "conti.html",        "periodi.html",
                           "stampa.html", "preferenze.html",    "eliminazione.html", "tasti.html"};

QString resourcePath(const QUrl& url)
{
    return QLatin1Char(':') + url.path();
}

QStringList linksOf(const QTextDocument& document)
{
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.isEmpty() && !links.contains(href))
                links << href;
        }
    }
    return links;
}

QString pageName()
{
    return HelpWindow::instance() ? HelpWindow::instance()->currentPage().fileName() : QString();
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void pagesExistAndLinksResolve_data();
    void pagesExistAndLinksResolve();
    void showHelpOpensTheIndex();
    void linksFollowedFromTheKeyboard();
    void outsideAddressesAreNotLoaded();
    void f1FromMainWindow();
    void f1FromDialogs_data();
    void f1FromDialogs();
};

void TestHelp::initTestCase()
{
    pinItalianLocale();
    HelpWindow::installF1();
}

void TestHelp::cleanup()
{
    delete HelpWindow::instance();
}

void TestHelp::pagesExistAndLinksResolve_data()
{
    QTest::addColumn<QString>("page");
    for (const QString& page : Pages)
        QTest::newRow(qPrintable(page)) << page;
}

void TestHelp::pagesExistAndLinksResolve()
{
    QFETCH(QString, page);
    const QUrl url = HelpWindow::pageUrl(page);
    QFile file(resourcePath(url));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(url.toString()));
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    QVERIFY(!document.metaInformation(QTextDocument::DocumentTitle).isEmpty());
    QVERIFY(document.toPlainText().size() > 300);
    const QStringList links = linksOf(document);
    QVERIFY(!links.isEmpty());
    for (const QString& link : links) {
        const QUrl target = url.resolved(QUrl(link));
        QCOMPARE(target.scheme(), QStringLiteral("qrc"));
        QVERIFY2(QFile::exists(resourcePath(target)), qPrintable(link));
    }
}

void TestHelp::showHelpOpensTheIndex()
{
    HelpWindow* help = HelpWindow::showHelp();
    QVERIFY(help->isVisible());
    QCOMPARE(pageName(), QStringLiteral("index.html"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Guida di Movilibro")));
    QCOMPARE(HelpWindow::showHelp(QStringLiteral("tasti.html")), help);
    QCOMPARE(pageName(), QStringLiteral("tasti.html"));
}

void TestHelp::linksFollowedFromTheKeyboard()
{
    HelpWindow* help = HelpWindow::showHelp(QStringLiteral("index.html"));
    QVERIFY(QTest::qWaitForWindowActive(help));
    help->browser()->setFocus();
    QTest::keyClick(help->browser(), Qt::Key_Tab);
    QTest::keyClick(help->browser(), Qt::Key_Return);
    QCOMPARE(pageName(), QStringLiteral("registrazioni.html"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Nuova registrazione")));
    QTest::keyClick(help->browser(), Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(pageName(), QStringLiteral("index.html"));
}

void TestHelp::outsideAddressesAreNotLoaded()
{
    HelpWindow* help = HelpWindow::showHelp(QStringLiteral("conti.html"));
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("https://www.example.com/")));
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    QCOMPARE(help->currentPage(), HelpWindow::pageUrl(QStringLiteral("conti.html")));
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("periodi.html")));
    QCOMPARE(pageName(), QStringLiteral("periodi.html"));
}

void TestHelp::f1FromMainWindow()
{
    DialogFixture fx;
    QTest::keyClick(&fx.main(), Qt::Key_F1);
    QVERIFY(HelpWindow::instance());
    QVERIFY(HelpWindow::instance()->isVisible());
    QCOMPARE(pageName(), QStringLiteral("index.html"));
}

void TestHelp::f1FromDialogs_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("page");
    QTest::newRow("account editor") << "frmConto"
                                    << "conti.html";
    QTest::newRow("purge") << "frmDelClosedRows"
                           << "eliminazione.html";
    QTest::newRow("preferences") << "frmOptions"
                                 << "preferenze.html";
}

void TestHelp::f1FromDialogs()
{
    QFETCH(QString, dialog);
    QFETCH(QString, page);
    DialogFixture fx;
    QTest::keyClick(&fx.main(), Qt::Key_F1); // a help window already open stays one
    QString shownPage, pageAfterHome;
    bool visible = false;
    ModalDriver driver([&](QDialog& d) {
        press(Qt::Key_F1);
        HelpWindow* help = HelpWindow::instance();
        visible = help && help->isVisible();
        shownPage = pageName();
        if (help) {
            // The help must take input while the dialog is modal: the click
            // goes through the window system, which drops input to blocked windows.
            QVERIFY(QTest::qWaitForWindowExposed(help));
            auto* home = help->findChild<QToolButton*>(QStringLiteral("helpHome"));
            const QPoint at = home->mapTo(help, home->rect().center());
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, at);
            pageAfterHome = pageName();
        }
        click(d.findChild<QPushButton*>(dialog == "frmOptions" ? "cmdClose" : "cmdAnnulla"));
    });
    if (dialog == "frmConto")
        frmConto(&fx.main()).Nuovo(fx.main());
    else if (dialog == "frmDelClosedRows")
        frmDelClosedRows(&fx.main()).Mostra(fx.main());
    else
        runPreferences(fx.main());
    QVERIFY(!driver.timedOut());
    QVERIFY(visible);
    QCOMPARE(shownPage, page);
    QCOMPARE(pageAfterHome, QStringLiteral("index.html"));
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
