// The search box over the real main window's journal grid.
#include "mainwindowfixture.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"
#include "ui/main/journalsearch.h"
#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using grid::RowType;
using test::MainWindowFixture;
using test::money;

namespace {

const QDate March2010(2010, 3, 15);

// The worked example: 01/03 +100 (id 3), 05/03 -30 (id 7, Banca), 05/03 +10 (id 9).
void fillExample(test::Journal& j)
{
    const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
    const qint64 banca = j.addAccount(QStringLiteral("Banca"));
    db::Connection conn = j.open();
    auto add = [&](qint64 id, int day, qint64 account, const char* text, qint64 in, qint64 out) {
        conn.prepare(QStringLiteral("INSERT INTO Movilibro (mlId, mlData, mlConto, mlDescrizione, mlEntrate, "
                                    "mlUscite) VALUES (?, ?, ?, ?, ?, ?)"))
            .bind(0, id)
            .bind(1, db::isoDate(QDate(2010, 3, day)))
            .bind(2, account)
            .bind(3, QString::fromUtf8(text))
            .bind(4, in)
            .bind(5, out)
            .run();
    };
    add(3, 1, cassa, "Incasso fattura", money(100), 0);
    add(7, 5, banca, "Bolletta luce", 0, money(30));
    add(9, 5, cassa, "Rimborso Luce", money(10), 0);
}

// Rows as "H<level>", "T<level>", "E<id>:<balance in units>".
QStringList rows(const grid::GroupedGrid& gex)
{
    QStringList shape;
    for (int p = 1; p <= gex.displayRowCount(); ++p) {
        const int level = gex.level(p);
        if (gex.rowType(p) == RowType::GroupHeader)
            shape << QStringLiteral("H%1").arg(level);
        else if (gex.rowType(p) == RowType::GroupTotal)
            shape << QStringLiteral("T%1").arg(level);
        else
            shape << QStringLiteral("E%1:%2")
                         .arg(gex.value(p, JournalColumn::Id).toLongLong())
                         .arg(gex.value(p, JournalColumn::Saldo).value<Currency>().raw() / 10000);
    }
    return shape;
}

// Everything the grid draws, row by row.
QStringList drawn(MainWindowFixture& f)
{
    QStringList cells;
    for (int p = 1; p <= f.window().journalGrid()->displayRowCount(); ++p) {
        for (int col = 0; col <= JournalColumn::Saldo; ++col)
            cells << f.shown(p, col);
    }
    return cells;
}

QLineEdit* box(frmMain& w)
{
    return w.findChild<QLineEdit*>(QStringLiteral("txtCerca"));
}

void typeSearch(frmMain& w, const QString& text)
{
    box(w)->clear();
    QTest::keyClicks(box(w), text);
    w.findChild<JournalSearch*>()->flush();
}

} // namespace

class TestJournalSearch : public QObject
{
    Q_OBJECT
private slots:
    void filteredTotalsAndBalances_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toggle");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("caption");
        QTest::newRow("word") << 0 << "luce"
                              << "" << QStringList{"H1", "E9:-20", "E7:-30", "T1"}
                              << "2 registrazioni · Entrate 10,00 · Uscite 30,00 · Saldo -20,00";
        QTest::newRow("excluded") << 0 << "-LUCE"
                                  << "" << QStringList{"H1", "E3:100", "T1"}
                                  << "1 registrazione · Entrate 100,00 · Uscite 0,00 · Saldo 100,00";
        QTest::newRow("range") << 0 << "5..50"
                               << "" << QStringList{"H1", "E9:-20", "E7:-30", "T1"}
                               << "2 registrazioni · Entrate 10,00 · Uscite 30,00 · Saldo -20,00";
        QTest::newRow("only in") << 0 << ""
                                 << "chkEntrate" << QStringList{"H1", "E9:110", "E3:100", "T1"}
                                 << "2 registrazioni · Entrate 110,00 · Uscite 0,00 · Saldo 110,00";
        QTest::newRow("by account") << 2 << "luce"
                                    << ""
                                    << QStringList{"H1", "H2", "E7:-30", "T2", "H2", "E9:10", "T2", "T1"}
                                    << "2 registrazioni · Entrate 10,00 · Uscite 30,00 · Saldo -20,00";
        QTest::newRow("group left out") << 2 << "cassa -luce"
                                        << "" << QStringList{"H1", "H2", "E3:100", "T2", "T1"}
                                        << "1 registrazione · Entrate 100,00 · Uscite 0,00 · Saldo 100,00";
    }
    void filteredTotalsAndBalances()
    {
        QFETCH(int, layout);
        QFETCH(QString, text);
        QFETCH(QString, toggle);
        QFETCH(QStringList, rows);
        QFETCH(QString, caption);
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        w.setLayout(layout);
        w.gexsBind();
        typeSearch(w, text);
        if (!toggle.isEmpty())
            QTest::mouseClick(w.findChild<QToolButton*>(toggle), Qt::LeftButton);
        QCOMPARE(::rows(*w.journalGrid()), rows);
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Filtro: %1]").arg(caption));
    }

    void clearingRestoresTheView()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        auto* gex = w.journalGrid();
        const QStringList before = drawn(f);
        typeSearch(w, "luce");
        QCOMPARE(gex->displayRowCount(), 4);
        gex->setCurrentRow(3); // id 7
        QTest::keyClick(box(w), Qt::Key_Escape);
        QVERIFY(box(w)->text().isEmpty());
        QCOMPARE(drawn(f), before);
        QCOMPARE(f.idAt(gex->currentRow()), 7);
    }

    void typingWaitsForThePauseAndCtrlFFindsTheBox()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        QApplication::setActiveWindow(&w);
        w.journalGrid()->view()->setFocus();
        QTest::keyClick(w.journalGrid()->view(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(box(w)->hasFocus());
        QTest::keyClicks(box(w), "incasso");
        QCOMPARE(w.journalGrid()->displayRowCount(), 5);
        w.findChild<JournalSearch*>()->flush();
        QCOMPARE(::rows(*w.journalGrid()), (QStringList{"H1", "E3:100", "T1"}));
    }

    void noMatchSurvivesReloadAndBadRangeKeepsTheFilter()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        auto* noMatch = w.findChild<QLabel*>(QStringLiteral("lblNessunRisultato"));
        typeSearch(w, "gas");
        QCOMPARE(w.journalGrid()->displayRowCount(), 0);
        QVERIFY(noMatch->isVisible());
        QVERIFY(noMatch->text().contains(u"gas"));
        w.gexsBind();
        QCOMPARE(w.journalGrid()->displayRowCount(), 0);
        QVERIFY(noMatch->isVisible());
        typeSearch(w, "luce");
        QVERIFY(!noMatch->isVisible());
        QTest::keyClicks(box(w), " 200..100");
        w.findChild<JournalSearch*>()->flush();
        QCOMPARE(::rows(*w.journalGrid()), (QStringList{"H1", "E9:-20", "E7:-30", "T1"}));
        w.SettaAmbiente();
        w.gexsBind();
        QCOMPARE(w.journalGrid()->displayRowCount(), 4);
    }

    void searchBoxLeavesEveryToolbarButtonFree()
    {
        MainWindowFixture f(March2010);
        frmMain& w = f.open();
        const QRect bar = w.findChild<JournalSearch*>()->geometry();
        QVERIFY(bar.bottom() < w.journalGrid()->geometry().top());
        for (QAction* action : w.toolbar()->actions()) {
            const QWidget* button = w.toolbar()->widgetForAction(action);
            QVERIFY(button && button->isVisible());
            const QRect shown(button->mapTo(&w, QPoint(0, 0)), button->size());
            QVERIFY2(!shown.intersects(bar), qPrintable(action->objectName()));
        }
    }

    void pdfButtonExportsTheFilteredReport()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal());
        frmMain& w = f.open();
        typeSearch(w, "luce");
        const QString pdf = f.journal().folder() + QStringLiteral("/luce.pdf");
        f.prompt().setNextSaveFile(pdf, QStringLiteral("Acrobat reader (*.pdf)"));
        w.findChild<QAction*>(QStringLiteral("export"))->trigger();
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(tool.waitForFinished(60000));
        const QString text = QString::fromUtf8(tool.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral("Filtro: luce")));
        QVERIFY(text.contains(QStringLiteral("Rimborso Luce")));
        QVERIFY(!text.contains(QStringLiteral("Incasso")));
    }
};

QTEST_MAIN(TestJournalSearch)
#include "test_journalsearch.moc"
