#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "app/journallock.h"
#include "app/mainmod.h"
#include "app/startup.h"
#include "db/connection.h"
#include "journal/journalcolumns.h"
#include "ui/dialogs/helpwindow.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/querygrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/maintoolbar.h"
#include "ui/main/periodpanel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolBar>
#include <QToolTip>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using test::MainWindowFixture;
using test::ModalDriver;
using test::money;

namespace {
const QDate Today(2026, 3, 15);

template <typename T = QWidget> T* child(QWidget& parent, const QString& name)
{
    auto* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

// Clicks the toolbar button of the action with that name.
void press(frmMain& w, const QString& action)
{
    auto* a = child<QAction>(w, action);
    const auto bars = w.findChildren<QToolBar*>();
    for (QToolBar* bar : bars) {
        if (QWidget* button = bar->widgetForAction(a))
            return click(button);
    }
}

// Entry rows of the grid: display position by description.
QMap<QString, int> shownEntries(frmMain& w)
{
    QMap<QString, int> seen;
    grid::GroupedGrid* gex = w.journalGrid();
    for (int p = 1; p <= gex->displayRowCount(); ++p) {
        if (gex->rowType(p) == journal::RowType::Entry)
            seen.insert(gex->value(p, journal::JournalColumn::Descrizione).toString(), p);
    }
    return seen;
}
} // namespace

class TestUsability : public QObject
{
    Q_OBJECT
private slots:
    void closingTheMainWindowEndsTheProgram()
    {
        MainWindowFixture f(Today);
        frmMain* main = Main();
        QVERIFY(main);
        QPointer<HelpWindow> help = HelpWindow::showHelp(QStringLiteral("conti.html"));
        press(*main, QStringLiteral("close"));
        QVERIFY(!main->isVisible());
        QVERIFY(!help || !help->isVisible());
        JournalLock again(mainmod::databaseFilePath());
        QVERIFY(again.acquire()); // the next start is not refused
        unloadMainWindow();
    }

    void pickersShowThePeriodInForce_data()
    {
        QTest::addColumn<QDate>("workingDate");
        QTest::addColumn<int>("startingMonth");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("working date in the next year")
            << QDate(2027, 6, 10) << 1 << QDate(2027, 1, 1) << QDate(2027, 1, 1) << QStringList{"gen27"};
        QTest::newRow("year starting in March")
            << Today << 3 << QDate(2026, 3, 1) << QDate(2026, 3, 31) << QStringList{"mar"};
    }
    void pickersShowThePeriodInForce()
    {
        QFETCH(QDate, workingDate);
        QFETCH(int, startingMonth);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QStringList, shown);
        MainWindowFixture f(Today);
        const qint64 cassa = f.journal().addAccount(QStringLiteral("Cassa"));
        for (const auto& [date, text] : {std::pair{QDate(2026, 2, 10), "feb"},
                                         {QDate(2026, 3, 10), "mar"},
                                         {QDate(2027, 1, 1), "gen27"}})
            f.journal().addEntry(date, cassa, QString::fromLatin1(text), money(1), {});
        frmMain& w = f.open();
        click(child(w, QStringLiteral("optDate_3")));
        child<QDateEdit>(w, QStringLiteral("dtpfilter_1"))->setDate(QDate(2026, 3, 31));
        child<QDateEdit>(w, QStringLiteral("dtpfilter_0"))->setDate(QDate(2026, 2, 1));

        ModalDriver driver([&](QDialog& d) {
            child<QDateEdit>(d, QStringLiteral("dtp"))->setDate(workingDate);
            child<QComboBox>(d, QStringLiteral("cmbData_1"))->setCurrentIndex(startingMonth - 1);
            click(child(d, QStringLiteral("cmdClose")));
        });
        press(w, QStringLiteral("tbPreferenze_1"));
        QVERIFY(driver.ran());
        QCOMPARE((DateRange{w.periodPanel()->pickerDate(0), w.periodPanel()->pickerDate(1)}),
                 (DateRange{start, end}));
        QCOMPARE(w.viewState().selected, (DateRange{start, end}));
        QCOMPARE(shownEntries(w).keys(), shown);
    }

    void purgeDialogHasNoKeysOfItsOwn()
    {
        MainWindowFixture f(Today);
        frmMain& w = f.open();
        bool stillOpen = false;
        ModalDriver driver([&](QDialog& d) {
            QTest::keyClick(child(d, QStringLiteral("dtp")), Qt::Key_Return);
            QTest::keyClick(child(d, QStringLiteral("dtp")), Qt::Key_Escape);
            stillOpen = d.isVisible();
            click(child(d, QStringLiteral("cmdAnnulla")));
        });
        press(w, QStringLiteral("tools"));
        QVERIFY(driver.ran());
        QVERIFY(stillOpen);
        QVERIFY(f.prompt().messages.isEmpty()); // nothing counted
    }

    void amountsRoundToFourDecimals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<QString>("shownOnLeave");
        QTest::newRow("rounded up") << "1,234567" << qint64(12346) << "1,23 ";
        QTest::newRow("tie to even, up") << "1,00015" << qint64(10002) << "1,00 ";
        QTest::newRow("above the tie") << "1.000050001" << qint64(10001) << "1,00 ";
    }
    void amountsRoundToFourDecimals()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shownOnLeave);
        QFETCH(qint64, stored);
        MainWindowFixture f(Today);
        f.journal().addAccount(QStringLiteral("Cassa"));
        frmMain& w = f.open();
        bool left = false;
        QString shown;
        ModalDriver driver([&](QDialog& d) {
            QTest::keyClicks(child(d, QStringLiteral("txtData_0")), QStringLiteral("spesa"));
            child<QComboBox>(d, QStringLiteral("dtcData"))->setCurrentIndex(0);
            auto* box = child<QLineEdit>(d, QStringLiteral("txtData_1"));
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, typed);
            QTest::keyClick(box, Qt::Key_Tab);
            left = !box->hasFocus();
            shown = box->text();
            click(child(d, QStringLiteral("cmdSalva")));
        });
        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(driver.ran());
        QVERIFY(left);
        QCOMPARE(shown, shownOnLeave);
        QCOMPARE(f.journal().count(QStringLiteral("SELECT mlEntrate FROM Movilibro")), stored);
    }

    void editorsHaveAFixedSize_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::newRow("entry") << "new";
        QTest::newRow("account") << "tbConti_new";
        QTest::newRow("about") << "about";
    }
    void editorsHaveAFixedSize()
    {
        QFETCH(QString, opener);
        const QString closer = opener == u"about" ? QStringLiteral("cmdOK") : QStringLiteral("cmdAnnulla");
        MainWindowFixture f(Today);
        f.journal().addAccount(QStringLiteral("Cassa"));
        frmMain& w = f.open();
        QSize before, after;
        ModalDriver driver([&](QDialog& d) {
            before = d.size();
            d.resize(before + QSize(150, 80));
            after = d.size();
            click(child(d, closer));
        });
        press(w, opener);
        QVERIFY(driver.ran());
        QCOMPARE(after, before);
    }

    void columnsFitTheGridInEveryLayout()
    {
        MainWindowFixture f(Today);
        const qint64 accounts[] = {f.journal().addAccount(QStringLiteral("Cassa")),
                                   f.journal().addAccount(QStringLiteral("Banca"))};
        for (int i = 0; i < 40; ++i) // more rows than the grid shows: the vertical bar takes its width
            f.journal().addEntry(QDate(2026, 1, 1).addDays(2 * i), accounts[i % 2], QStringLiteral("voce"),
                                 money(1000000), {});
        frmMain& w = f.open();
        QTreeView* view = w.journalGrid()->view();
        for (int layout = 0; layout < 5; ++layout, press(w, QStringLiteral("view"))) {
            QCOMPARE(w.viewState().layout, layout);
            QCoreApplication::processEvents();
            QVERIFY(view->verticalScrollBar()->isVisible());
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
            const int saldo = journal::JournalColumn::Saldo;
            QVERIFY(view->header()->sectionViewportPosition(saldo) + view->header()->sectionSize(saldo) <=
                    view->viewport()->width());
        }
    }

    // Every command of the toolbar stays clear of the search beside it.
    void toolbarLeavesRoomForTheSearch()
    {
        MainWindowFixture f(Today);
        frmMain& w = f.open();
        const int search = w.findChild<QWidget*>(QStringLiteral("picCerca"))->geometry().left();
        for (QAction* a : w.toolbar()->actions())
            QVERIFY2(w.toolbar()->widgetForAction(a)->isVisible() &&
                         w.toolbar()->widgetForAction(a)->geometry().right() < search,
                     qPrintable(a->objectName()));
    }

    void accountsPaneDrawsEmptyRowsWithoutBorder()
    {
        MainWindowFixture f(Today);
        for (const char* name : {"Banca", "Cassa", "Posta"})
            f.journal().addAccount(QString::fromLatin1(name));
        frmMain& w = f.open();
        grid::GroupedGrid* accounts = w.accountsPane()->grid();
        QTreeView* view = accounts->view();
        QCOMPARE(view->frameShape(), QFrame::NoFrame);
        const int h = view->visualRect(accounts->model()->indexOf(1, 2)).height();
        QVERIFY(h > 0 && 6 * h < view->viewport()->height());
        const QImage shot = view->viewport()->grab().toImage();
        const auto colourOfRow = [&](int i) { return shot.pixelColor(1, i * h + h / 2); };
        QVERIFY(colourOfRow(1) != colourOfRow(2)); // the two alternating colours
        QCOMPARE(colourOfRow(3), colourOfRow(1));  // empty rows go on alternating
        QCOMPARE(colourOfRow(4), colourOfRow(2));
    }

    void helpButtonOpensTheIndexAsF1Does()
    {
        MainWindowFixture f(Today);
        frmMain& w = f.open();
        HelpWindow::showHelp(QStringLiteral("conti.html"));
        press(w, QStringLiteral("help"));
        QCOMPARE(HelpWindow::instance()->currentPage(), HelpWindow::pageUrl(HelpWindow::pageFor(&w)));
        HelpWindow::instance()->close();
    }

    void reloadFailureIsToldOnce_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::newRow("journal removed") << true;
        QTest::newRow("journal locked") << false;
    }
    void reloadFailureIsToldOnce()
    {
        QFETCH(bool, removed);
        MainWindowFixture f(Today);
        f.journal().addEntry(Today, f.journal().addAccount(QStringLiteral("Cassa")), QStringLiteral("x"),
                             money(1), {});
        frmMain& w = f.open();
        std::optional<db::Connection> holder;
        if (removed) {
            QVERIFY(QFile::remove(f.journal().path()));
        } else {
            holder.emplace(f.journal().open());
            holder->exec(QStringLiteral("BEGIN EXCLUSIVE"));
        }
        click(child(w, QStringLiteral("optDate_1")));
        QCOMPARE(f.prompt().messages.size(), 1);
    }

    void emptyStateSaysAnAccountComesFirst()
    {
        MainWindowFixture f(Today);
        frmMain& w = f.open();
        auto* line = child(w, QStringLiteral("lblNeedsAccount"));
        QVERIFY(line->isVisible());
        ModalDriver driver([&](QDialog& d) {
            QTest::keyClicks(child(d, QStringLiteral("txtData_0")), QStringLiteral("Cassa"));
            click(child(d, QStringLiteral("cmdSalva")));
        });
        press(w, QStringLiteral("tbConti_new"));
        QVERIFY(driver.ran());
        QVERIFY(child(w, QStringLiteral("picVoid"))->isVisible()); // still no entry
        QVERIFY(!line->isVisible());
    }

    void cutTextShowsWholeAsTooltip()
    {
        MainWindowFixture f(Today);
        const QString name = QStringLiteral("Conto corrente ordinario della filiale di via Roma");
        const QString text =
            QStringLiteral("Pagamento della rata trimestrale del mutuo ipotecario ").repeated(3);
        f.journal().addEntry(Today, f.journal().addAccount(name), text, money(1), {});
        f.journal().addEntry(Today, f.journal().addAccount(QStringLiteral("Cassa")),
                             QStringLiteral("affitto"), money(1), {});
        frmMain& w = f.open();
        QTreeView* view = w.journalGrid()->view();
        const auto tipAt = [&](const QString& entry, int column) {
            const QRect cell =
                view->visualRect(w.journalGrid()->model()->indexOf(shownEntries(w)[entry], column));
            QHelpEvent hover(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
            QApplication::sendEvent(view->viewport(), &hover);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        // First: Qt hides a tooltip only after a delay.
        QCOMPARE(tipAt(QStringLiteral("affitto"), journal::JournalColumn::Descrizione), QString());
        QCOMPARE(tipAt(text, journal::JournalColumn::Descrizione), text);
        QCOMPARE(tipAt(text, journal::JournalColumn::Conto), name);
    }

    void digitsAfterAClickWriteTheDate()
    {
        MainWindowFixture f(Today);
        frmMain& w = f.open();
        click(child(w, QStringLiteral("optDate_3")));
        auto* picker = child<QDateEdit>(w, QStringLiteral("dtpfilter_0"));
        auto* edit = picker->findChild<QLineEdit*>();
        // On the year: typing starts from the day all the same.
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() * 2 / 3, edit->height() / 2));
        QTest::keyClicks(picker, QStringLiteral("05022026"));
        QCOMPARE(picker->date(), QDate(2026, 2, 5));
        QCOMPARE(w.viewState().selected.start, QDate(2026, 2, 5));
    }
};

QTEST_MAIN(TestUsability)
#include "test_usability.moc"
