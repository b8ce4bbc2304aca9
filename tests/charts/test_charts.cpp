// The chart window on the real main window, and --export-chart of the real program.
#include "mainwindowfixture.h"

#include "journal/journalcolumns.h"
#include "ui/charts/frmgrafici.h"
#include "ui/dialogs/helpwindow.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/journalsearch.h"
#include "ui/main/maintoolbar.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolTip>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using charts::ChartKind;
using journal::RowType;
using test::money;

namespace {

// 2010, months: Cassa +100 on 10/01, +40 on 05/02 ("Rimborso luce"), +15,50 on
// 01/03; Banca -30 on 20/01 ("Bolletta luce"), -250 on 05/02. Ids 1..5 by date.
struct Example : test::MainWindowFixture
{
    qint64 cassa = 0, banca = 0;

    explicit Example(int kind = 0, int layout = 0) : MainWindowFixture(QDate(2010, 3, 15))
    {
        cassa = journal().addAccount(QStringLiteral("Cassa"));
        banca = journal().addAccount(QStringLiteral("Banca"));
        journal().addEntry(QDate(2010, 1, 10), cassa, QStringLiteral("Incasso"), money(100), {});
        journal().addEntry(QDate(2010, 1, 20), banca, QStringLiteral("Bolletta luce"), {}, money(30));
        journal().addEntry(QDate(2010, 2, 5), banca, QStringLiteral("Affitto"), {}, money(250));
        journal().addEntry(QDate(2010, 2, 5), cassa, QStringLiteral("Rimborso luce"), money(40), {});
        journal().addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("Vendita"), money(15, 50), {});
        journal().setParameter(QStringLiteral("appset_dategrouping"), kind);
        journal().setParameter(QStringLiteral("appset_gexlayout"), layout);
        open();
    }
    grid::GroupedGrid& gex() { return *window().journalGrid(); }
    void search(const QString& text)
    {
        window().findChild<QLineEdit*>(QStringLiteral("txtCerca"))->setText(text);
        window().findChild<JournalSearch*>()->flush();
    }
    frmGrafici& charts()
    {
        window().toolbar()->action(QStringLiteral("charts"))->trigger();
        auto* charts = window().findChild<frmGrafici*>();
        if (!QTest::qWaitForWindowExposed(charts))
            QTest::qFail("the chart window never showed", __FILE__, __LINE__);
        return *charts;
    }
    qint64 balanceOn(frmGrafici& charts, const QDate& day) const
    {
        const auto& balance = charts.data().balance;
        return balance.total[size_t(balance.first.daysTo(day))].raw();
    }
};

QString text(const Currency& amount)
{
    return charts::amountText(amount);
}

} // namespace

class TestCharts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void series_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("balances"); // "day [account] balance"
        QTest::addColumn<QStringList>("flows");    // bars with money: "caption in/out"
        QTest::addColumn<int>("flowBars");
        QTest::addColumn<QStringList>("accounts");
        QTest::newRow("months") << 0 << "" << QStringList{"01/01 0,00",          "10/01 100,00",
                                                          "20/01 70,00",         "04/02 70,00",
                                                          "05/02 -140,00",       "01/03 -124,50",
                                                          "31/12 -124,50",       "05/02 Banca -280,00",
                                                          "31/12 Banca -280,00", "05/02 Cassa 140,00",
                                                          "01/03 Cassa 155,50"}
                                << QStringList{"gennaio 2010 100,00/30,00", "febbraio 2010 40,00/250,00",
                                               "marzo 2010 15,50/0,00"}
                                << 12 << QStringList{"Banca 0,00/280,00", "Cassa 155,50/0,00"};
        QTest::newRow("quarters, filtered")
            << 2 << "luce"
            << QStringList{"19/01 0,00", "20/01 -30,00", "05/02 10,00", "31/12 10,00", "31/12 Cassa 40,00"}
            << QStringList{"Primo Trimestre 2010 40,00/30,00"} << 4
            << QStringList{"Cassa 40,00/0,00", "Banca 0,00/30,00"};
    }

    void series()
    {
        QFETCH(int, kind);
        QFETCH(QString, search);
        QFETCH(QStringList, balances);
        QFETCH(QStringList, flows);
        QFETCH(int, flowBars);
        QFETCH(QStringList, accounts);
        Example example(kind);
        example.search(search);
        frmGrafici& charts = example.charts();
        const charts::ChartData& data = charts.data();
        QStringList gotBalances;
        for (const QString& expected : balances) {
            const QStringList words = expected.split(u' ');
            const QDate day =
                QDate::fromString(words[0] + QStringLiteral("/2010"), QStringLiteral("dd/MM/yyyy"));
            const int i = int(data.balance.first.daysTo(day));
            const auto account =
                std::find(data.balance.accounts.begin(), data.balance.accounts.end(), words[1]);
            const auto& values =
                account == data.balance.accounts.end()
                    ? data.balance.total
                    : data.balance.perAccount[size_t(account - data.balance.accounts.begin())];
            const QString name = words.size() == 3 ? words[1] + u' ' : QString();
            gotBalances << words[0] + u' ' + name + text(values[size_t(i)]);
        }
        QCOMPARE(gotBalances, balances);
        QCOMPARE(data.balance.dayCount(), 365);
        QStringList gotFlows;
        for (const charts::FlowBar& bar : data.flows) {
            if (!bar.incomes.isZero() || !bar.outgoings.isZero())
                gotFlows << bar.caption + u' ' + text(bar.incomes) + u'/' + text(bar.outgoings);
        }
        QCOMPARE(gotFlows, flows);
        QCOMPARE(int(data.flows.size()), flowBars);
        QStringList gotAccounts;
        for (const charts::AccountBar& bar : data.accounts)
            gotAccounts << bar.account + u' ' + text(bar.incomes) + u'/' + text(bar.outgoings);
        QCOMPARE(gotAccounts, accounts);
        QVERIFY(charts.findChild<QLabel*>(QStringLiteral("lblPeriodo"))->text().contains(search));
    }

    // Deleting an entry, then a period without entries.
    void followsTheMainWindow()
    {
        Example example;
        frmGrafici& charts = example.charts();
        QCOMPARE(example.balanceOn(charts, QDate(2010, 12, 31)), -money(124, 50));
        QCOMPARE(example.idAt(2), 5);
        example.gex().setCurrentRow(2);
        example.prompt().setNextAnswer(Answer::Yes);
        QTest::keyClick(example.gex().view(), Qt::Key_Delete);
        QCoreApplication::processEvents();
        QCOMPARE(example.balanceOn(charts, QDate(2010, 12, 31)), -money(140));
        QTest::mouseClick(example.window().findChild<QRadioButton*>(QStringLiteral("optDate_1")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        const auto* empty = charts.findChild<QLabel*>(QStringLiteral("lblVuoto"));
        QVERIFY(empty->isVisible());
        QCOMPARE(empty->text(), QStringLiteral("Nessun dato nel periodo"));
    }

    void clickOnBar_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("chart");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("current"); // group header "H<value>" or entry "E<id>"
        QTest::addColumn<QString>("tip");     // shown while the pointer is on the bar
        const QString february = "febbraio 2010\nEntrate: 40,00\nUscite: 250,00\nNetto: -210,00";
        QTest::newRow("period group") << 1 << int(ChartKind::Flussi) << "201002"
                                      << "H201002" << february;
        QTest::newRow("period, no groups") << 0 << int(ChartKind::Flussi) << "201002"
                                           << "E4" << february;
        QTest::newRow("account group") << 2 << int(ChartKind::Conti) << "Banca"
                                       << "HBanca"
                                       << "Banca\nEntrate: 0,00\nUscite: 280,00\nNetto: -280,00";
        QTest::newRow("account, period groups") << 1 << int(ChartKind::Conti) << "Cassa"
                                                << "E1"
                                                << "Cassa\nEntrate: 155,50\nUscite: 0,00\nNetto: 155,50";
    }

    void clickOnBar()
    {
        QFETCH(int, layout);
        QFETCH(int, chart);
        QFETCH(QString, item);
        QFETCH(QString, current);
        QFETCH(QString, tip);
        Example example(0, layout);
        frmGrafici& charts = example.charts();
        charts.findChild<QTabWidget*>()->setCurrentIndex(chart);
        const charts::BuiltChart& built = charts.built(ChartKind(chart));
        const int index =
            int(std::find(built.barItems.begin(), built.barItems.end(), item) - built.barItems.begin());
        // The middle of the longer bar of the pair: Entrate, then Uscite.
        const auto sets = built.bars->barSets();
        const int set = sets[0]->at(index) >= sets[1]->at(index) ? 0 : 1;
        const qreal value = sets[set]->at(index) / 2, offset = set == 0 ? -0.125 : 0.125;
        const QPointF at =
            chart == int(ChartKind::Flussi) ? QPointF(index + offset, value) : QPointF(value, index + offset);
        QChartView* view = charts.chartView(ChartKind(chart));
        const QPoint pos =
            view->mapFromScene(built.chart->mapToScene(built.chart->mapToPosition(at, built.bars)));
        // The offscreen platform sends no hover events: the series says what the pointer is on.
        emit built.bars->hovered(true, index, sets[set]);
        QCOMPARE(QToolTip::text(), tip);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pos);
        const int p = example.gex().currentRow();
        const int column =
            chart == int(ChartKind::Flussi) ? journal::JournalColumn::Periodo : journal::JournalColumn::Conto;
        QCOMPARE(example.gex().rowType(p) == RowType::Entry
                     ? QStringLiteral("E%1").arg(example.idAt(p))
                     : u'H' + example.gex().value(p, column).toString(),
                 current);
        if (chart == int(ChartKind::Conti))
            QCOMPARE(example.window().accountsPane()->currentAccountId(),
                     item == u"Banca" ? example.banca : example.cassa);
    }

    void balanceTip()
    {
        Example example;
        const charts::BuiltChart& built = example.charts().built(ChartKind::Saldo);
        const QDateTime noon(QDate(2010, 2, 5), QTime(12, 0));
        emit built.lines.at(0)->hovered(QPointF(qreal(noon.toMSecsSinceEpoch()), -140), true);
        QCOMPARE(QToolTip::text(), QStringLiteral("05/02/2010\nSaldo: -140,00"));
    }

    void helpPage()
    {
        Example example;
        QTest::keyClick(&example.charts(), Qt::Key_F1);
        HelpWindow* help = HelpWindow::instance();
        QVERIFY(help);
        QCOMPARE(help->currentPage(), HelpWindow::pageUrl(QStringLiteral("grafici.html")));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Nessun dato nel periodo")));
        help->close();
    }

    void exportButton()
    {
        Example example;
        frmGrafici& charts = example.charts();
        example.prompt().setNextSaveFile(m_dir.filePath(QStringLiteral("grafico")),
                                         QStringLiteral("Immagine SVG (*.svg)"));
        QTest::mouseClick(charts.findChild<QPushButton*>(QStringLiteral("cmdEsporta")), Qt::LeftButton);
        QSvgRenderer svg(m_dir.filePath(QStringLiteral("grafico.svg")));
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBox(), QRect(0, 0, 1200, 700));
        // The next export, of a chart or of the report, opens in that folder.
        QTest::mouseClick(charts.findChild<QPushButton*>(QStringLiteral("cmdEsporta")), Qt::LeftButton);
        QCOMPARE(QFileInfo(example.prompt().proposedFiles.last()).path(), m_dir.path());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // in the PDF's text, or in the error
        QTest::newRow("png") << QStringList{"--chart", "flussi"} << "c.png" << 0 << "";
        QTest::newRow("svg, default chart") << QStringList{} << "c.svg" << 0 << "";
        QTest::newRow("pdf, filtered") << QStringList{"--chart", "conti", "--search", "luce"} << "c.PDF" << 0
                                       << "Periodo dal 01/01/2010 al 31/12/2010 · Filtro: luce";
        QTest::newRow("pdf, two centuries")
            << QStringList{"--from", "01/01/1950", "--to", "31/12/2049"} << "y.pdf" << 0 << "01/01/2050";
        QTest::newRow("pdf, texts as written")
            << QStringList{"--search", "<300"} << "t.pdf" << 0 << "Filtro: <300";
        QTest::newRow("pdf, names as written")
            << QStringList{"--chart", "conti"} << "n.pdf" << 0 << "Cassa <contanti>";
        // Nothing written, not even the CSV asked for with it.
        QTest::newRow("empty period") << QStringList{"--from",     "01/06/2010",   "--to",
                                                     "30/06/2010", "--export-csv", m_dir.filePath("e.csv")}
                                      << "e.png" << 1 << "Nessuna registrazione nel periodo";
        QTest::newRow("unknown chart") << QStringList{"--chart", "torta"} << "u.png" << 2 << "torta";
        QTest::newRow("unknown format") << QStringList{} << "u.gif" << 2 << ".png";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(int, status);
        QFETCH(QString, expected);
        test::Journal journal(m_dir.path());
        if (journal.count(QStringLiteral("SELECT COUNT(*) FROM Conti")) == 0) {
            const qint64 cassa = journal.addAccount(QStringLiteral("Cassa <contanti>"));
            journal.addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("Bolletta luce"), {}, money(30));
        }
        const QString path = m_dir.filePath(file);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MOVILIBRO_TODAY"), QStringLiteral("2010-03-15"));
        const test::ProgramRun run = test::runProgram(
            QStringLiteral(MOVILIBRO_EXE),
            QStringList{"--db", m_dir.path(), "--export-chart", path} + arguments, environment);
        QCOMPARE(run.status, status);
        if (status != 0) {
            QVERIFY2(run.err.contains(expected), qPrintable(run.err));
            QVERIFY(!QFile::exists(path) && !QFile::exists(m_dir.filePath("e.csv")));
        } else if (file.endsWith(u".png")) {
            QCOMPARE(QImage(path).size(), QSize(1200, 700));
        } else if (file.endsWith(u".svg")) {
            QCOMPARE(QSvgRenderer(path).viewBox(), QRect(0, 0, 1200, 700));
        } else {
            QProcess pdftotext;
            pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
            QVERIFY(pdftotext.waitForFinished());
            QVERIFY(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains(expected));
        }
    }
};

QTEST_MAIN(TestCharts)
#include "test_charts.moc"
