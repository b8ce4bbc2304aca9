// The bin and the change log as the main window opens them, by their keys:
// what restoring and emptying leave in the file, and the log's filter and CSV.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "history/moves.h"
#include "history/writes.h"
#include "ui/grid/groupedgrid.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QDate March2010(2010, 3, 15);

// Cassa (1) and Banca (2); entries 1 (Cassa), 2 and 3 (Banca). Entries 2 then
// 3 go to the bin, an hour apart, and Banca after them: the bin lists 3, 2,
// then the account.
void fillAndDelete(Journal& j, db::Connection& conn)
{
    const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
    const qint64 banca = j.addAccount(QStringLiteral("Banca"));
    j.addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("affitto"), money(100), 0);
    j.addEntry(QDate(2010, 3, 2), banca, QStringLiteral("spesa"), 0, money(30));
    j.addEntry(QDate(2010, 3, 3), banca, QStringLiteral("resto"), money(10), 0);
    history::deleteEntry(conn, 2, QDateTime(March2010, QTime(9, 0)));
    history::deleteEntry(conn, 3, QDateTime(March2010, QTime(10, 0)));
    db::Transaction tx(conn);
    std::vector<qint64> lines;
    history::moveItem(conn, {history::Item::Account, banca}, history::Place::Bin, history::Kind::Delete,
                      QDateTime(March2010, QTime(11, 0)), lines);
    tx.commit();
}

struct BinCase
{
    const char* name;
    const char* script; // in the bin window; <Close> at the end
    int answer;         // to emptying
    const char *entries, *bin, *accounts;
    int messages;
};

const int Yes = int(Answer::Yes), No = int(Answer::No);

const BinCase BinCases[] = {
    {"shown, nothing done", "", No, "1", "2 3", "1", 0},
    {"restore the first: its account comes back", "<cmdRipristina>", No, "1 3", "2", "1 2", 0},
    {"Enter on a row restores it", "<Return>", No, "1 3", "2", "1 2", 0},
    {"restore all", "<Ctrl+A>|<cmdRipristina>", No, "1 2 3", "", "1 2", 0},
    {"empty, yes", "<cmdSvuota>", Yes, "1", "", "1", 1},
    {"empty, no", "<cmdSvuota>", No, "1", "2 3", "1", 1},
};

struct LogCase
{
    const char* name;
    const char* filter;
    int kind; // index in the list of operations
    int shown;
};

// The period's log: two entries and an account to the bin, an import.
const LogCase LogCases[] = {
    {"everything", "", 0, 4},
    {"an account by its name", "Banca conto", 0, 1},
    {"words of a description", "SPESA", 0, 1},
    {"every word must be there", "spesa resto", 0, 0},
    {"deletions", "", 3, 3},
    {"imports, by their note", "movimenti", 7, 1},
};

// The grid's context menu on a header or on entry 2, and one of its commands
// clicked: the dialog it opens, or what it leaves in the file.
struct MenuCase
{
    const char* name;
    bool onEntry;
    const char* enabled; // the menu's commands enabled (nothing to undo yet)
    const char* command;
    const char* opened; // dialog name and title
    const char* entries;
};

const MenuCase MenuCases[] = {
    {"on a header", false, "mnuNuovo mnuCestino mnuRegistro", "mnuCestino", "frmCestino/Cestino", "1 2"},
    {"history of an entry", true, "mnuNuovo mnuModifica mnuElimina mnuCestino mnuStoria mnuRegistro",
     "mnuStoria", "frmCronologia/Storia della registrazione 2 (2 righe)", "1 2"},
    {"delete an entry", true, "mnuNuovo mnuModifica mnuElimina mnuCestino mnuStoria mnuRegistro",
     "mnuElimina", "", "1"},
};

} // namespace

class TestHistoryWindows : public QObject
{
    Q_OBJECT
private slots:
    void bin_data() { addRows(BinCases); }
    void bin()
    {
        const BinCase& c = currentCase(BinCases);
        MainWindowFixture f(March2010);
        db::Connection conn = f.journal().open();
        fillAndDelete(f.journal(), conn);
        frmMain& w = f.open();
        f.prompt().setNextAnswer(Answer(c.answer));
        QStringList listed;
        const auto playIn = [&](QDialog& d) {
            auto* list = control<QTreeWidget>(d, "lstCestino");
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                listed << list->topLevelItem(i)->text(1) + u'/' + list->topLevelItem(i)->text(2);
            play(d, QString::fromLatin1(c.script) + QStringLiteral("|<Close>"));
        };
        ModalDriver driver(playIn);
        QTest::keyClick(w.journalGrid()->view(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(driver.ran());
        QCOMPARE(listed.join(u' '), QStringLiteral("Banca/resto Banca/spesa Banca/(conto)"));
        QCOMPARE(f.prompt().messages.size(), c.messages);
        const auto ids = [&](const char* sql) { return f.journal().text(QString::fromLatin1(sql)); };
        QCOMPARE(ids("SELECT group_concat(mlId, ' ') FROM (SELECT mlId FROM Movilibro ORDER BY 1)"),
                 QString::fromLatin1(c.entries));
        QCOMPARE(ids("SELECT group_concat(mlId, ' ') FROM (SELECT mlId FROM Cestino ORDER BY 1)"),
                 QString::fromLatin1(c.bin));
        QCOMPARE(ids("SELECT group_concat(cntId, ' ') FROM (SELECT cntId FROM Conti ORDER BY 1)"),
                 QString::fromLatin1(c.accounts));
        // The grid shows what the file holds.
        QCOMPARE(w.journalGrid()->rowCount(), QString::fromLatin1(c.entries).count(u' ') + 1);
    }

    void gridMenu_data() { addRows(MenuCases); }
    void gridMenu()
    {
        const MenuCase& c = currentCase(MenuCases);
        MainWindowFixture f(March2010);
        const qint64 cassa = f.journal().addAccount(QStringLiteral("Cassa"));
        f.journal().addEntry(QDate(2010, 3, 1), cassa, QStringLiteral("affitto"), money(100), 0);
        f.journal().addEntry(QDate(2010, 3, 5), cassa, QStringLiteral("spesa"), 0, money(30));
        {
            db::Connection conn = f.journal().open(); // deleted and restored: two lines of history
            history::deleteEntry(conn, 2, QDateTime(March2010, QTime(9, 0)));
            history::restore(conn, {{history::Item::Entry, 2}}, QDateTime(March2010, QTime(9, 5)));
        }
        frmMain& w = f.open();
        grid::GroupedGrid& grid = *w.journalGrid();
        int row = 1;
        for (int p = 1; c.onEntry && p <= grid.displayRowCount(); ++p)
            row = f.idAt(p) == 2 ? p : row;
        grid.setCurrentRow(row);
        QTreeView* view = grid.view();
        const QPoint at = view->visualRect(view->currentIndex()).center();
        grid.setCurrentRow(row == 1 ? 2 : 1); // the click makes its row current
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
        auto* menu = grid.findChild<QMenu*>(QStringLiteral("mnuGiornale"));
        QVERIFY(menu && menu->isVisible());
        QStringList enabled;
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->objectName();
        QCOMPARE(enabled.join(u' '), QString::fromLatin1(c.enabled));
        QString opened;
        ModalDriver driver([&](QDialog& d) {
            const auto* log = d.findChild<QTreeView*>(QStringLiteral("lstCronologia"));
            opened = d.objectName() + u'/' + d.windowTitle() +
                     (log ? QStringLiteral(" (%1 righe)").arg(log->model()->rowCount()) : QString());
            d.reject();
        });
        f.prompt().setNextAnswer(Answer::Yes);
        QAction* command = menu->findChild<QAction*>(QString::fromLatin1(c.command));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(command).center());
        QCOMPARE(opened, QString::fromLatin1(c.opened));
        QCOMPARE(f.journal().text(QStringLiteral(
                     "SELECT group_concat(mlId, ' ') FROM (SELECT mlId FROM Movilibro ORDER BY mlId)")),
                 QString::fromLatin1(c.entries));
    }

    void periodLog_data() { addRows(LogCases); }
    void periodLog()
    {
        const LogCase& c = currentCase(LogCases);
        MainWindowFixture f(March2010);
        db::Connection conn = f.journal().open();
        fillAndDelete(f.journal(), conn);
        history::appendOperation(conn, history::Kind::Import, QStringLiteral("12 movimenti"),
                                 QDateTime(March2010, QTime(12, 0)));
        // Outside the period: not listed.
        history::appendOperation(conn, history::Kind::Import, QStringLiteral("3 movimenti"),
                                 QDateTime(QDate(2009, 1, 1), QTime(12, 0)));
        frmMain& w = f.open();
        const QString csv = f.journal().folder() + QStringLiteral("/registro.csv");
        f.prompt().setNextSaveFile(csv);
        int shown = -1;
        ModalDriver driver([&](QDialog& d) {
            control<QLineEdit>(d, "txtFiltro")->setFocus();
            QTest::keyClicks(control<QLineEdit>(d, "txtFiltro"), QString::fromLatin1(c.filter));
            control<QComboBox>(d, "cmbTipo")->setCurrentIndex(c.kind);
            shown = control<QTreeView>(d, "lstCronologia")->model()->rowCount();
            if (shown)
                play(d, QStringLiteral("<cmdEsporta>"));
            play(d, QStringLiteral("<Close>"));
        });
        QTest::keyClick(w.journalGrid()->view(), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(driver.ran());
        QCOMPARE(shown, c.shown);
        QFile file(csv);
        QCOMPARE(file.open(QIODevice::ReadOnly), c.shown > 0);
        if (c.shown) {
            const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), c.shown + 1);
            QVERIFY2(lines[0].startsWith(QStringLiteral("Quando;Operazione;Registrazione;Conto")),
                     qPrintable(lines[0]));
        }
    }
};

QTEST_MAIN(TestHistoryWindows)
#include "test_historywindows.moc"
