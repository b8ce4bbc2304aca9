#include "mainwindowfixture.h"

#include "db/connection.h"
#include "db/enginefunctions.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/groupedgrid.h"
#include "ui/main/journalgrid.h"
#include "ui/main/maintoolbar.h"
#include "ui/main/periodpanel.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest>

using namespace movilibro;
using grid::RowType;
using test::MainWindowFixture;
using test::money;

namespace {

const QDate March2010(2010, 3, 15);

void addEntry(test::Journal& j, qint64 id, const QDate& date, qint64 account, std::optional<qint64> in,
              std::optional<qint64> out)
{
    db::Connection conn = j.open();
    conn.prepare(QStringLiteral(
                     "INSERT INTO Movilibro (mlId, mlData, mlConto, mlDescrizione, mlEntrate, mlUscite) "
                     "VALUES (?, ?, ?, 'voce', ?, ?)"))
        .bind(0, id)
        .bind(1, db::isoDate(date))
        .bind(2, account)
        .bind(3, in)
        .bind(4, out)
        .run();
}

// The example journal: 01/03 +100 (id 3), 05/03 -30 (id 7), 05/03 +10 (id 9);
// with two accounts, id 7 belongs to the second.
void fillExample(test::Journal& j, bool twoAccounts)
{
    const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
    const qint64 banca = twoAccounts ? j.addAccount(QStringLiteral("Banca")) : cassa;
    addEntry(j, 3, QDate(2010, 3, 1), cassa, money(100), 0);
    addEntry(j, 7, QDate(2010, 3, 5), banca, 0, money(30));
    addEntry(j, 9, QDate(2010, 3, 5), cassa, money(10), 0);
}

QStringList rowShape(const grid::GroupedGrid& gex)
{
    QStringList shape;
    for (int p = 1; p <= gex.displayRowCount(); ++p) {
        switch (gex.rowType(p)) {
        case RowType::GroupHeader:
            shape << QStringLiteral("H%1").arg(gex.level(p));
            break;
        case RowType::GroupTotal:
            shape << QStringLiteral("T%1").arg(gex.level(p));
            break;
        case RowType::Entry:
            shape << QStringLiteral("E%1").arg(gex.value(p, JournalColumn::Id).toLongLong());
            break;
        }
    }
    return shape;
}

// Balances of the entry rows, top to bottom, in whole units.
QList<qint64> balances(MainWindowFixture& f)
{
    QList<qint64> out;
    auto* gex = f.window().journalGrid();
    for (int p = 1; p <= gex->displayRowCount(); ++p) {
        if (gex->rowType(p) == RowType::Entry)
            out << f.balance(p) / 10000;
    }
    return out;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private slots:
    void threeEntryExample()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal(), false);
        frmMain& w = f.open();
        auto* gex = w.journalGrid();
        QVERIFY(gex->isVisible());
        QCOMPARE(rowShape(*gex), (QStringList{"H1", "E9", "E7", "E3", "T1"}));
        QCOMPARE(balances(f), (QList<qint64>{80, 70, 100}));
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Saldo: 80,00]"));
        QCOMPARE(f.shown(2, JournalColumn::Saldo), QStringLiteral("80,00 "));
        QCOMPARE(f.shown(3, JournalColumn::Uscite), QStringLiteral("30,00 "));
        QCOMPARE(f.shown(3, JournalColumn::Entrate), QStringLiteral(" "));
        QCOMPARE(f.shown(5, JournalColumn::Entrate), QStringLiteral("110,00 "));
        QCOMPARE(gex->currentRow(), 1);
        QCOMPARE(gex->column(JournalColumn::Saldo).caption, QStringLiteral("Saldo prog.vo"));
        QVERIFY(!gex->column(JournalColumn::Id).visible);
    }

    void layouts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QStringList>("shape");
        QTest::addColumn<QList<qint64>>("balances");
        QTest::addColumn<QString>("caption2");
        // Banca holds id 7 only; the period key of all three is 201003.
        QTest::newRow("0 none") << 0 << QStringList{"H1", "E9", "E7", "E3", "T1"}
                                << QList<qint64>{80, 70, 100} << QString();
        QTest::newRow("1 period") << 1 << QStringList{"H1", "H2", "E9", "E7", "E3", "T2", "T1"}
                                  << QList<qint64>{80, 70, 100} << "marzo 2010";
        QTest::newRow("2 account") << 2 << QStringList{"H1", "H2", "E7", "T2", "H2", "E9", "E3", "T2", "T1"}
                                   << QList<qint64>{-30, 110, 100} << "Banca";
        QTest::newRow("3 period, account")
            << 3 << QStringList{"H1", "H2", "H3", "E7", "T3", "H3", "E9", "E3", "T3", "T2", "T1"}
            << QList<qint64>{-30, 110, 100} << "marzo 2010";
        QTest::newRow("4 account, period")
            << 4 << QStringList{"H1", "H2", "H3", "E7", "T3", "T2", "H2", "H3", "E9", "E3", "T3", "T2", "T1"}
            << QList<qint64>{-30, 110, 100} << "Banca";
    }
    void layouts()
    {
        QFETCH(int, layout);
        QFETCH(QStringList, shape);
        QFETCH(QList<qint64>, balances);
        QFETCH(QString, caption2);
        MainWindowFixture f(March2010);
        fillExample(f.journal(), true);
        f.journal().setParameter(QStringLiteral("appset_gexlayout"), layout);
        frmMain& w = f.open();
        QCOMPARE(w.viewState().layout, layout);
        QCOMPARE(rowShape(*w.journalGrid()), shape);
        QCOMPARE(::balances(f), balances);
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Saldo: 80,00]"));
        if (!caption2.isEmpty())
            QCOMPARE(f.shown(2, 0), caption2);
    }

    void negativeBalanceIsRedWithoutMinus()
    {
        MainWindowFixture f(March2010);
        const qint64 a = f.journal().addAccount(QStringLiteral("Cassa"));
        addEntry(f.journal(), 1, QDate(2010, 3, 1), a, std::nullopt, money(1234, 56));
        addEntry(f.journal(), 2, QDate(2010, 3, 2), a, std::nullopt, std::nullopt); // still gets a balance
        addEntry(f.journal(), 3, QDate(2009, 12, 31), a, money(5000), 0);           // before the period
        f.open();
        QCOMPARE(f.idAt(2), 2);
        QCOMPARE(f.shown(2, JournalColumn::Saldo), QStringLiteral("1.234,56 "));
        QCOMPARE(f.shown(3, JournalColumn::Saldo), QStringLiteral("1.234,56 "));
        QCOMPARE(f.foreground(2, JournalColumn::Saldo), QColor(255, 0, 0));
        QCOMPARE(f.balance(2), -money(1234, 56));
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Saldo: -1.234,56]"));
    }

    void zeroBalanceShowsZero()
    {
        MainWindowFixture f(March2010);
        const qint64 a = f.journal().addAccount(QStringLiteral("Cassa"));
        addEntry(f.journal(), 1, QDate(2010, 3, 1), a, std::nullopt, std::nullopt);
        f.open();
        QCOMPARE(f.shown(2, JournalColumn::Saldo), QStringLiteral("0,00 "));
        QCOMPARE(f.shown(1, 0), QStringLiteral("Movilibro  [Saldo: 0,00 ]"));
        QVERIFY(f.foreground(2, JournalColumn::Saldo) != QColor(255, 0, 0));
    }

    void fiscalYearFromStartingMonth()
    {
        MainWindowFixture f(QDate(2011, 2, 15));
        f.journal().setParameter(QStringLiteral("appset_esercizio_startingmonth"), 4);
        frmMain& w = f.open();
        QCOMPARE(w.viewState().selected, (DateRange{QDate(2010, 4, 1), QDate(2011, 3, 31)}));
        auto* from = w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_0"));
        auto* to = w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_1"));
        QCOMPARE(from->minimumDate(), QDate(2010, 4, 1));
        QCOMPARE(to->maximumDate(), QDate(2011, 3, 31));
        QVERIFY(!from->isEnabled());
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblStatus_0"))->text(), QStringLiteral("15/02/2011"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblStatus_1"))->text(),
                 QStringLiteral("apr 2010 - mar 2011"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblStatus_2"))->text(), QStringLiteral("mensile"));
    }

    void optionsSelectThePeriod_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::newRow("working date") << 1 << March2010 << March2010;
        QTest::newRow("current month") << 2 << QDate(2010, 3, 1) << QDate(2010, 3, 31);
    }
    void optionsSelectThePeriod()
    {
        QFETCH(int, option);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        MainWindowFixture f(March2010);
        frmMain& w = f.open();
        QSignalSpy reloads(&w, &frmMain::gexsBindDone);
        auto* radio = w.findChild<QRadioButton*>(QStringLiteral("optDate_%1").arg(option));
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
        QCOMPARE(reloads.count(), 1);
        QCOMPARE(w.viewState().selected, (DateRange{start, end}));
        QVERIFY(radio->font().bold());
        QVERIFY(!w.findChild<QRadioButton*>(QStringLiteral("optDate_0"))->font().bold());
        QCOMPARE(w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_0"))->date(), start);
        QCOMPARE(w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_1"))->date(), end);
    }

    void freeRangeUsedUnchanged()
    {
        MainWindowFixture f(March2010);
        const qint64 a = f.journal().addAccount(QStringLiteral("Cassa"));
        addEntry(f.journal(), 1, QDate(2010, 5, 1), a, money(1), 0);
        frmMain& w = f.open();
        auto* radio = w.findChild<QRadioButton*>(QStringLiteral("optDate_3"));
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
        auto* from = w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_0"));
        auto* to = w.findChild<QDateEdit*>(QStringLiteral("dtpfilter_1"));
        QVERIFY(from->isEnabled());
        from->setDate(QDate(2010, 4, 1));
        to->setDate(QDate(2010, 5, 31));
        QCOMPARE(w.viewState().selected, (DateRange{QDate(2010, 4, 1), QDate(2010, 5, 31)}));
        QCOMPARE(w.journalGrid()->rowCount(), 1);
        from->setDate(QDate(2010, 6, 30)); // after the end: no swap
        QCOMPARE(w.viewState().selected, (DateRange{QDate(2010, 6, 30), QDate(2010, 5, 31)}));
        QCOMPARE(w.journalGrid()->rowCount(), 0);
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("picVoid"))->isVisible());
    }

    void toolbarLayoutLastsUntilSettaAmbiente()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal(), true);
        frmMain& w = f.open();
        w.toolbar()->action(QStringLiteral("view"))->trigger();
        QCOMPARE(w.viewState().layout, 1);
        auto* radio = w.findChild<QRadioButton*>(QStringLiteral("optDate_2"));
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
        QCOMPARE(w.viewState().layout, 0);
    }

    void deleteKey_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("asked");
        QTest::addColumn<qint64>("left");
        QTest::newRow("entry, yes") << 2 << int(Answer::Yes) << 1 << qint64(2);
        QTest::newRow("entry, no") << 2 << int(Answer::No) << 1 << qint64(3);
        QTest::newRow("header") << 1 << int(Answer::Yes) << 0 << qint64(3);
        QTest::newRow("total") << 5 << int(Answer::Yes) << 0 << qint64(3);
    }
    void deleteKey()
    {
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(int, asked);
        QFETCH(qint64, left);
        MainWindowFixture f(March2010);
        fillExample(f.journal(), false);
        frmMain& w = f.open();
        auto* gex = w.journalGrid();
        gex->setCurrentRow(row);
        f.prompt().setNextAnswer(Answer(answer));
        QSignalSpy reloads(&w, &frmMain::gexsBindDone);
        QTest::keyClick(gex->view(), Qt::Key_Delete);
        QCOMPARE(f.prompt().messages.size(), asked);
        if (asked) {
            QCOMPARE(f.prompt().messages[0].text, QStringLiteral("Eliminare la riga selezionata?"));
            QCOMPARE(f.prompt().messages[0].style, MsgStyle::YesNo);
        }
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro")), left);
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro WHERE mlId=9")),
                 left == 2 ? 0 : 1);
        QCOMPARE(reloads.count(), left == 2 ? 1 : 0);
    }

    void deletingTheOnlyEntryShowsTheEmptyState()
    {
        MainWindowFixture f(March2010);
        const qint64 a = f.journal().addAccount(QStringLiteral("Cassa"));
        addEntry(f.journal(), 1, QDate(2010, 3, 1), a, money(1), 0);
        frmMain& w = f.open();
        w.journalGrid()->setCurrentRow(2);
        f.prompt().setNextAnswer(Answer::Yes);
        w.toolbar()->action(QStringLiteral("delete"))->trigger();
        QVERIFY(!w.journalGrid()->isVisible());
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("picVoid"))->isVisible());
    }

    void emptyStateDisablesTheRowCommands()
    {
        MainWindowFixture f(March2010);
        frmMain& w = f.open();
        auto* picVoid = w.findChild<QWidget*>(QStringLiteral("picVoid"));
        QVERIFY(picVoid->isVisible());
        QVERIFY(!w.journalGrid()->isVisible());
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblStart_1"))->text(),
                 QStringLiteral("Nessun dato presente nel periodo selezionato."));
        for (const QString& key : MainToolbar::rowCommandKeys())
            QVERIFY2(!w.toolbar()->action(key)->isEnabled(), qPrintable(key));
        for (const char* key : {"new", "tools", "help", "about", "close"})
            QVERIFY(w.toolbar()->action(QString::fromLatin1(key))->isEnabled());

        fillExample(f.journal(), false);
        w.gexsBind();
        QVERIFY(!picVoid->isVisible());
        QVERIFY(w.journalGrid()->isVisible());
        for (const QString& key : MainToolbar::rowCommandKeys())
            QVERIFY(w.toolbar()->action(key)->isEnabled());
    }

    void reloadFailureKeepsTheWindowUsable()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal(), false);
        frmMain& w = f.open();
        QVERIFY(QFile::remove(f.journal().path()));
        w.gexsBind();
        QVERIFY(!f.prompt().messages.isEmpty());
        QVERIFY(f.prompt().messages.last().text.startsWith(QStringLiteral("Impossibile leggere")));
        QVERIFY(w.isVisible());
        QVERIFY(!QFileInfo::exists(f.journal().path())); // nothing created in its place
    }

    void lockedJournalDeleteChangesNothing()
    {
        MainWindowFixture f(March2010);
        fillExample(f.journal(), false);
        frmMain& w = f.open();
        db::Connection locker = f.journal().open();
        locker.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        w.journalGrid()->setCurrentRow(2);
        f.prompt().setNextAnswer(Answer::Yes);
        w.toolbar()->action(QStringLiteral("delete"))->trigger();
        locker.exec(QStringLiteral("ROLLBACK"));
        QVERIFY(f.prompt().messages.size() >= 2);
        QVERIFY(f.prompt().messages[1].text.startsWith(
            QStringLiteral("La registrazione non è stata eliminata.")));
        QCOMPARE(f.journal().count(QStringLiteral("SELECT count(*) FROM Movilibro")), 3);
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
