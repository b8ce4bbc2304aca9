// Balances at a day, reconciliations and cash counts on a real journal, then
// the windows that make them, the marks in the grid and the question before
// a reconciled entry changes.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "db/connection.h"
#include "journal/journalcolumns.h"
#include "reconcile/balance.h"
#include "reconcile/cashcount.h"
#include "reconcile/reconciliation.h"
#include "report/csvexport.h"
#include "report/xlsxexport.h"
#include "statement/xlsxreader.h"
#include "ui/grid/gridmodel.h"
#include "ui/grid/querygrid.h"
#include "ui/main/accountspane.h"
#include "ui/main/maintoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QDate EndOfMarch(2010, 3, 31);
const QDateTime Now(QDate(2010, 4, 2), QTime(9, 30));

// Cassa (1): 31/12/2009 +100,00 "saldo" (id 1), 31/03/2010 -30,50 "spesa"
// (id 2), 01/04/2010 +7,00 "dopo" (id 4); Banca (2): 31/03/2010 +1.000,00 (id 3).
void fill(const Journal& j)
{
    const qint64 cassa = j.addAccount(QStringLiteral("Cassa"));
    const qint64 banca = j.addAccount(QStringLiteral("Banca"));
    j.addEntry(QDate(2009, 12, 31), cassa, QStringLiteral("saldo"), money(100), 0);
    j.addEntry(EndOfMarch, cassa, QStringLiteral("spesa"), 0, money(30, 50));
    j.addEntry(EndOfMarch, banca, QStringLiteral("bonifico"), money(1000), 0);
    j.addEntry(QDate(2010, 4, 1), cassa, QStringLiteral("dopo"), money(7), 0);
}

QString sqliteTool(const QString& path, const QString& sql)
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {path, sql});
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
}

QString sheetRow(const statement::Sheet& sheet, int row)
{
    return test::describeSheetRow(sheet, sheet.rows.at(row));
}

QString labelText(QDialog& d, const QString& name)
{
    return control<QLabel>(d, name)->text();
}

} // namespace

class TestReconcile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    Journal journal()
    {
        Journal j(m_dir.path() + u'/' + QString::fromLatin1(QTest::currentTestFunction()) + u'/' +
                  QString::fromLatin1(QTest::currentDataTag()));
        fill(j);
        return j;
    }

private slots:
    // Every entry of the account up to the day, whatever the year, also after
    // another tool changed the entries.
    void balanceAtADay_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("balance");
        QTest::newRow("before the first entry") << QString() << QDate(2009, 12, 30) << "0,00";
        QTest::newRow("the first entry's day") << QString() << QDate(2009, 12, 31) << "100,00";
        QTest::newRow("the day before") << QString() << QDate(2010, 3, 30) << "100,00";
        QTest::newRow("the day") << QString() << EndOfMarch << "69,50";
        QTest::newRow("the day after") << QString() << QDate(2010, 4, 1) << "76,50";
        QTest::newRow("moved to another account")
            << "UPDATE Movilibro SET mlConto = 2 WHERE mlId = 2" << EndOfMarch << "100,00";
        QTest::newRow("moved a day on")
            << "UPDATE Movilibro SET mlData = '2010-04-01' WHERE mlId = 2" << EndOfMarch << "100,00";
        QTest::newRow("amount changed")
            << "UPDATE Movilibro SET mlUscite = 12345 WHERE mlId = 2" << EndOfMarch << "98,7655";
        QTest::newRow("deleted") << "DELETE FROM Movilibro WHERE mlId = 1" << QDate(2010, 4, 1) << "-23,50";
    }
    void balanceAtADay()
    {
        QFETCH(QString, sql);
        QFETCH(QDate, day);
        QFETCH(QString, balance);
        const Journal j = journal();
        if (!sql.isEmpty())
            QCOMPARE(sqliteTool(j.path(), sql), QString());
        db::Connection conn = j.open();
        QCOMPARE(reconcile::italianAmount(reconcile::balanceAt(conn, 1, day)), balance);
    }

    // Only the account's entries up to the day, not reconciled before, are marked.
    void reconciliationMarksTheTickedEntries()
    {
        const Journal j = journal();
        db::Connection conn = j.open();
        const reconcile::Reconciliation r = reconcile::recordReconciliation(
            conn, 1, EndOfMarch, Currency::fromRaw(money(70)), {2, 3, 4}, Now);
        QCOMPARE(r.ticked, 1);
        QCOMPARE(sqliteTool(j.path(),
                            "SELECT qdConto, qdData, qdTipo, qdSaldoEstratto, qdSaldoGiornale, "
                            "qdDifferenza IS NULL, qdRegistrata FROM Quadrature; SELECT * FROM Riscontri"),
                 QStringLiteral("1|2010-03-31|0|700000|695000|1|2010-04-02T09:30:00\n2|1\n"));
        QCOMPARE(reconcile::openEntries(conn, 1, EndOfMarch).size(), size_t(1));
        QCOMPARE(reconcile::reconciledNet(conn, 1, EndOfMarch).raw(), -money(30, 50));
        QCOMPARE(reconcile::recordReconciliation(conn, 1, EndOfMarch, Currency::fromRaw(money(70)), {2}, Now)
                     .ticked,
                 0);
        QCOMPARE(reconcile::reconciledWith(conn, 2), std::optional<QDate>(EndOfMarch));
        QCOMPARE(reconcile::reconciledWith(conn, 1), std::nullopt);
        QVERIFY_THROWS_EXCEPTION(
            reconcile::ReconcileError,
            reconcile::recordReconciliation(conn, 9, EndOfMarch, Currency::fromRaw(money(1)), {}, Now));
    }

    // The journal holds 69,50 at the end of March.
    void cashCountWritesTheDifference_data()
    {
        QTest::addColumn<QList<qint64>>("pieces");
        QTest::addColumn<qint64>("counted");
        QTest::addColumn<QString>("entry");
        QTest::newRow("more cash") << QList<qint64>() << money(70)
                                   << "2010-03-31|Differenza di cassa|5000|0|nuovo";
        QTest::newRow("less cash") << QList<qint64>() << money(60)
                                   << "2010-03-31|Differenza di cassa|0|95000|nuovo";
        QTest::newRow("as the journal") << QList<qint64>() << money(69, 50) << "";
        // 50 € + 10 € + 5 € + 2 € + 2 € + 50 cent.
        QTest::newRow("by pieces, as the journal")
            << QList<qint64>{0, 0, 0, 1, 0, 1, 1, 2, 0, 1, 0, 0, 0, 0, 0} << qint64(-1) << "";
        // 2 × 50 € + 3 × 20 cent + 1 cent = 100,61.
        QTest::newRow("by pieces, more cash")
            << QList<qint64>{0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 1} << qint64(-1)
            << "2010-03-31|Differenza di cassa|311100|0|nuovo";
    }
    void cashCountWritesTheDifference()
    {
        QFETCH(QList<qint64>, pieces);
        QFETCH(qint64, counted);
        QFETCH(QString, entry);
        const Journal j = journal();
        db::Connection conn = j.open();
        const Currency cash = counted >= 0 ? Currency::fromRaw(counted)
                                           : reconcile::countedCash({pieces.cbegin(), pieces.cend()});
        const reconcile::CashCount done = reconcile::recordCashCount(conn, 1, EndOfMarch, cash, Now);
        QCOMPARE(done.differenceEntry.has_value(), !entry.isEmpty());
        QCOMPARE(done.logLines.size(), size_t(entry.isEmpty() ? 0 : 1));
        QCOMPARE(sqliteTool(j.path(),
                            "SELECT mlData, mlDescrizione, mlEntrate, mlUscite, crTipo FROM Movilibro "
                            "JOIN Cronologia USING (mlId) WHERE mlId > 4"),
                 entry.isEmpty() ? QString() : entry + u'\n');
        QCOMPARE(sqliteTool(j.path(),
                            "SELECT qdTipo, qdSaldoEstratto, qdSaldoGiornale, qdDifferenza FROM Quadrature"),
                 QStringLiteral("1|%1|695000|%2\n")
                     .arg(cash.raw())
                     .arg(done.differenceEntry ? QString::number(*done.differenceEntry) : QString()));
        QCOMPARE(reconcile::italianAmount(reconcile::balanceAt(conn, 1, EndOfMarch)),
                 reconcile::italianAmount(cash));
    }

    // The mark is a column of its own in both exports, only in journals that have one.
    void exportsHaveTheMarkColumn_data()
    {
        QTest::addColumn<bool>("reconciled");
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QStringList>("sheet"); // the captions and the last entry
        QTest::newRow("never reconciled")
            << false
            << "Data;Conto;Descrizione;Entrate;Uscite;Saldo progressivo\r\n"
               "01/04/2010;\"Cassa\";\"dopo\";\"7,00\";;\"976,50\"\r\n"
               "31/03/2010;\"Banca\";\"bonifico\";\"1000,00\";;\"969,50\"\r\n"
               "31/03/2010;\"Cassa\";\"spesa\";;\"30,50\";\"-30,50\"\r\n"
            << QStringList{"Data|Conto|Descrizione|Entrate|Uscite|Saldo progressivo",
                           "d:31/03/2010|Cassa|spesa||n:30.50|n:-30.50"};
        QTest::newRow("one reconciled")
            << true
            << "Data;Conto;Descrizione;Entrate;Uscite;Saldo progressivo;Riscontrato\r\n"
               "01/04/2010;\"Cassa\";\"dopo\";\"7,00\";;\"976,50\";\r\n"
               "31/03/2010;\"Banca\";\"bonifico\";\"1000,00\";;\"969,50\";\r\n"
               "31/03/2010;\"Cassa\";\"spesa\";;\"30,50\";\"-30,50\";31/03/2010\r\n"
            << QStringList{"Data|Conto|Descrizione|Entrate|Uscite|Saldo progressivo|Riscontrato",
                           "d:31/03/2010|Cassa|spesa||n:30.50|n:-30.50|d:31/03/2010"};
    }
    void exportsHaveTheMarkColumn()
    {
        QFETCH(bool, reconciled);
        QFETCH(QString, csv);
        QFETCH(QStringList, sheet);
        const Journal j = journal();
        if (reconciled) {
            db::Connection conn = j.open();
            reconcile::recordReconciliation(conn, 1, EndOfMarch, Currency(), {2}, Now);
        }
        const QString out = j.folder() + QStringLiteral("/giornale.csv");
        const report::ReportContext year{QDate(2010, 1, 1), QDate(2010, 12, 31), 0, 0, j.connString()};
        report::exportCsv(year, out);
        QCOMPARE(fileBytes(out), "\xEF\xBB\xBF" + csv.toUtf8());
        const QString workbook = j.folder() + QStringLiteral("/giornale.xlsx");
        report::exportXlsx(year, workbook);
        const statement::Sheet& journal = statement::openXlsx(fileBytes(workbook))->sheet(0);
        QCOMPARE((QStringList{sheetRow(journal, 1), sheetRow(journal, 5)}), sheet);
    }

    // From the accounts pane: the journal's balance, the difference, the
    // ticks changing the reconciled total, then the mark in the grid, which
    // changes no column's width.
    void reconcileFromTheAccountsPane()
    {
        MainWindowFixture f(EndOfMarch);
        fill(f.journal());
        frmMain& w = f.open();
        QHeaderView* header = w.journalGrid()->view()->header();
        QList<int> widths;
        for (int c = 0; c < header->count(); ++c)
            widths << header->sectionSize(c);
        w.accountsPane()->grid()->setCurrentRow(2); // Cassa, after Banca
        auto* menu = w.findChild<QAction*>(QStringLiteral("mnuQuadratura"));
        QVERIFY(w.accountsPane()->grid()->view()->actions().contains(menu));
        QStringList seen;
        ModalDriver driver([&](QDialog& d) {
            seen << control<QComboBox>(d, "cboConto")->currentText() << labelText(d, "lblSaldoGiornale");
            play(d, QStringLiteral("<Alt+E>|70"));
            seen << labelText(d, "lblDifferenza") << labelText(d, "lblRiscontrato");
            auto* list = control<QTreeWidget>(d, "lstRegistrazioni");
            seen << QString::number(list->topLevelItemCount());
            list->setFocus();
            play(d, QStringLiteral("<Down>|<Space>"));
            seen << labelText(d, "lblRiscontrato");
            play(d, QStringLiteral("<Space>|<Space>|<cmdRegistra>"));
            seen << QString::number(list->topLevelItemCount()) << labelText(d, "lblRiscontrato");
            d.reject();
        });
        menu->trigger();
        QVERIFY(driver.ran());
        QCOMPARE(seen, (QStringList{"Cassa", "69,50", "0,50", "0,00", "2", "-30,50", "1", "-30,50"}));
        QCOMPARE(f.prompt().messages.last().text,
                 QStringLiteral("Quadratura registrata al 31/03/2010: 1 registrazioni riscontrate."));
        QStringList marks;
        for (int p = 1; p <= w.journalGrid()->displayRowCount(); ++p) {
            if (w.journalGrid()->rowType(p) != journal::RowType::Entry)
                continue;
            const auto* model = w.journalGrid()->model();
            const QModelIndex cell = model->indexOf(p, journal::JournalColumn::Descrizione);
            marks << QStringLiteral("%1:%2").arg(f.idAt(p)).arg(
                model->data(cell, Qt::DecorationRole).isValid());
        }
        marks.sort();
        QCOMPARE(marks, (QStringList{"2:1", "3:0", "4:0"}));
        for (int c = 0; c < header->count(); ++c)
            QCOMPARE(header->sectionSize(c), widths.at(c));
    }

    // After the import of a statement with its balances: the lines beside
    // the journal's, then, on Yes, the reconciliation at the statement's day.
    void importOffersTheReconciliation()
    {
        MainWindowFixture f(QDate(2024, 4, 15));
        const qint64 banca = f.journal().addAccount(QStringLiteral("Banca"));
        f.journal().addEntry(QDate(2024, 2, 29), banca, QStringLiteral("Saldo precedente"), money(1000), 0);
        f.journal().addEntry(QDate(2024, 4, 1), banca, QStringLiteral("Dopo"), 0, money(7));
        f.open();
        f.prompt().setNextAnswer(Answer::Yes);
        QStringList seen;
        std::optional<ModalDriver> reconciliation;
        ModalDriver import([&](QDialog& d) {
            play(d, QString::fromUtf8(MOVILIBRO_TEST_DATA "/cli/saldi.csv|<Return>|<Return>|<Return>"));
            reconciliation.emplace([&](QDialog& q) {
                seen << q.objectName() << control<QComboBox>(q, "cboConto")->currentText()
                     << control<QDateEdit>(q, "datData")->date().toString(QStringLiteral("dd/MM/yyyy"))
                     << control<QLineEdit>(q, "txtSaldoEstratto")->text() << labelText(q, "lblSaldoGiornale")
                     << labelText(q, "lblDifferenza")
                     << QString::number(control<QTreeWidget>(q, "lstRegistrazioni")->topLevelItemCount());
                q.reject();
            });
            play(d, QStringLiteral("<Return>"));
        });
        f.window().toolbar()->action(QStringLiteral("import"))->trigger();
        QVERIFY(import.ran() && reconciliation && reconciliation->ran());
        QCOMPARE(seen,
                 (QStringList{"frmQuadratura", "Banca", "31/03/2024", "2.000,00", "2.000,00", "0,00", "3"}));
        const QString told = f.prompt().messages.value(0).text;
        QVERIFY2(told.contains(
                     QStringLiteral("\r\n\r\nSaldo finale dell'estratto al 31/03/2024: 2.000,00 · Saldo di "
                                    "Banca nel giornale alla stessa data: 2.000,00 · Differenza: 0,00\r\n"
                                    "Saldo iniziale dell'estratto al 01/03/2024: 1.000,00 · Saldo di Banca "
                                    "nel giornale il giorno prima (29/02/2024): 1.000,00 · Differenza: "
                                    "0,00\r\n\r\nAprire la Quadratura")),
                 qPrintable(told));
        QCOMPARE(f.prompt().messages.value(0).style, MsgStyle::YesNo);
    }

    // The balance and its day taken from a statement file.
    void balanceFromAStatementFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("taken"); // balance and day, or what the user is told
        QTest::newRow("ofx") << "statement/conto.ofx"
                             << "1.241,60 31/03/2024";
        QTest::newRow("csv with its balances") << "cli/saldi.csv"
                                               << "2.000,00 31/03/2024";
        QTest::newRow("csv without") << "import/conto.csv"
                                     << "L'estratto conto non riporta il saldo finale: scriverlo a mano.";
    }
    void balanceFromAStatementFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, taken);
        MainWindowFixture f(QDate(2024, 4, 15));
        f.journal().addAccount(QStringLiteral("Banca"));
        f.open();
        f.prompt().setNextOpenFile(QStringLiteral(MOVILIBRO_TEST_DATA "/") + file);
        QString seen;
        ModalDriver driver([&](QDialog& d) {
            play(d, QStringLiteral("<cmdDaEstratto>"));
            seen = control<QLineEdit>(d, "txtSaldoEstratto")->text() + u' ' +
                   control<QDateEdit>(d, "datData")->date().toString(QStringLiteral("dd/MM/yyyy"));
            d.reject();
        });
        f.window().findChild<QAction*>(QStringLiteral("mnuQuadratura"))->trigger();
        QVERIFY(driver.ran());
        QCOMPARE(f.prompt().messages.isEmpty() ? seen : f.prompt().messages.last().text, taken);
    }

    // Counted by pieces with the keyboard: the total, the difference, and
    // the entry that brings the journal to the cash.
    void cashCountByPieces()
    {
        MainWindowFixture f(EndOfMarch);
        fill(f.journal());
        frmMain& w = f.open();
        w.accountsPane()->grid()->setCurrentRow(2);
        QStringList seen;
        ModalDriver driver([&](QDialog& d) {
            seen << focusedName() << labelText(d, "lblSaldoGiornale");
            control<QSpinBox>(d, "spnPezzi_5000")->setFocus();
            play(d, QStringLiteral("<Up>|<Up>"));
            control<QSpinBox>(d, "spnPezzi_1")->setFocus();
            play(d, QStringLiteral("<Up>"));
            seen << control<QLineEdit>(d, "txtContato")->text() << labelText(d, "lblDifferenza");
            play(d, QStringLiteral("<cmdRegistra>"));
            seen << QString::number(d.isVisible());
        });
        w.findChild<QAction*>(QStringLiteral("mnuContaCassa"))->trigger();
        QVERIFY(driver.ran());
        QCOMPARE(seen, (QStringList{"spnPezzi_50000", "69,50", "100,01", "30,51", "0"}));
        QCOMPARE(
            f.journal().text("SELECT mlData || ' ' || mlDescrizione || ' ' || mlEntrate || ' ' || mlUscite "
                             "FROM Movilibro WHERE mlId = 5"),
            QStringLiteral("2010-03-31 Differenza di cassa 305100 0"));
    }

    // Changing or deleting a reconciled entry asks first; No changes nothing.
    void reconciledEntryAsksFirst_data()
    {
        QTest::addColumn<qint64>("entry");
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("after"); // the entry's description, or "-" when deleted
        QTest::newRow("change, No") << qint64(2) << false << int(Answer::No) << "spesa";
        QTest::newRow("change, Yes") << qint64(2) << false << int(Answer::Yes) << "spesa 2";
        QTest::newRow("delete, No") << qint64(2) << true << int(Answer::No) << "spesa";
        QTest::newRow("delete, Yes") << qint64(2) << true << int(Answer::Yes) << "-";
        QTest::newRow("not reconciled, change") << qint64(3) << false << -1 << "bonifico 2";
        QTest::newRow("not reconciled, delete") << qint64(3) << true << -1 << "-";
    }
    void reconciledEntryAsksFirst()
    {
        QFETCH(qint64, entry);
        QFETCH(bool, deleting);
        QFETCH(int, answer);
        QFETCH(QString, after);
        MainWindowFixture f(EndOfMarch);
        fill(f.journal());
        {
            db::Connection conn = f.journal().open();
            reconcile::recordReconciliation(conn, 1, EndOfMarch, Currency::fromRaw(money(70)), {2}, Now);
        }
        frmMain& w = f.open();
        for (int p = 1; p <= w.journalGrid()->displayRowCount(); ++p) {
            if (w.journalGrid()->rowType(p) == journal::RowType::Entry && f.idAt(p) == entry)
                w.journalGrid()->setCurrentRow(p);
        }
        if (deleting)
            f.prompt().setNextAnswer(Answer::Yes); // "Eliminare la riga selezionata?"
        if (answer >= 0)
            f.prompt().setNextAnswer(Answer(answer));
        const int before = f.prompt().messages.size();
        if (deleting) {
            QTest::keyClick(w.journalGrid()->view(), Qt::Key_Delete);
        } else {
            ModalDriver driver([](QDialog& d) { play(d, QStringLiteral("<Return>|<End>| 2|<cmdSalva>")); });
            QTest::keyClick(w.journalGrid()->view(), Qt::Key_Return);
            QVERIFY(driver.ran());
        }
        const QString question = QStringLiteral(
            "La registrazione è già stata riscontrata con l'estratto del 31/03/2010. Modificarla comunque?");
        QStringList asked;
        for (int i = before; i < f.prompt().messages.size(); ++i)
            asked << f.prompt().messages.at(i).text;
        QCOMPARE(asked.contains(question), answer >= 0);
        const QString description = f.journal().text(
            QStringLiteral("SELECT mlDescrizione FROM Movilibro WHERE mlId = %1").arg(entry));
        QCOMPARE(description.isEmpty() ? QStringLiteral("-") : description, after);
        // What was written is in the entry's history.
        QCOMPARE(
            f.journal().count(QStringLiteral("SELECT count(*) FROM Cronologia WHERE mlId = %1").arg(entry)),
            qint64(after == u"spesa" ? 0 : 1));
    }
};

QTEST_MAIN(TestReconcile)
#include "test_reconcile.moc"
