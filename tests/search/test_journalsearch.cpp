// The search box over the real main window's journal grid.
#include "mainwindowfixture.h"

#include "journal/journalcolumns.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalsearch.h"
#include "ui/main/maintoolbar.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using journal::RowType;
using test::money;

namespace {

// The worked example, 2010: id 1 on 01/03 +100, id 2 on 05/03 -30 (Banca), id 3 on 05/03 +10, and id 4
// without amounts on the period's last day.
struct Example : test::MainWindowFixture
{
    Example() : MainWindowFixture(QDate(2010, 3, 15))
    {
        const qint64 cassa = journal().addAccount(QStringLiteral("Cassa"));
        const qint64 banca = journal().addAccount(QStringLiteral("Banca"));
        journal().addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("Incasso fattura"), money(100), {});
        journal().addEntry(QDate(2010, 3, 5), banca, QStringLiteral("Bolletta luce"), {}, money(30));
        journal().addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("Rimborso Luce"), money(10), {});
        journal().addEntry(QDate(2010, 12, 31), cassa, QStringLiteral("Promemoria"), {}, {});
        open();
    }
    grid::GroupedGrid& gex() { return *window().journalGrid(); }
    QLineEdit& box() { return *window().findChild<QLineEdit*>(QStringLiteral("txtCerca")); }
    void flush() { window().findChild<JournalSearch*>()->flush(); }
    QToolButton& toggle(const QString& name) { return *window().findChild<QToolButton*>(name); }
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
        QTest::addColumn<QStringList>("toggles"); // clicked in this order
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("caption");
        const QString luce = "2 registrazioni · Entrate 10,00 · Uscite 30,00 · Saldo -20,00";
        const QString cassa = "2 registrazioni · Entrate 100,00 · Uscite 0,00 · Saldo 100,00";
        const QString bolletta = "1 registrazione · Entrate 0,00 · Uscite 30,00 · Saldo -30,00";
        QTest::newRow("word") << 0 << "luce" << QStringList() << QStringList{"H1", "E3:-20", "E2:-30", "T1"}
                              << "luce · " + luce;
        QTest::newRow("excluded") << 0 << "-LUCE" << QStringList()
                                  << QStringList{"H1", "E4:100", "E1:100", "T1"} << "-LUCE · " + cassa;
        QTest::newRow("range, both ends")
            << 0 << "10..30" << QStringList() << QStringList{"H1", "E3:-20", "E2:-30", "T1"}
            << "10..30 · " + luce;
        QTest::newRow("only in")
            << 0 << "" << QStringList{"chkEntrate"} << QStringList{"H1", "E3:110", "E1:100", "T1"}
            << "solo entrate · 2 registrazioni · Entrate 110,00 · Uscite 0,00 · Saldo 110,00";
        // The entry without amounts is not money out.
        QTest::newRow("only out") << 0 << "" << QStringList{"chkUscite"} << QStringList{"H1", "E2:-30", "T1"}
                                  << "solo uscite · " + bolletta;
        QTest::newRow("one toggle at a time")
            << 0 << "luce" << QStringList{"chkEntrate", "chkUscite"} << QStringList{"H1", "E2:-30", "T1"}
            << "luce, solo uscite · " + bolletta;
        QTest::newRow("by account") << 2 << "luce" << QStringList()
                                    << QStringList{"H1", "H2", "E2:-30", "T2", "H2", "E3:10", "T2", "T1"}
                                    << "luce · " + luce;
        QTest::newRow("group left out")
            << 2 << "cassa -luce" << QStringList() << QStringList{"H1", "H2", "E4:100", "E1:100", "T2", "T1"}
            << "cassa -luce · " + cassa;
    }
    void filteredTotalsAndBalances()
    {
        QFETCH(int, layout);
        QFETCH(QString, text);
        QFETCH(QStringList, toggles);
        QFETCH(QStringList, rows);
        QFETCH(QString, caption);
        Example f;
        f.window().setLayout(layout);
        f.window().gexsBind();
        f.type(text);
        for (const QString& name : toggles)
            QTest::mouseClick(&f.toggle(name), Qt::LeftButton);
        QCOMPARE(f.rows(), rows);
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Filtro: %1]").arg(caption));
        QCOMPARE(f.toggle("chkEntrate").isChecked() + f.toggle("chkUscite").isChecked(),
                 int(toggles.size() > 0));
    }

    // Esc takes back the text and the toggles, which show their state at a glance.
    void clearingRestoresTheView()
    {
        Example f;
        const QStringList before = f.drawn();
        QToolButton& incomes = f.toggle("chkEntrate");
        const QImage released = incomes.grab().toImage();
        f.type("luce");
        QTest::mouseClick(&incomes, Qt::LeftButton);
        QVERIFY(incomes.grab().toImage() != released);
        f.gex().setCurrentRow(2); // id 3
        QTest::keyClick(&f.box(), Qt::Key_Escape);
        QVERIFY(f.box().text().isEmpty());
        QVERIFY(!incomes.isChecked());
        QCOMPARE(f.drawn(), before);
        QCOMPARE(f.idAt(f.gex().currentRow()), 3);
        // With nothing set, Esc is left to the window.
        QTest::mouseClick(&incomes, Qt::LeftButton);
        QTest::keyClick(&f.box(), Qt::Key_Escape);
        QVERIFY(!incomes.isChecked());
    }

    // Down or Enter in the box: the search now, and the first entry it shows.
    void typingWaitsForThePauseAndKeysLeadToTheEntries()
    {
        Example f;
        QApplication::setActiveWindow(&f.window());
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
            f.gex().view()->setFocus();
            QTest::keyClick(f.gex().view(), Qt::Key_F, Qt::ControlModifier);
            QVERIFY(f.box().hasFocus());
            QTest::keyClicks(&f.box(), key == Qt::Key_Down ? "incasso" : " luce");
            QCOMPARE(f.gex().displayRowCount(), 6);
            QTest::keyClick(&f.box(), key);
            QVERIFY(f.gex().view()->hasFocus());
            QCOMPARE(f.rows(), key == Qt::Key_Down ? QStringList({"H1", "E1:100", "T1"})
                                                   : QStringList({"H1", "E3:-20", "E2:-30", "T1"}));
            QCOMPARE(f.gex().currentRow(), 2);
            if (key == Qt::Key_Down)
                f.box().clear();
        }
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
        // Printing or exporting it says so, and neither a preview nor a file dialog opens.
        for (const char* key : {"print", "export"})
            f.window().toolbar()->action(QString::fromLatin1(key))->trigger();
        QCOMPARE(f.prompt().messages.size(), 2);
        QCOMPARE(f.prompt().messages[0].text,
                 QStringLiteral("Nessuna registrazione del periodo corrisponde alla ricerca \"gas\": non c'è "
                                "nulla da stampare."));
        QVERIFY(f.prompt().messages[1].text.endsWith(u"nulla da esportare."));
        QVERIFY(f.prompt().saveFilters.isEmpty());
        QVERIFY(f.window().findChildren<QWidget*>(QStringLiteral("frmAnteprima")).isEmpty());
        f.type("luce");
        QVERIFY(!noMatch->isVisible());
        // A text that cannot be read: said at the grid's foot, the filter in force named there and in
        // the caption, the toggles still followed.
        auto* unreadable = f.window().findChild<QLabel*>(QStringLiteral("lblRicercaNonValida"));
        QVERIFY(!unreadable->isVisible());
        QTest::keyClicks(&f.box(), " 200 .. 100");
        f.flush();
        f.window().SettaAmbiente();
        f.window().gexsBind();
        QCOMPARE(f.rows(), (QStringList{"H1", "E3:-20", "E2:-30", "T1"}));
        QVERIFY(unreadable->isVisible());
        QCOMPARE(unreadable->text(),
                 QStringLiteral("Intervallo di importi non valido: \"200..100\" (il primo importo "
                                "supera il secondo). Resta in vigore il filtro \"luce\"."));
        QTest::mouseClick(&f.toggle("chkUscite"), Qt::LeftButton);
        QCOMPARE(f.rows(), (QStringList{"H1", "E2:-30", "T1"}));
        QVERIFY(f.shown(1, 0).startsWith(
            QStringLiteral("Movilibro  [Filtro: luce, solo uscite · 1 registrazione")));
        f.type("luce");
        QVERIFY(!unreadable->isVisible());
    }
};

QTEST_MAIN(TestJournalSearch)
#include "test_journalsearch.moc"
