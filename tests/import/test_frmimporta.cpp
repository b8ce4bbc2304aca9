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
#include <QLabel>
#include <QTableView>

#include <string_view>

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

// One mark a row: 'x' ticked, '-' unticked, '?' unticked as a possible repeat,
// 'r' cannot be ticked.
QString ticks(QDialog& d)
{
    const QAbstractItemModel* model = control<QTableView>(d, QStringLiteral("tblMovimenti"))->model();
    QString marks;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex tick = model->index(row, 0);
        const bool repeat =
            model->index(row, 5).data().toString().startsWith(u"possibile doppione di «spesa»");
        marks += !(model->flags(tick) & Qt::ItemIsEnabled)      ? u'r'
                 : tick.data(Qt::CheckStateRole) == Qt::Checked ? u'x'
                 : repeat                                       ? u'?'
                                                                : u'-';
    }
    return marks;
}

// The roles, decimals, date order and (when asked) the sign a columns page shows.
QString choices(QDialog& d)
{
    QStringList roles;
    for (int i = 0; auto* combo = control<QComboBox>(d, QStringLiteral("cmbRuolo_%1").arg(i)); ++i)
        roles << combo->currentText();
    auto* sign = control<QComboBox>(d, QStringLiteral("cmbSegno"));
    return QStringList{roles.join(u','), control<QComboBox>(d, QStringLiteral("cmbDecimali"))->currentText(),
                       control<QComboBox>(d, QStringLiteral("cmbOrdineDate"))->currentText(),
                       sign->isVisible() ? sign->currentText() : QString()}
        .join(u'|');
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
    const char* again;       // ticks when the window is opened again on the same file
    QString remembered = {}; // the choices the columns page shows then
    QDate today = QDate(2024, 3, 15);
    const char* told = ""; // in the message after the import
};

const QString ContoChoices = QStringLiteral(
    "Data,Data valuta,ignorata,Descrizione,Entrate,Uscite|virgola (1.234,56)|giorno/mese/anno|");

const Import Imports[] = {
    // "Causale" alone as the description; the POS payment is the entry of the
    // 4th, the 31st of February is refused.
    {"csv, description column changed", "conto.csv", false, "<Tab>|<Tab>|ign|<Return>", "x-rx", 3,
     "<Down>|<Space>|<Down>|<Space>", "xxr-",
     Before + " / 2024-03-02|Banca|Affitto marzo|10000000|0 / 2024-03-05|Banca|Spesa|0|453000", "--rx",
     ContoChoices},
    {"csv, value date", "conto.csv", false, "<Tab>|<Tab>|ign|<optDataValuta>|<Return>", "x-rx", -1, "",
     "x-rx", Before + " / 2024-03-01|Banca|Affitto marzo|10000000|0 / 2024-03-06|Banca|Contanti|0|500000",
     "--r-", ContoChoices},
    // Both texts joined; the POS payment of 45,30 the day after "spesa" may be it, typed by hand.
    {"csv as guessed, a possible repeat, outside the period", "conto.csv", false, "<Return>", "x?rx", -1, "",
     "x?rx",
     Before +
         " / 2024-03-02|Banca|Bonifico da Bianchi - Affitto marzo|10000000|0 / 2024-03-07|Banca|Prelievo "
         "bancomat - Contanti|0|500000",
     "-?r-",
     QStringLiteral(
         "Data,Data valuta,Descrizione,Descrizione,Entrate,Uscite|virgola (1.234,56)|giorno/mese/anno|"),
     QDate(2025, 1, 10),
     "2 movimenti importati (dal 02/03/2024 al 07/03/2024) sono fuori dal periodo visualizzato (2025): per "
     "vederli cambiare la data di lavoro in Preferenze."},
    // Nothing says whether 1.250 comes in or goes out, nor that it is 1,25 and the 7th of January.
    {"csv without sign: decimals, date order and sign chosen", "../statement/senza-segno.csv", false,
     "<Tab>|<Tab>|<Tab>|<Tab>|p|<Tab>|m|<Tab>|un'u|<Return>", "xx", -1, "", "xx",
     Before + " / 2024-01-07|Banca|Spesa carta|0|12500 / 2024-02-07|Banca|Ristorante|0|480000", "--",
     QStringLiteral("Data,Descrizione,Importo con segno|punto (1,234.56)|mese/giorno/anno|un'uscita")},
    // The file's accounts offered, none chosen: the francs' one taken; opened
    // again, the assistant does not go on without a choice.
    {"camt, two accounts, the one chosen in francs",
     "../statement/camt-conti.xml",
     false,
     "<Backtab>|CH",
     "x",
     -1,
     "",
     "x",
     Before + " / 2024-08-03|Banca|Rimborso|1000000|0",
     "",
     {},
     QDate(2024, 3, 15),
     "Attenzione: importi in CHF, importati senza conversione."},
    // Chosen with "Sfoglia…"; the second sheet with data, chosen again when opened again.
    {"xlsx, the second sheet", "../statement/movimenti.xlsx", true, "<Down>|<Return>", "xxx", -1, "", "xxx",
     Before +
         " / 2024-03-02|Banca|Libreria Centrale|0|299900 / 2024-03-10|Banca|Storno Libreria Centrale|299900|0"
         " / 2024-03-12|Banca|Ristorante Da Mario|0|642000",
     "---",
     QStringLiteral("Data,Descrizione,Importo con segno|virgola (1.234,56)|giorno/mese/anno|un'entrata")},
    // No columns page; the card's payment of the 4th is not the 45,30 typed by hand.
    {"ofx", "../statement/conto.ofx", false, "", "xxxx", -1, "", "xxxx",
     Before + " / 2024-03-01|Banca|Stipendio marzo - Bonifico da Ditta Esempio|15000000|0 / "
              "2024-03-04|Banca|Caffè Bar "
              "Sport|0|125000 / 2024-03-05|Banca|Addebito SDD - Enel Energia bolletta marzo|0|459000 / "
              "2024-03-18|Banca|Prelievo bancomat|0|2000000",
     "----"},
    // Booked entries only; no columns page.
    {"camt.053", "conto.xml", true, "", "xx", 0, "<Space>", "xx",
     Before + " / 2024-03-04|Banca|Stipendio febbraio|12507500|0 / 2024-03-06|Banca|Bolletta luce|0|801000",
     "--"},
    {"camt.053, value date", "conto.xml", false, "<optDataXmlValuta>", "xx", -1, "", "xx",
     Before + " / 2024-03-02|Banca|Stipendio febbraio|12507500|0 / 2024-03-06|Banca|Bolletta luce|0|801000",
     "--"},
};

struct Cancel
{
    const char* name;
    const char* file;
    QString script; // after the file
    bool locked;    // the journal is locked by another program at "Importa"
    int messages;
    const char* answers = ""; // 'y' and 'n' to the questions, in order
    bool accountGone = false; // deleted by another program before "Importa"
};

// From the account page: the first account, then on.
const QString ToReview = QStringLiteral("<Return>|");

const Cancel Cancels[] = {
    {"Esc on the columns page", "conto.csv", "<Esc>", false, 0},
    {"Annulla on the review page, after going back", "conto.csv",
     "<Return>|" + ToReview + "<cmdIndietro>|<cmdIndietro>|<Return>|" + ToReview + "<cmdAnnulla>", false, 1,
     "y"},
    {"Esc on the review page: not closed at first", "conto.xml", ToReview + "<Esc>|<Esc>", false, 2, "ny"},
    {"journal locked at Importa", "conto.xml", ToReview + "<Return>|<Esc>", true, 2, "y"},
    {"account deleted before Importa", "conto.xml", ToReview + "<Return>|<Esc>", false, 2, "y", true},
    {"missing file", "nessuno.csv", "<Esc>", false, 1},
};

struct Columns
{
    const char* name;
    const char* file;
    QString shown;     // choices as first shown
    const char* said;  // what the page says is missing
    QStringList steps; // keys, after each the state of "Avanti" is noted
    QList<bool> next;
};

const Columns ColumnCases[] = {
    // Two dates, then one; no amount, then money in.
    {"roles once each, an amount",
     "conto.csv",
     "Data,Data valuta,Descrizione,Descrizione,Entrate,Uscite|virgola (1.234,56)|giorno/mese/anno|",
     "",
     {"<Tab>|<Tab>|<Tab>|Data", "<End>", "<Tab>|ign|<Tab>|ign",
      "<Backtab>|<Backtab>|<Backtab>|<Backtab>|Entr"},
     {false, true, false, true}},
    // The balance is not taken for the amount, and nothing else is either.
    {"a balance and no amount",
     "../statement/solo-saldo.csv",
     "Data,Descrizione,Saldo|virgola (1.234,56)|giorno/mese/anno|",
     "Colonna dell'importo non riconosciuta: «Saldo» è il saldo progressivo",
     {"<Tab>|<Tab>|Imp"},
     {false}},
    {"amounts without sign",
     "../statement/senza-segno.csv",
     "Data,Descrizione,Importo con segno|virgola (1.234,56)|giorno/mese/anno|",
     "Gli importi non hanno segno",
     {"<Tab>|<Tab>|<Tab>|<Tab>|<Tab>|<Tab>|un'e"},
     {true}},
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
        MainWindowFixture f(c.today);
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
        if (c.browse) {
            const QString filters = f.prompt().openFilters.value(0).join(u' ');
            for (const char* kind : {"*.csv", "*.txt", "*.xlsx", "*.xls", "*.ofx", "*.qfx", "*.xml"})
                QVERIFY2(filters.contains(QLatin1String(kind)), kind);
        }
        QCOMPARE(shown, QString::fromLatin1(c.shown));
        QCOMPARE(ticked, QString::fromLatin1(c.ticked));
        QCOMPARE(entries(f.journal()), c.written);
        QVERIFY(f.reloads().contains(QStringLiteral("gexsBind")));
        QCOMPARE(f.prompt().messages.size(), 1);
        QVERIFY2(f.prompt().messages[0].text.contains(QString::fromUtf8(c.told)),
                 qPrintable(f.prompt().messages[0].text));

        // The window the program keeps, opened again on the same file: the
        // choices confirmed come back, what came in is known, and Esc asks.
        QString remembered, again;
        f.prompt().setNextAnswer(Answer::Yes);
        QVERIFY(runAssistant(f, [&](QDialog& d) {
            play(d, "<Return>");
            if (QByteArray(c.file).endsWith(".csv") || QByteArray(c.file).endsWith(".xlsx")) {
                remembered = choices(d);
                play(d, "<Return>");
            }
            play(d, ToReview);
            again = ticks(d);
            play(d, "<Esc>");
            stillOpen = d.isVisible();
        }));
        QVERIFY(!stillOpen);
        QCOMPARE(remembered, c.remembered);
        QCOMPARE(again, QString::fromLatin1(c.again));
        QCOMPARE(f.prompt().messages.size(), c.again[0] ? 2 : 1);
    }

    // What the file does not say is asked, nothing chosen for the user; an
    // incomplete mapping cannot go on, completing it can; the texts are shown whole.
    void columnsMustBeComplete_data() { addRows(ColumnCases); }
    void columnsMustBeComplete()
    {
        const Columns& c = currentCase(ColumnCases);
        MainWindowFixture f;
        f.journal().addAccount(QStringLiteral("Banca"));
        f.open();
        QString shown, said;
        QList<bool> next;
        bool textsWhole = true;
        QVERIFY(runAssistant(f, [&](QDialog& d) {
            play(d, Data + c.file + "|<Return>");
            shown = choices(d);
            said = control<QLabel>(d, QStringLiteral("lblMancante"))->text();
            const auto* preview =
                static_cast<const QAbstractItemView*>(control<QTableView>(d, QStringLiteral("tblPreview")));
            for (int i = 0; auto* combo = control<QComboBox>(d, QStringLiteral("cmbRuolo_%1").arg(i)); ++i) {
                if (combo->currentText() == u"Descrizione")
                    textsWhole = textsWhole && static_cast<const QTableView*>(preview)->columnWidth(i) >=
                                                   preview->sizeHintForColumn(i);
            }
            auto* avanti = control<QAbstractButton>(d, QStringLiteral("cmdAvanti"));
            for (const QString& keys : c.steps) {
                play(d, keys);
                next << avanti->isEnabled();
            }
            play(d, "<Esc>");
        }));
        QCOMPARE(shown, c.shown);
        const QString expected = QString::fromUtf8(c.said);
        QCOMPARE(said.left(expected.isEmpty() ? said.size() : expected.size()), expected);
        QCOMPARE(next, c.next);
        QVERIFY(textsWhole);
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
        for (const char a : std::string_view(c.answers))
            f.prompt().setNextAnswer(a == 'y' ? Answer::Yes : Answer::No);
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
