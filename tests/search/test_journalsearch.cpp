// The search box over the real main window's journal grid.
#include "mainwindowfixture.h"

#include "journal/journalcolumns.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalsearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using journal::RowType;
using test::money;

namespace {

// The worked example, March 2010: id 1 on 01/03 +100, id 2 on 05/03 -30 (Banca), id 3 on 05/03 +10.
struct Example : test::MainWindowFixture
{
    Example() : MainWindowFixture(QDate(2010, 3, 15))
    {
        const qint64 cassa = journal().addAccount(QStringLiteral("Cassa"));
        const qint64 banca = journal().addAccount(QStringLiteral("Banca"));
        journal().addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("Incasso fattura"), money(100), {});
        journal().addEntry(QDate(2010, 3, 5), banca, QStringLiteral("Bolletta luce"), {}, money(30));
        journal().addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("Rimborso Luce"), money(10), {});
        open();
    }
    grid::GroupedGrid& gex() { return *window().journalGrid(); }
    QLineEdit& box() { return *window().findChild<QLineEdit*>(QStringLiteral("txtCerca")); }
    void flush() { window().findChild<JournalSearch*>()->flush(); }
    void type(const QString& text)
    {
        box().clear();
        QTest::keyClicks(&box(), text);
        flush();
    }
    // Rows as "H<level>", "T<level>", "E<id>:<balance in units>".
    QStringList rows()
    {
        QStringList shape;
        for (int p = 1; p <= gex().displayRowCount(); ++p) {
            if (gex().rowType(p) == RowType::Entry)
                shape << QStringLiteral("E%1:%2").arg(idAt(p)).arg(balance(p) / 10000);
            else
                shape << (gex().rowType(p) == RowType::GroupHeader ? u'H' : u'T') +
                             QString::number(gex().level(p));
        }
        return shape;
    }
    // Everything the grid draws.
    QStringList drawn()
    {
        QStringList cells;
        for (int p = 1; p <= gex().displayRowCount(); ++p) {
            for (int col = 0; col <= journal::JournalColumn::Saldo; ++col)
                cells << shown(p, col);
        }
        return cells;
    }
};

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
        const QString luce = "2 registrazioni · Entrate 10,00 · Uscite 30,00 · Saldo -20,00";
        const QString incasso = "1 registrazione · Entrate 100,00 · Uscite 0,00 · Saldo 100,00";
        QTest::newRow("word") << 0 << "luce"
                              << "" << QStringList{"H1", "E3:-20", "E2:-30", "T1"} << luce;
        QTest::newRow("excluded") << 0 << "-LUCE"
                                  << "" << QStringList{"H1", "E1:100", "T1"} << incasso;
        QTest::newRow("range") << 0 << "5..50"
                               << "" << QStringList{"H1", "E3:-20", "E2:-30", "T1"} << luce;
        QTest::newRow("only in") << 0 << ""
                                 << "chkEntrate" << QStringList{"H1", "E3:110", "E1:100", "T1"}
                                 << "2 registrazioni · Entrate 110,00 · Uscite 0,00 · Saldo 110,00";
        QTest::newRow("by account") << 2 << "luce"
                                    << ""
                                    << QStringList{"H1", "H2", "E2:-30", "T2", "H2", "E3:10", "T2", "T1"}
                                    << luce;
        QTest::newRow("group left out") << 2 << "cassa -luce"
                                        << "" << QStringList{"H1", "H2", "E1:100", "T2", "T1"} << incasso;
    }
    void filteredTotalsAndBalances()
    {
        QFETCH(int, layout);
        QFETCH(QString, text);
        QFETCH(QString, toggle);
        QFETCH(QStringList, rows);
        QFETCH(QString, caption);
        Example f;
        f.window().setLayout(layout);
        f.window().gexsBind();
        f.type(text);
        if (!toggle.isEmpty())
            QTest::mouseClick(f.window().findChild<QToolButton*>(toggle), Qt::LeftButton);
        QCOMPARE(f.rows(), rows);
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Filtro: %1]").arg(caption));
    }

    void clearingRestoresTheView()
    {
        Example f;
        const QStringList before = f.drawn();
        f.type("luce");
        f.gex().setCurrentRow(3); // id 2
        QTest::keyClick(&f.box(), Qt::Key_Escape);
        QVERIFY(f.box().text().isEmpty());
        QCOMPARE(f.drawn(), before);
        QCOMPARE(f.idAt(f.gex().currentRow()), 2);
    }

    void typingWaitsForThePauseAndCtrlFFindsTheBox()
    {
        Example f;
        QApplication::setActiveWindow(&f.window());
        f.gex().view()->setFocus();
        QTest::keyClick(f.gex().view(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.box().hasFocus());
        QTest::keyClicks(&f.box(), "incasso");
        QCOMPARE(f.gex().displayRowCount(), 5);
        f.flush();
        QCOMPARE(f.rows(), (QStringList{"H1", "E1:100", "T1"}));
    }

    void noMatchSurvivesReloadAndBadRangeKeepsTheFilter()
    {
        Example f;
        auto* noMatch = f.window().findChild<QLabel*>(QStringLiteral("lblNessunRisultato"));
        f.type("gas");
        QCOMPARE(f.gex().displayRowCount(), 0);
        QVERIFY(noMatch->isVisible());
        QVERIFY(noMatch->text().contains(u"gas"));
        f.window().gexsBind();
        QCOMPARE(f.gex().displayRowCount(), 0);
        QVERIFY(noMatch->isVisible());
        f.type("luce");
        QVERIFY(!noMatch->isVisible());
        QTest::keyClicks(&f.box(), " 200..100");
        f.flush();
        f.window().SettaAmbiente();
        f.window().gexsBind();
        QCOMPARE(f.rows(), (QStringList{"H1", "E3:-20", "E2:-30", "T1"}));
    }
};

QTEST_MAIN(TestJournalSearch)
#include "test_journalsearch.moc"
