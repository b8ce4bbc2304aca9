#include "modaldriver.h"
#include "mainwindowfixture.h"

#include "db/connection.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/journalgrid.h"
#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using test::MainWindowFixture;
using test::ModalDriver;
using test::money;

namespace {
const QDate March2010(2010, 3, 15);

struct Accounts
{
    qint64 cassa, banca, vuoto;
};

Accounts fill(test::Journal& j)
{
    Accounts a{j.addAccount(QStringLiteral("Cassa")), j.addAccount(QStringLiteral("Banca")),
               j.addAccount(QStringLiteral("Vuoto"))};
    j.addEntry(QDate(2010, 3, 1), a.cassa, QStringLiteral("incasso"), money(100), 0);
    j.addEntry(QDate(2010, 3, 5), a.cassa, QStringLiteral("spesa"), 0, money(30));
    j.addEntry(QDate(2009, 6, 5), a.banca, QStringLiteral("anno prima"), money(5), 0); // outside the period
    return a;
}

// Makes the account with that name current in the accounts list.
void selectAccount(frmMain& w, const QString& name)
{
    auto* grid = w.accountsPane()->grid();
    for (int p = 1; p <= grid->displayRowCount(); ++p) {
        if (grid->value(p, 2).toString() == name) {
            grid->setCurrentRow(p);
            return;
        }
    }
    QFAIL("account not listed");
}

QStringList listedAccounts(frmMain& w)
{
    auto* grid = w.accountsPane()->grid();
    QStringList names;
    for (int p = 1; p <= grid->displayRowCount(); ++p)
        names << grid->value(p, 2).toString();
    return names;
}

QAction* accountsAction(frmMain& w, const char* key)
{
    return w.findChild<QAction*>(QStringLiteral("tbConti_") + QString::fromLatin1(key));
}
} // namespace

class TestMainCommands : public QObject
{
    Q_OBJECT
private slots:
    void viewCyclesThroughTheLayouts()
    {
        MainWindowFixture f(March2010);
        fill(f.journal());
        f.journal().setParameter(QStringLiteral("appset_gexlayout"), 3);
        frmMain& w = f.open();
        QList<int> seen;
        for (int i = 0; i < 5; ++i) {
            w.toolbar()->action(QStringLiteral("view"))->trigger();
            seen << w.viewState().layout;
        }
        QCOMPARE(seen, (QList<int>{4, 0, 1, 2, 3}));
        QVERIFY(w.journalGrid()->view()->hasFocus() || !QApplication::focusWidget());
        QCOMPARE(
            f.journal().count(QStringLiteral("SELECT Valore FROM Parametri WHERE Chiave='appset_gexlayout'")),
            3); // never stored
    }

    void viewMenuChoosesALayout_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("groups");
        QTest::newRow("Non raggruppare") << 1 << 1;
        QTest::newRow("Per Conto e Periodo") << 5 << 3;
    }
    void viewMenuChoosesALayout()
    {
        QFETCH(int, position);
        QFETCH(int, groups);
        MainWindowFixture f(March2010);
        fill(f.journal());
        f.journal().setParameter(QStringLiteral("appset_gexlayout"), 2);
        frmMain& w = f.open();
        QMenu* menu = w.toolbar()->viewMenu();
        QCOMPARE(menu->actions().size(), 5);
        QCOMPARE(menu->actions()[position - 1]->text(),
                 position == 1 ? QStringLiteral("Non raggruppare") : QStringLiteral("Per Conto e Periodo"));
        menu->actions()[position - 1]->trigger();
        QCOMPARE(w.viewState().layout, position - 1);
        QCOMPARE(w.journalGrid()->groupCount(), groups);
    }

    void rowCommandsIgnoreGroupRows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("edit") << "edit";
        QTest::newRow("delete") << "delete";
    }
    void rowCommandsIgnoreGroupRows()
    {
        QFETCH(QString, key);
        MainWindowFixture f(March2010);
        fill(f.journal());
        frmMain& w = f.open();
        w.journalGrid()->setCurrentRow(1); // the all-entries header
        QSignalSpy reloads(&w, &frmMain::gexsBindDone);
        f.prompt().setNextAnswer(Answer::Yes);
        w.toolbar()->action(key)->trigger();
        QVERIFY(f.prompt().messages.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(reloads.count(), 0);
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro")), 3);
    }

    void enterAndDoubleClickOnAHeaderDoNothing()
    {
        MainWindowFixture f(March2010);
        fill(f.journal());
        frmMain& w = f.open();
        auto* gex = w.journalGrid();
        gex->setCurrentRow(1);
        QTest::keyClick(gex->view(), Qt::Key_Return);
        emit gex->doubleClicked();
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!w.findChild<QDialog*>(QStringLiteral("frmScadenze")) ||
                !w.findChild<QDialog*>(QStringLiteral("frmScadenze"))->isVisible());
    }

    void f5OpensANewEntryFromAnyControl_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("accounts list") << "gexContiView";
        QTest::newRow("date picker") << "dtpfilter_0";
        QTest::newRow("journal grid") << "gex";
    }
    void f5OpensANewEntryFromAnyControl()
    {
        QFETCH(QString, focus);
        MainWindowFixture f(March2010);
        fill(f.journal());
        frmMain& w = f.open();
        w.activateWindow();
        QWidget* target = w.findChild<QWidget*>(focus);
        QVERIFY(target);
        if (auto* grid = qobject_cast<grid::GroupedGrid*>(target))
            target = grid->view();
        QString title;
        ModalDriver driver([&](QDialog& d) {
            title = d.objectName();
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QTest::keyClick(target, Qt::Key_F5);
        QVERIFY(driver.ran());
        QCOMPARE(title, QStringLiteral("frmScadenze"));
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro")), 3);
    }

    void enterOnAnEntryOpensIt()
    {
        MainWindowFixture f(March2010);
        fill(f.journal());
        frmMain& w = f.open();
        auto* gex = w.journalGrid();
        gex->setCurrentRow(2); // newest entry: "spesa"
        QString description;
        ModalDriver driver([&](QDialog& d) {
            description = d.findChild<QLineEdit*>(QStringLiteral("txtData_0"))->text();
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QTest::keyClick(gex->view(), Qt::Key_Return);
        QVERIFY(driver.ran());
        QCOMPARE(description, QStringLiteral("spesa"));
    }

    void addAndRenameAnAccount()
    {
        MainWindowFixture f(March2010);
        const Accounts a = fill(f.journal());
        frmMain& w = f.open();
        ModalDriver add([](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Nuovo Conto"));
            QTest::keyClicks(d.findChild<QLineEdit*>(QStringLiteral("txtData_0")), QStringLiteral("Posta"));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
        });
        accountsAction(w, "new")->trigger();
        QVERIFY(add.ran());
        QCOMPARE(listedAccounts(w), (QStringList{"Banca", "Cassa", "Posta", "Vuoto"}));

        selectAccount(w, QStringLiteral("Cassa"));
        ModalDriver rename([](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Modifica Conto"));
            auto* box = d.findChild<QLineEdit*>(QStringLiteral("txtData_0"));
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("Contanti"));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cmdSalva")), Qt::LeftButton);
        });
        accountsAction(w, "edit")->trigger();
        QVERIFY(rename.ran());
        QCOMPARE(f.journal().count(
                     QStringLiteral("SELECT count(*) FROM Conti WHERE cntNome='Contanti' AND cntId=%1")
                         .arg(a.cassa)),
                 1);
        // Entries of the account show the new name after the reload.
        auto* gex = w.journalGrid();
        QCOMPARE(gex->value(2, JournalColumn::Conto).toString(), QStringLiteral("Contanti"));
    }

    void deleteAnAccount_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("unused, yes") << "Vuoto" << int(Answer::Yes) << true << QString();
        QTest::newRow("used outside the period")
            << "Banca" << int(Answer::Yes) << false
            << "Conto presente in una o più registrazioni: non verrà eliminato.";
        QTest::newRow("unused, no") << "Vuoto" << int(Answer::No) << false << QString();
    }
    void deleteAnAccount()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        QFETCH(QString, refusal);
        MainWindowFixture f(March2010);
        fill(f.journal());
        frmMain& w = f.open();
        w.toolbar()->action(QStringLiteral("view"))->trigger(); // a layout in memory only
        selectAccount(w, name);
        f.prompt().setNextAnswer(Answer(answer));
        QSignalSpy setUps(&w, &frmMain::settaAmbienteDone);
        QSignalSpy reloads(&w, &frmMain::gexsBindDone);
        accountsAction(w, "delete")->trigger();
        QCOMPARE(f.prompt().messages[0].text, QStringLiteral("Eliminare il Conto selezionato?"));
        QCOMPARE(f.prompt().messages.size(), refusal.isEmpty() ? 1 : 2);
        if (!refusal.isEmpty())
            QCOMPARE(f.prompt().messages[1].text, refusal);
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Conti WHERE cntNome='%1'").arg(name)),
                 deleted ? 0 : 1);
        QCOMPARE(listedAccounts(w).contains(name), !deleted);
        // The set-up and the reload run whatever the answer, in that order.
        QCOMPARE(setUps.count(), 1);
        QCOMPARE(reloads.count(), 1);
        QCOMPARE(w.viewState().layout, 0); // the stored layout is back
    }

    void accountCommandsWithoutAnAccountChangeNothing()
    {
        MainWindowFixture f(March2010);
        frmMain& w = f.open(); // no accounts at all
        QCOMPARE(w.accountsPane()->currentAccountId(), 0);
        f.prompt().setNextAnswer(Answer::Yes);
        accountsAction(w, "delete")->trigger();
        accountsAction(w, "edit")->trigger();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Conti")), 0);
    }
};

QTEST_MAIN(TestMainCommands)
#include "test_maincommands.moc"
