// The import assistant opened from the toolbar on a real journal and driven
// by keys and mouse: a column the user reassigns, movements already there
// left unticked, refused ones that cannot be ticked, only the ticked ones
// written, and nothing written unless "Importa" succeeds.
#include "mainwindowfixture.h"
#include "modaldriver.h"

#include "ui/main/maintoolbar.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QTableView>

using namespace movilibro;
using namespace movilibro::test;

namespace {

const QString Data = QStringLiteral(MOVILIBRO_TEST_DATA "/import/");

// Opens the assistant with the toolbar command and runs `steps` in it.
bool runAssistant(MainWindowFixture& f, const std::function<void(QDialog&)>& steps)
{
    ModalDriver driver(steps);
    f.window().toolbar()->action(QStringLiteral("import"))->trigger();
    return driver.ran() && !driver.timedOut();
}

// One mark a row: 'x' ticked, '-' unticked, 'r' cannot be ticked.
QString ticks(QDialog& d)
{
    const QAbstractItemModel* model = control<QTableView>(d, QStringLiteral("tblMovimenti"))->model();
    QString marks;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex tick = model->index(row, 0);
        marks += !(model->flags(tick) & Qt::ItemIsEnabled)      ? u'r'
                 : tick.data(Qt::CheckStateRole) == Qt::Checked ? u'x'
                                                                : u'-';
    }
    return marks;
}

void clickTick(QDialog& d, int row)
{
    auto* table = control<QTableView>(d, QStringLiteral("tblMovimenti"));
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
}

// "date|account|description|in|out" of every entry, in the order written.
QString entries(const Journal& j)
{
    return j.text(
        QStringLiteral("SELECT group_concat(r, ' / ') FROM (SELECT mlData || '|' || cntNome || '|' || "
                       "mlDescrizione || '|' || ifnull(mlEntrate, 0) || '|' || ifnull(mlUscite, 0) AS r "
                       "FROM Movilibro JOIN Conti ON cntId = mlConto ORDER BY mlId)"));
}

const QString Before = QStringLiteral("2024-03-04|Banca|spesa|0|453000");

struct Import
{
    const char* name;
    const char* file;
    bool browse;       // chosen with "Sfoglia…" rather than typed
    QString columns;   // keys from the page after the file's to the account page
    const char* shown; // ticks as first shown
    int clicked;       // row whose tick is clicked, or -1
    QString review;    // keys in the list of movements
    const char* ticked;
    QString written;
};

const Import Imports[] = {
    // "Causale" as the description instead of the guessed "Descrizione"; the
    // POS payment is the entry of the 4th, the 31st of February is refused.
    {"csv, description column changed", "conto.csv", false, "<Tab>|<Tab>|ign|<Tab>|Descr|<Return>", "x-rx", 3,
     "<Down>|<Space>|<Down>|<Space>", "xxr-",
     Before + " / 2024-03-02|Banca|Affitto marzo|10000000|0 / 2024-03-05|Banca|Spesa|0|453000"},
    {"csv, value date", "conto.csv", false, "<Tab>|<Tab>|ign|<Tab>|Descr|<optDataValuta>|<Return>", "x-rx",
     -1, "", "x-rx",
     Before + " / 2024-03-01|Banca|Affitto marzo|10000000|0 / 2024-03-06|Banca|Contanti|0|500000"},
    // Booked entries only; no columns page.
    {"camt.053", "conto.xml", true, "", "xx", 0, "<Space>", "xx",
     Before + " / 2024-03-04|Banca|Stipendio febbraio|12507500|0 / 2024-03-06|Banca|Bolletta luce|0|801000"},
    {"camt.053, value date", "conto.xml", false, "<optDataXmlValuta>", "xx", -1, "", "xx",
     Before + " / 2024-03-02|Banca|Stipendio febbraio|12507500|0 / 2024-03-06|Banca|Bolletta luce|0|801000"},
};

struct Cancel
{
    const char* name;
    const char* file;
    QString script; // after the file
    bool locked;    // the journal is locked by another program at "Importa"
    int messages;
    bool accountGone = false; // deleted by another program before "Importa"
};

// From the account page: the first account, then on.
const QString ToReview = QStringLiteral("<Return>|");

const Cancel Cancels[] = {
    {"Esc on the columns page", "conto.csv", "<Esc>", false, 0},
    {"Annulla on the review page, after going back", "conto.csv",
     "<Return>|" + ToReview + "<cmdIndietro>|<cmdIndietro>|<Return>|" + ToReview + "<cmdAnnulla>", false, 0},
    {"journal locked at Importa", "conto.xml", ToReview + "<Return>|<Esc>", true, 1},
    {"account deleted before Importa", "conto.xml", ToReview + "<Return>|<Esc>", false, 1, true},
    {"missing file", "nessuno.csv", "<Esc>", false, 1},
};

} // namespace

class TestFrmImporta : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinItalianLocale(); }

    void importsTheTickedMovements_data() { addRows(Imports); }
    void importsTheTickedMovements()
    {
        const Import& c = currentCase(Imports);
        MainWindowFixture f;
        const qint64 bank = f.journal().addAccount(QStringLiteral("Banca"));
        f.journal().addAccount(QStringLiteral("Cassa"));
        f.journal().addEntry(QDate(2024, 3, 4), bank, QStringLiteral("spesa"), std::nullopt, money(45, 30));
        f.open();
        QString shown, ticked;
        bool stillOpen = true;
        QVERIFY(runAssistant(f, [&](QDialog& d) {
            if (c.browse) {
                f.prompt().setNextOpenFile(Data + c.file);
                play(d, "<cmdSfoglia>");
            } else {
                play(d, Data + c.file);
            }
            play(d, "<Return>|" + c.columns + "|" + ToReview);
            QCOMPARE(focusedName(), QStringLiteral("tblMovimenti"));
            shown = ticks(d);
            if (c.clicked >= 0)
                clickTick(d, c.clicked);
            play(d, c.review);
            ticked = ticks(d);
            play(d, "<Return>");
            stillOpen = d.isVisible();
        }));
        QVERIFY(!stillOpen);
        QCOMPARE(shown, QString::fromLatin1(c.shown));
        QCOMPARE(ticked, QString::fromLatin1(c.ticked));
        QCOMPARE(entries(f.journal()), c.written);
        QVERIFY(f.reloads().contains(QStringLiteral("gexsBind")));
        QCOMPARE(f.prompt().messages.size(), 1);

        // The columns confirmed come back for the same header.
        if (!QByteArray(c.file).endsWith(".csv"))
            return;
        QStringList roles;
        QVERIFY(runAssistant(f, [&](QDialog& d) {
            play(d, "<Return>");
            for (int i = 0; auto* combo = control<QComboBox>(d, QStringLiteral("cmbRuolo_%1").arg(i)); ++i)
                roles << combo->currentText();
            play(d, "<Esc>");
        }));
        QCOMPARE(roles.join(u','), QStringLiteral("Data,Data valuta,ignorata,Descrizione,Entrate,Uscite"));
    }

    // An incomplete mapping cannot go on; completing it can.
    void columnsMustBeComplete()
    {
        MainWindowFixture f;
        f.journal().addAccount(QStringLiteral("Banca"));
        f.open();
        QList<bool> next;
        QVERIFY(runAssistant(f, [&](QDialog& d) {
            play(d, Data + "conto.csv|<Return>");
            auto* avanti = control<QAbstractButton>(d, QStringLiteral("cmdAvanti"));
            // Two descriptions, then one; no amount, then money in.
            for (const char* keys : {"<Tab>|<Tab>|<Tab>|Descr", "<Backtab>|ign", "<Tab>|<Tab>|ign|<Tab>|ign",
                                     "<Backtab>|<Backtab>|<Backtab>|<Backtab>|Entr"}) {
                play(d, keys);
                next << avanti->isEnabled();
            }
            play(d, "<Esc>");
        }));
        QCOMPARE(next, QList<bool>({false, true, false, true}));
    }

    void writesNothingUnlessImported_data() { addRows(Cancels); }
    void writesNothingUnlessImported()
    {
        const Cancel& c = currentCase(Cancels);
        MainWindowFixture f;
        f.journal().addAccount(QStringLiteral("Banca"));
        QByteArray before = fileBytes(f.journal().path());
        f.open();
        std::optional<HeldLock> lock;
        QVERIFY(runAssistant(f, [&](QDialog& d) {
            play(d, Data + c.file + "|<Return>|");
            if (c.locked)
                lock.emplace(f.journal());
            if (c.accountGone) {
                f.journal().open().exec(QStringLiteral("DELETE FROM Conti"));
                before = fileBytes(f.journal().path());
            }
            play(d, c.script);
            QVERIFY(!d.isVisible());
        }));
        lock.reset();
        QCOMPARE(f.prompt().messages.size(), c.messages);
        QCOMPARE(fileBytes(f.journal().path()), before);
        QVERIFY(f.reloads().isEmpty());
    }
};

QTEST_MAIN(TestFrmImporta)
#include "test_frmimporta.moc"
