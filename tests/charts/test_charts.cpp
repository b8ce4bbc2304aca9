// The chart window on the real main window, and --export-chart of the real program.
#include "mainwindowfixture.h"

#include "ui/charts/frmgrafici.h"
#include "ui/charts/windowplace.h"
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
#include <QCheckBox>
#include <QDateEdit>
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

    // Deleting an entry while the window is closed, then a period without
    // entries while it is open: the one window of the run follows both.
    void followsTheMainWindow()
    {
        Example example;
        frmGrafici& charts = example.charts();
        QCOMPARE(example.balanceOn(charts, QDate(2010, 12, 31)), -money(124, 50));
        charts.close();
        QCOMPARE(example.idAt(2), 5);
        example.gex().setCurrentRow(2);
        example.prompt().setNextAnswer(Answer::Yes);
        QTest::keyClick(example.gex().view(), Qt::Key_Delete);
        QCOMPARE(&example.charts(), &charts);
        QCOMPARE(example.balanceOn(charts, QDate(2010, 12, 31)), -money(140));
        QTest::mouseClick(example.window().findChild<QRadioButton*>(QStringLiteral("optDate_1")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
        const auto* empty = charts.findChild<QLabel*>(QStringLiteral("lblVuoto"));
        QVERIFY(empty->isVisible());
        QCOMPARE(empty->text(), QStringLiteral("Nessun dato nel periodo"));
    }

    // A period's bar shows that period in the journal, an account's bar
    // searches for the account; either brings the main window forward.
    void clickOnBar_data()
    {
        QTest::addColumn<int>("chart");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("tip"); // shown, and kept while the pointer rests
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<qint64>>("shown");
        QTest::newRow("period") << int(ChartKind::Flussi) << "201002"
                                << "febbraio 2010\nEntrate: 40,00\nUscite: 251,00\nNetto: -211,00"
                                << "01/02/2010 28/02/2010"
                                << "" << QList<qint64>{6, 4, 3};
        QTest::newRow("account") << int(ChartKind::Conti) << "Banca"
                                 << "Banca\nEntrate: 0,00\nUscite: 281,00\nNetto: -281,00"
                                 << "01/01/2010 31/12/2010"
                                 << "Banca" << QList<qint64>{6, 3, 2};
    }

    void clickOnBar()
    {
        QFETCH(int, chart);
        QFETCH(QString, item);
        QFETCH(QString, tip);
        QFETCH(QString, period);
        QFETCH(QString, search);
        QFETCH(QList<qint64>, shown);
        Example example;
        // The last day of February and the first of March are either side of the bar's period.
        example.journal().addEntry(QDate(2010, 2, 28), example.banca, QStringLiteral("Canone"), {}, money(1));
        example.journal().addEntry(QDate(2010, 1, 31), example.cassa, QStringLiteral("Mancia"), money(0), {});
        example.window().gexsBind();
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
        QHelpEvent rest(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
        QCoreApplication::sendEvent(view->viewport(), &rest);
        QCOMPARE(QToolTip::text(), tip);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pos);
        const auto* from = example.window().findChild<QDateEdit*>(QStringLiteral("dtpfilter_0"));
        const auto* to = example.window().findChild<QDateEdit*>(QStringLiteral("dtpfilter_1"));
        QCOMPARE(from->date().toString("dd/MM/yyyy") + u' ' + to->date().toString("dd/MM/yyyy"), period);
        QCOMPARE(example.window().findChild<QLineEdit*>(QStringLiteral("txtCerca"))->text(), search);
        QList<qint64> ids;
        for (int p = 1; p <= example.gex().displayRowCount(); ++p) {
            if (example.gex().rowType(p) == RowType::Entry)
                ids << example.idAt(p);
        }
        QCOMPARE(ids, shown);
        QVERIFY(QTest::qWaitForWindowActive(&example.window()));
    }

    // The total's line and its tip; with "Per conto", a colour for each
    // account and a thicker total.
    void balanceLines()
    {
        Example example;
        frmGrafici& charts = example.charts();
        const charts::BuiltChart& built = charts.built(ChartKind::Saldo);
        const QDateTime noon(QDate(2010, 2, 5), QTime(12, 0));
        emit built.lines.at(0)->hovered(QPointF(qreal(noon.toMSecsSinceEpoch()), -140), true);
        QCOMPARE(QToolTip::text(), QStringLiteral("05/02/2010\nSaldo: -140,00"));
        charts.findChild<QCheckBox*>(QStringLiteral("chkPerConto"))->click();
        const auto& lines = charts.built(ChartKind::Saldo).lines;
        QCOMPARE(int(lines.size()), 3);
        const QColor total = lines[0]->pen().color(), cassa = lines[1]->pen().color(),
                     banca = lines[2]->pen().color();
        for (const auto& [a, b] : {std::pair{total, cassa}, {total, banca}, {cassa, banca}}) {
            const int apart =
                std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
            QVERIFY2(apart > 150, qPrintable(a.name() + u' ' + b.name()));
        }
        QVERIFY(lines[0]->pen().widthF() > 2 * lines[1]->pen().widthF() - 1);
        QVERIFY(lines[0]->pen().widthF() > lines[2]->pen().widthF());
    }

    // Ticks where days, months or years begin, named in Italian.
    void dateAxis_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QString>("labels");
        QTest::newRow("year") << QDate(2010, 1, 1) << QDate(2010, 12, 31)
                              << "gen 2010,feb,mar,apr,mag,giu,lug,ago,set,ott,nov,dic";
        QTest::newRow("fiscal year") << QDate(2010, 4, 1) << QDate(2011, 3, 31)
                                     << "apr 2010,mag,giu,lug,ago,set,ott,nov,dic,gen 2011,feb,mar";
        QTest::newRow("month") << QDate(2010, 3, 1) << QDate(2010, 3, 31) << "1 mar,8 mar,15 mar,22 mar";
        QTest::newRow("62 days") << QDate(2010, 2, 15) << QDate(2010, 4, 17)
                                 << "15 feb,22 feb,1 mar,8 mar,15 mar,22 mar,1 apr,8 apr,15 apr";
        QTest::newRow("63 days") << QDate(2010, 2, 15) << QDate(2010, 4, 18) << "mar 2010,apr";
        QTest::newRow("three years")
            << QDate(2009, 1, 1) << QDate(2011, 12, 31)
            << "gen 2009,apr 2009,lug 2009,ott 2009,gen 2010,apr 2010,lug 2010,ott 2010,"
               "gen 2011,apr 2011,lug 2011,ott 2011";
        QTest::newRow("a century") << QDate(1950, 1, 1) << QDate(2049, 12, 31)
                                   << "1950,1960,1970,1980,1990,2000,2010,2020,2030,2040";
        QTest::newRow("every year there is")
            << QDate(1, 1, 1) << QDate(9999, 12, 31) << "1000,2000,3000,4000,5000,6000,7000,8000,9000";
    }
    void dateAxis()
    {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(QString, labels);
        QStringList got;
        for (const charts::DateTick& tick : charts::dateTicks(first, last))
            got << tick.label;
        QCOMPARE(got.join(u','), labels);
    }

    // Past MaxBars periods the bars take whole years, then tens, hundreds of
    // years; the first and the last day of the period land in the first and
    // the last bar.
    void longPeriods_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("bars"); // count, first caption, last caption, note
        QTest::newRow("120 months") << QDate(2010, 1, 1) << QDate(2019, 12, 31) << 0
                                    << "120|gennaio 2010|dicembre 2019|";
        QTest::newRow("121 months")
            << QDate(2010, 1, 1) << QDate(2020, 1, 31) << 0
            << "11|2010|2020|Una colonna per anno: i mesi del periodo sono più di 120.";
        QTest::newRow("120 years of half years")
            << QDate(2010, 1, 1) << QDate(2129, 12, 31) << 4
            << "120|2010|2129|Una colonna per anno: i semestri del periodo "
               "sono più di 120.";
        QTest::newRow("121 years")
            << QDate(2010, 1, 1) << QDate(2130, 1, 1) << 4
            << "13|2010-2019|2130-2130|Una colonna ogni 10 anni: i semestri del periodo "
               "sono più di 120.";
        QTest::newRow("every year there is")
            << QDate(1, 1, 1) << QDate(9999, 12, 31) << 2
            << "100|1-99|9900-9999|Una colonna ogni 100 anni: i trimestri del periodo sono più di 120.";
    }
    void longPeriods()
    {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(int, kind);
        QFETCH(QString, bars);
        charts::ChartInput input{{first, last}, kind, {QStringLiteral("Cassa")}, {}};
        input.entries = {{first.toJulianDay(), 0, money(1), 0}, {last.toJulianDay(), 0, 0, money(2)}};
        const charts::ChartData data = charts::chartData(input, false);
        const auto& flows = data.flows;
        QCOMPARE(QStringLiteral("%1|%2|%3|%4")
                     .arg(flows.size())
                     .arg(flows.front().caption, flows.back().caption, data.flowNote),
                 bars);
        QCOMPARE(flows.front().incomes.raw(), money(1));
        QCOMPARE(flows.back().outgoings.raw(), money(2));
        QCOMPARE(flows.front().first, first);
        QCOMPARE(flows.back().last, last);
    }

    void windowPlace_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("placed"); // 600 x 400 on a screen of 1920 x 1080
        QTest::newRow("room on the right") << QRect(0, 0, 980, 600) << QRect(980, 0, 600, 400);
        QTest::newRow("just room on the right") << QRect(340, 10, 980, 600) << QRect(1320, 10, 600, 400);
        QTest::newRow("room on the left, kept on screen")
            << QRect(600, 800, 980, 600) << QRect(0, 680, 600, 400);
        QTest::newRow("a pixel short either side") << QRect(599, 0, 980, 600) << QRect(660, 340, 600, 400);
    }
    void windowPlace()
    {
        QFETCH(QRect, main);
        QFETCH(QRect, placed);
        QCOMPARE(charts::besideOrCentred(main, QSize(600, 400), QRect(0, 0, 1920, 1080)), placed);
    }

    // Where it was closed, at the next run.
    void windowRemembersItsPlace()
    {
        Example example;
        frmGrafici& charts = example.charts();
        charts.setGeometry(QRect(40, 30, 700, 500));
        charts.close();
        example.open(); // the next run's main window, and its own chart window
        QCOMPARE(example.charts().geometry(), QRect(40, 30, 700, 500));
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
        QTest::addColumn<QString>("expected"); // in the PDF's text, in this order; or in the error
        QTest::newRow("png") << QStringList{"--chart", "flussi"} << "c.png" << 0 << "";
        QTest::newRow("svg, default chart") << QStringList{} << "c.svg" << 0 << "";
        QTest::newRow("pdf, filtered") << QStringList{"--chart", "conti", "--search", "luce"} << "c.PDF" << 0
                                       << "Entrate e uscite per conto|Periodo dal 01/01/2010 al 31/12/2010 · "
                                          "Filtro: luce";
        QTest::newRow("pdf, a century")
            << QStringList{"--from", "01/01/1950", "--to", "31/12/2049"} << "y.pdf" << 0
            << "Saldo progressivo|Periodo dal 01/01/1950 al 31/12/2049";
        QTest::newRow("pdf, every year there is")
            << QStringList{"--chart", "flussi", "--from", "01/01/0001", "--to", "31/12/9999"} << "a.pdf" << 0
            << "Entrate e uscite|Periodo dal 01/01/0001 al 31/12/9999|Una colonna ogni 100 anni";
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
            pdftotext.start(QStringLiteral("pdftotext"),
                            {QStringLiteral("-bbox"), path, QStringLiteral("-")});
            QVERIFY(pdftotext.waitForFinished());
            const QString words = QString::fromUtf8(pdftotext.readAllStandardOutput());
            QString text;
            double height = 0, lowest = 0;
            const QRegularExpression page(QStringLiteral("<page width=\"[\\d.]+\" height=\"([\\d.]+)\""));
            height = page.match(words).captured(1).toDouble();
            const QRegularExpression word(QStringLiteral("yMax=\"([\\d.]+)\">([^<]*)</word>"));
            for (const QRegularExpressionMatch& m : word.globalMatch(words)) {
                lowest = std::max(lowest, m.captured(1).toDouble());
                text += m.captured(2) + u' ';
            }
            qsizetype at = 0;
            for (const QString& piece : expected.split(u'|')) {
                at = text.indexOf(piece.toHtmlEscaped(), at);
                QVERIFY2(at >= 0, qPrintable(piece + QStringLiteral(" not after the rest in: ") + text));
            }
            // The chart fills its page: its legend lies near the foot.
            QVERIFY2(lowest > 0.9 * height, qPrintable(QStringLiteral("%1 of %2").arg(lowest).arg(height)));
        }
    }
};

QTEST_MAIN(TestCharts)
#include "test_charts.moc"
