#include "app/mainmod.h"
#include "db/backup.h"
#include "history/writes.h"
#include "statement/statement.h"
#include "statement/values.h"
#include "testsupport.h"

#include <QDir>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace movilibro;
using namespace movilibro::statement;
using test::money;

namespace {

const QString Data = QStringLiteral(MOVILIBRO_TEST_DATA) + u'/';

struct FileCase
{
    const char* name;
    const char* file;
    const char* roles;   // one letter a column, as in RoleLetters
    int movements;       // refused ones included
    const char* refused; // their lines
    int leftOut, pending;
    qint64 in, out;          // totals of the journal after the import
    const char* description; // one that must come through as written
    const char* facts;       // currency|account|opening|closing
    int references;          // kept for the next import
};

const char RoleLetters[] = "-DVTAEURSGC";
const QString Iban = QStringLiteral("IT60X0542811101000000123456");

const FileCase Files[] = {
    {"preamble, columns in and out, balances", "preambolo.csv", "DVTEU", 6, "", 1, 0, money(3345, 67),
     money(848, 30), "Rimborso spese città", "|IT60X0542811101000000123456||", 0},
    {"signed column, refusals, two text columns", "importo.csv", "DTTA", 7, "5,6,7,8", 0, 0, money(1234, 56),
     money(1321, 62) + 34, "ADDEBITO - Bolletta luce", "|||", 0},
    {"Windows-1252, quoted separators", "accenti-1252.csv", "DTEU", 3, "", 0, 0, money(1020, 30),
     money(152, 40), "Caffè \"Città\"; bar", "|||", 0},
    {"comma separated, quoted amounts", "virgole.csv", "DTA", 3, "", 0, 0, money(1200), money(650, 1),
     "Rimborso \"IRPEF\"; 730", "|||", 0},
    {"two pages, decimal point, comma unquoted", "pagine.csv", "DTA", 5, "7", 1, 0, money(5000),
     money(1245, 30), "Spesa", "|||", 0},
    {"CAMT.053, pending entry left out", "camt053.xml", "", 4, "", 0, 1, money(1500), money(82, 45) + 67,
     "Stipendio agosto 2024", "EUR|IT60X0542811101000000123456||", 4},
    {"Italian months, balance before an unnamed amount", "saldo.csv", "DTSA-", 3, "", 0, 1, money(1800),
     money(50), "Bonifico a vostro favore Stipendio luglio", "|||", 0},
    {"German, sign column, other currency, closing balance", "umsaetze-de.csv", "DVTTAGC", 3, "8", 0, 1,
     money(2500), money(45), "Stadtwerke - Strom Juli", "EUR|DE89370400440532013000||31/07/2024 1234,56", 0},
    {"French, UTF-8 with a stray byte", "releve-fr.csv", "DVTUE", 3, "", 0, 0, money(150), money(66, 60),
     "Café Lyon", "|||", 0},
    {"English, month first, running total, text decoded twice", "statement-en.csv", "DTAS-", 3, "", 0, 1,
     money(1200), money(100), "Coffee shop Caffè", "|||", 0},
    {"Spanish, references numbered 1..n", "extracto-es.csv", "DVTAR", 3, "", 0, 0, money(300), money(95, 20),
     "Recibo luz", "|||", 0},
    {"control characters", "controlli.csv", "DTA", 3, "4", 0, 0, money(100), money(10),
     "Pagamento POS[31m rosso", "|||", 0},
    // The first of its two accounts.
    {"CAMT, 1,500, beyond range, dollars, short date", "camt-conti.xml", "", 7, "1,4,5,6", 0, 0, money(1500),
     money(20), "Commissioni tenuta conto",
     "EUR|IT60X0542811101000000123456|01/08/2024 1000,00|31/08/2024 2480,00", 0},
    // The second sheet, the first with data: a balance column, a date merged down two rows.
    {"XLSX, preamble, serial dates, amounts as numbers and as text", "movimenti.xlsx", "DVTAS", 5, "", 1, 0,
     money(1500), money(1392, 96), "Addebito SDD Enel", "|IT60X0542811101000000123456||31/03/2024 1107,04",
     0},
    {"XLSX, 1904 base, decimal point", "movimenti-1904.xlsx", "DTEU", 4, "", 0, 0, money(1500), money(3, 25),
     "Bonifico da Verdi", "|||", 0},
    {"XLS", "movimenti.xls", "DTEU", 4, "", 0, 0, money(1500), money(3, 25), "Canone mensile", "|||", 0},
    {"OFX 1, SGML", "conto.ofx", "", 4, "", 0, 0, money(1500), money(258, 40),
     "Stipendio marzo - Bonifico da Ditta Esempio", "EUR|0306901234000012345678||31/03/2024 1241,60", 4},
    {"OFX 2, XML, credit card", "carta.qfx", "", 3, "", 0, 0, money(29, 99), money(94, 19),
     "Ristorante Sale & Pepe - Cena di lavoro", "EUR|4111222233334444||31/03/2024 -64,20", 3},
    {"camt.052, francs, pending entry left out", "camt052.xml", "", 2, "", 0, 1, money(2000), money(120, 50),
     "Einkauf Lebensmittel", "CHF|CH9300762011623852957|01/09/2024 800,00|", 2},
    {"camt.054", "camt054.xml", "", 2, "", 0, 0, money(350), money(89, 90), "Rimborso spese",
     "EUR|IT60X0542811101000000123456||", 2},
};

QString rolesOf(const Statement& s)
{
    QString letters;
    for (const ColumnRole r : s.layout.roles)
        letters += QLatin1Char(RoleLetters[int(r)]);
    return letters;
}

QString factsOf(const Statement& s)
{
    const auto balance = [](const std::optional<Balance>& b) {
        return b ? b->date.toString(QStringLiteral("dd/MM/yyyy")) + u' ' + b->amount.toString() : QString();
    };
    const StatementAccount& a = s.accounts.at(0);
    return QStringList{a.currency, a.id, balance(a.opening), balance(a.closing)}.join(u'|');
}

QString refusedLines(const Statement& s)
{
    QStringList lines;
    for (const Movement& m : s.movements) {
        if (m.isRefused())
            lines << QString::number(m.line);
    }
    return lines.join(u',');
}

std::vector<Movement> accepted(const Statement& s)
{
    std::vector<Movement> out;
    std::copy_if(s.movements.begin(), s.movements.end(), std::back_inserter(out),
                 [](const Movement& m) { return m.isFresh(); });
    return out;
}

int duplicateCount(const Statement& s)
{
    return int(
        std::count_if(s.movements.begin(), s.movements.end(), [](const Movement& m) { return m.duplicate; }));
}

int repeatCount(const Statement& s)
{
    return int(std::count_if(s.movements.begin(), s.movements.end(),
                             [](const Movement& m) { return m.possibleRepeat.has_value(); }));
}

qint64 entriesIn(const QString& journalPath)
{
    db::Connection conn = db::Connection::open(journalPath, db::Connection::Mode::ReadOnly);
    db::Statement st = conn.prepare(QStringLiteral("SELECT count(*) FROM Movilibro"));
    return st.step() ? st.int64(0) : -1;
}

} // namespace

class TestStatement : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::Journal> m_journal;
    qint64 m_bank = 0;

    // A fresh journal with the accounts "Banca" and "Cassa".
    test::Journal& journal()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_journal = std::make_unique<test::Journal>(m_dir->path());
        m_bank = m_journal->addAccount(QStringLiteral("Banca"));
        m_journal->addAccount(QStringLiteral("Cassa"));
        return *m_journal;
    }

    Statement imported(const QString& file)
    {
        Statement s = readStatement(Data + file);
        if (s.accounts.size() > 1)
            keepAccount(s, 0);
        db::Connection conn = m_journal->open();
        markDuplicates(conn, m_bank, s.movements);
        importMovements(conn, m_journal->path(), m_bank, accepted(s), 0);
        return s;
    }

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        m_home = std::make_unique<test::TestHome>();
        db::Connection::setBusyTimeout(50);
    }

    void readAndImport_data() { test::addRows(Files); }
    void readAndImport()
    {
        const FileCase& c = test::currentCase(Files);
        test::Journal& j = journal();
        const Statement s = imported(QLatin1String(c.file));
        QCOMPARE(rolesOf(s), QLatin1String(c.roles));
        QCOMPARE(int(s.movements.size()), c.movements);
        QCOMPARE(refusedLines(s), QLatin1String(c.refused));
        QCOMPARE(s.leftOut, c.leftOut);
        QCOMPARE(s.pending(), c.pending);
        QCOMPARE(factsOf(s), QString::fromUtf8(c.facts));
        const int refused = c.refused[0] ? int(QLatin1String(c.refused).count(u',')) + 1 : 0;
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), c.movements - refused);
        QCOMPARE(j.text("SELECT sum(mlEntrate) FROM Movilibro").toLongLong(), c.in);
        QCOMPARE(j.text("SELECT sum(mlUscite) FROM Movilibro").toLongLong(), c.out);
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro WHERE mlDescrizione = '" +
                         QString::fromUtf8(c.description).replace(u'\'', QStringLiteral("''")) + u'\''),
                 1);
        QCOMPARE(j.count("SELECT count(*) FROM Riferimenti WHERE rfRiferimento <> ''"), c.references);
        // The second import of the same file brings nothing new, and makes no copy for nothing.
        const Statement again = imported(QLatin1String(c.file));
        QCOMPARE(duplicateCount(again), c.movements - refused);
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), c.movements - refused);
        const QStringList copies = db::JournalBackup(j.path()).copies(db::CopyKind::BeforeStatement);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(entriesIn(copies[0]), 0);
    }

    // What the reader cannot read refuses the file; what it cannot decide it
    // leaves to the user.
    void unreadable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("quote never closed") << "virgolette.csv"
                                            << "Le virgolette aperte alla riga 3 non vengono mai chiuse";
        QTest::newRow("no header row") << "senza-titoli.csv"
                                       << "Nel file manca la riga con i titoli delle colonne";
        QTest::newRow("a balance and no amount") << "solo-saldo.csv"
                                                 << "colonna dell'importo non riconosciuta: «Saldo» è il "
                                                    "saldo progressivo, non l'importo dei movimenti";
        QTest::newRow("whole numbers") << "ignota.csv"
                                       << "colonna dell'importo non riconosciuta: nessuna colonna ha importi "
                                          "riconoscibili";
        QTest::newRow("amounts without sign") << "senza-segno.csv"
                                              << "gli importi non hanno segno";
        QTest::newRow("nested 100,000 deep") << "*profondo.xml"
                                             << "Il file XML ha elementi annidati oltre 100 livelli";
        QTest::newRow("a line of 65,537 bytes") << "*riga.csv"
                                                << "La riga 2 del file è più lunga di 64 KiB";
        QTest::newRow("64 MiB and one byte") << "*enorme.csv"
                                             << "è troppo grande per un estratto conto";
        // Named .csv: the content tells.
        QTest::newRow("PDF") << "*pdf.csv"
                             << "è un PDF, fatto per essere letto o stampato";
        QTest::newRow("QIF") << "*qif.csv"
                             << "è in formato QIF, che il programma non legge";
        QTest::newRow("MT940") << "*mt940.csv"
                               << "è un estratto conto MT940 (SWIFT)";
        QTest::newRow("OFX without its end") << "*ofx.csv"
                                             << "il file è incompleto (manca la chiusura </OFX>)";
    }
    void unreadable()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = Data + file;
        if (file.startsWith(u'*')) {
            path = dir.filePath(file.mid(1));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (file == u"*profondo.xml")
                f.write("<Document><BkToCstmrStmt>" + QByteArray("<a>").repeated(100000));
            else if (file == u"*riga.csv")
                f.write("Data;Descrizione;Importo\n01/07/2024;" + QByteArray(65536 - 13, 'x') + ";1,00\n");
            else if (file == u"*pdf.csv")
                f.write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n");
            else if (file == u"*qif.csv")
                f.write("!Type:Bank\nD01/03/2024\nT-12.50\nPBar Sport\n^\n");
            else if (file == u"*mt940.csv")
                f.write(":20:STARTUMS\r\n:25:12345678/0012345678\r\n:28C:1/1\r\n:60F:C240301EUR100,00\r\n");
            else if (file == u"*ofx.csv")
                f.write("OFXHEADER:100\nDATA:OFXSGML\n\n<OFX><BANKMSGSRSV1><STMTTRNRS>");
            else
                f.resize(64 * 1024 * 1024 + 1);
        }
        QString message;
        try {
            message = readStatement(path).undecided;
        } catch (const StatementError& e) {
            message = e.message();
        }
        QVERIFY2(message.contains(reason), qPrintable(message));
    }

    // A statement still being written would come in cut.
    void fileChangedWhileRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in-scrittura.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Data;Descrizione;Importo\n" + QByteArray("01/07/2024;Spesa;-1,00\n").repeated(20000));
        file.flush();
        std::atomic<bool> done = false;
        std::thread writer([&] {
            for (int i = 0; i < 2000000 && !done; ++i)
                file.write("02/07/2024;Spesa;-1,00\n") && file.flush();
        });
        QString refusal;
        for (int i = 0; i < 50 && refusal.isEmpty(); ++i) {
            try {
                readStatement(path);
            } catch (const StatementError& e) {
                refusal = e.message();
            }
        }
        done = true;
        writer.join();
        QVERIFY2(refusal.contains(QStringLiteral("è cambiato durante la lettura")), qPrintable(refusal));
    }

    void longDescriptionCut()
    {
        const Statement s = readStatement(Data + QStringLiteral("virgole.csv"));
        const QString cut = s.movements.back().description;
        QCOMPARE(cut.size(), 255);
        QVERIFY(cut.startsWith(QStringLiteral("Bonifico Bonifico")));
        QCOMPARE(cut.back(), QChar(0x2026));
    }

    void valueDate()
    {
        QCOMPARE(readStatement(Data + QStringLiteral("preambolo.csv"), {{}, DateChoice::Value, {}, {}})
                     .movements[0]
                     .date,
                 QDate(2024, 2, 29));
        QCOMPARE(readStatement(Data + QStringLiteral("camt053.xml"), {{}, DateChoice::Value, {}, {}})
                     .movements[0]
                     .date,
                 QDate(2024, 7, 31));
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("decimal");
        QTest::addColumn<qint64>("raw"); // -1: refused; 0: blank
        const QChar comma = u',', point = u'.';
        QTest::newRow("grouped thousand") << "1.000" << comma << money(1000);
        QTest::newRow("Italian negative") << "-1.234,56" << comma << -money(1234, 56);
        QTest::newRow("one decimal") << "1.234,5" << comma << money(1234, 50);
        QTest::newRow("trailing minus") << "1.234,56-" << comma << -money(1234, 56);
        QTest::newRow("parentheses") << "(12,50)" << comma << -money(12, 50);
        QTest::newRow("euro sign") << "€ 7,00" << comma << money(7);
        QTest::newRow("four decimals") << "0,0001" << comma << qint64(1);
        QTest::newRow("zeros past four decimals") << "12,500000" << comma << money(12, 50);
        QTest::newRow("five decimals") << "12,34567" << comma << qint64(-1);
        QTest::newRow("dot where comma is decimal") << "12.50" << comma << qint64(-1);
        QTest::newRow("bad grouping") << "1.23,4" << comma << qint64(-1);
        QTest::newRow("decimal point") << "-1234.56" << point << -money(1234, 56);
        QTest::newRow("largest") << "922337203685477,5807" << comma << std::numeric_limits<qint64>::max();
        QTest::newRow("beyond range") << "922337203685477,5808" << comma << qint64(-1);
        QTest::newRow("blank") << "  " << comma << qint64(0);
        QTest::newRow("XML decimal") << "1500.00" << QChar(u'x') << money(1500);
        QTest::newRow("XML decimal grouped") << "1,500" << QChar(u'x') << qint64(-1);
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(QChar, decimal);
        QFETCH(qint64, raw);
        const AmountValue v = decimal == u'x' ? readXmlAmount(text) : readAmount(text, decimal);
        QCOMPARE(v.amount ? v.amount->raw() : v.refusal.isEmpty() ? 0 : -1, raw);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QDate>("today");
        const QDate today(2025, 6, 1);
        QTest::newRow("slashes") << "29/02/2024" << QDate(2024, 2, 29) << today;
        QTest::newRow("no such day") << "31/04/2024" << QDate() << today;
        QTest::newRow("dashes") << "5-3-2024" << QDate(2024, 3, 5) << today;
        QTest::newRow("dots, two-digit year") << "05.03.24" << QDate(2024, 3, 5) << today;
        QTest::newRow("two-digit year, last century") << "01/03/99" << QDate(1999, 3, 1) << today;
        QTest::newRow("two-digit year, next year") << "01/03/26" << QDate(2026, 3, 1) << today;
        QTest::newRow("two-digit year, 75 after 2050")
            << "01/03/75" << QDate(2075, 3, 1) << QDate(2050, 6, 1);
        QTest::newRow("ISO with time") << "2024-03-05T10:00:00" << QDate(2024, 3, 5) << today;
        QTest::newRow("time after the date") << "01/03/2024 10:30" << QDate(2024, 3, 1) << today;
        QTest::newRow("text after the date") << "01/03/2024 garbage" << QDate() << today;
        QTest::newRow("Italian month, short") << "24 lug 2024" << QDate(2024, 7, 24) << today;
        QTest::newRow("Italian month, whole, and time")
            << "3 Settembre 2024 18:05" << QDate(2024, 9, 3) << today;
        QTest::newRow("no such month") << "24 lux 2024" << QDate() << today;
        QTest::newRow("mixed separators") << "05/03-2024" << QDate() << today;
        QTest::newRow("before 1900") << "01/01/1899" << QDate() << today;
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QFETCH(QDate, today);
        QCOMPARE(readDate(text, DateOrder::DayMonth, today), date);
    }

    void duplicates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("description");
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("otherAccount");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("repeats"); // possible repeats of an entry typed by hand
        const QDate first(2024, 3, 1), fees(2024, 3, 15);
        const qint64 pay = money(2345, 67);
        QTest::newRow("case and blanks")
            << first << " STIPENDIO   Marzo" << pay << 0ll << 1 << false << 1 << 0;
        QTest::newRow("three days after")
            << first.addDays(3) << "stipendio marzo" << pay << 0ll << 1 << false << 1 << 0;
        QTest::newRow("four days after")
            << first.addDays(4) << "stipendio marzo" << pay << 0ll << 1 << false << 0 << 0;
        QTest::newRow("three days before")
            << first.addDays(-3) << "stipendio marzo" << pay << 0ll << 1 << false << 1 << 0;
        QTest::newRow("four days before")
            << first.addDays(-4) << "stipendio marzo" << pay << 0ll << 1 << false << 0 << 0;
        QTest::newRow("other direction") << first << "Stipendio marzo" << 0ll << pay << 1 << false << 0 << 0;
        QTest::newRow("other account") << first << "Stipendio marzo" << pay << 0ll << 1 << true << 0 << 0;
        QTest::newRow("accents") << QDate(2024, 3, 10) << "RIMBORSO SPESE CITTA" << money(1000) << 0ll << 1
                                 << false << 1 << 0;
        QTest::newRow("one entry for two same movements")
            << fees << "Commissioni" << 0ll << money(1, 50) << 1 << false << 1 << 0;
        QTest::newRow("two entries for two same movements")
            << fees << "Commissioni" << 0ll << money(1, 50) << 2 << false << 2 << 0;
        QTest::newRow("typed by hand, three days before")
            << first.addDays(-3) << "Stipendio" << pay << 0ll << 1 << false << 0 << 1;
        QTest::newRow("typed by hand, four days after")
            << first.addDays(4) << "Stipendio" << pay << 0ll << 1 << false << 0 << 0;
        QTest::newRow("typed by hand, other account")
            << first << "Stipendio" << pay << 0ll << 1 << true << 0 << 0;
    }
    void duplicates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, description);
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(int, entries);
        QFETCH(bool, otherAccount);
        QFETCH(int, expected);
        QFETCH(int, repeats);
        test::Journal& j = journal();
        for (int i = 0; i < entries; ++i)
            j.addEntry(date, otherAccount ? m_bank + 1 : m_bank, description, in, out);
        Statement s = readStatement(Data + QStringLiteral("preambolo.csv"));
        db::Connection conn = j.open();
        markDuplicates(conn, m_bank, s.movements);
        QCOMPARE(duplicateCount(s), expected);
        QCOMPARE(repeatCount(s), repeats);
        if (repeats)
            QCOMPARE(s.movements[0].possibleRepeat->description, description);
    }

    // A bank reference with the amount and nearly the date: a movement whose entry was
    // deleted comes in again, two movements alike in all but their references are two.
    void references()
    {
        test::Journal& j = journal();
        imported(QStringLiteral("camt053.xml"));
        {
            db::Connection conn = j.open(); // to the bin, with its reference
            history::deleteEntry(
                conn, j.count("SELECT mlId FROM Movilibro WHERE mlDescrizione = 'Addebito SDD utenza gas'"),
                QDateTime(QDate(2024, 9, 1), QTime(9, 0)));
        }
        j.addEntry(QDate(2024, 8, 10), m_bank, QStringLiteral("Prelievo bancomat"), 0, money(10));
        // The reference of an entry four days away is not enough.
        j.open().exec(
            QStringLiteral("UPDATE Movilibro SET mlData = '2024-08-05' WHERE mlEntrate = 15000000"));
        const Statement again = imported(QStringLiteral("camt053.xml"));
        QCOMPARE(duplicateCount(again), 2);
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), 6);
        QCOMPARE(j.count("SELECT count(*) FROM Cestino WHERE rfRiferimento IS NOT NULL"), 1);
        // Each import is one line of the log, with its counts and copy.
        QCOMPARE(
            j.text("SELECT group_concat(crTipo || ': ' || substr(crNota, 1, instr(crNota, 'Copia') - 1) || "
                   "(crNota LIKE '%Copia del giornale: movilibro_%.mdb'), ' | ') FROM Cronologia "
                   "WHERE crTipo <> 'eliminazione'"),
            QStringLiteral("importazione: Estratto conto: 4 movimenti importati, 0 tralasciati. 1 | "
                           "importazione: Estratto conto: 2 movimenti importati, 0 tralasciati. 1"));
    }

    // A failed try writes nothing, leaves no copy and pushes out none of those
    // made before the imports that went through.
    void nothingWrittenOnFailure_data()
    {
        QTest::addColumn<int>("failure");
        QTest::newRow("another program writing") << 0;
        QTest::newRow("another program reading") << 1;
        QTest::newRow("a failure halfway through the rows") << 2;
    }
    void nothingWrittenOnFailure()
    {
        QFETCH(int, failure);
        test::Journal& j = journal();
        imported(QStringLiteral("preambolo.csv"));
        const db::JournalBackup backup(j.path());
        const QStringList copies = backup.copies();
        // The third entry cannot be written: two are, in the transaction, when it fails.
        if (failure == 2)
            j.open().exec(QStringLiteral("CREATE TRIGGER guasto BEFORE INSERT ON Movilibro WHEN "
                                         "NEW.mlDescrizione = 'Prelievo bancomat' BEGIN SELECT RAISE(ABORT, "
                                         "'guasto'); END"));
        const Statement s = readStatement(Data + QStringLiteral("camt053.xml"));
        const QByteArray before = test::fileBytes(j.path());
        for (int attempt = 0; attempt <= db::JournalBackup::Kept; ++attempt) {
            std::optional<test::HeldLock> lock;
            if (failure < 2)
                lock.emplace(j, failure == 1);
            db::Connection conn = j.open();
            QVERIFY_THROWS_EXCEPTION(db::DbError, importMovements(conn, j.path(), m_bank, s.movements, 0));
        }
        QCOMPARE(test::fileBytes(j.path()), before);
        QCOMPARE(backup.copies(), copies);
        QCOMPARE(entriesIn(copies.value(0)), 0);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("remembered"); // roles|decimal|date order|positive amounts
        QTest::addColumn<bool>("typed");         // "Stipendio" typed by hand on 24/07/2024
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("written"); // date and money out of each entry, when given
        const QString banca = QStringLiteral("--account|Banca");
        QTest::newRow("imported, outside the period")
            << "preambolo.csv"
            << "--account|banca"
            << "" << false << 0 << 6
            << "6 movimenti importati (dal 01/03/2024 al 15/03/2024) sono fuori dal periodo visualizzato "
               "(2025): per "
               "vederli cambiare la data di lavoro in Preferenze."
            << "";
        QTest::newRow("unknown account")
            << "preambolo.csv"
            << "--account|Posta"
            << "" << false << 1 << 0
            << "Il conto \"Posta\" non esiste nel giornale. Conti del giornale: Banca, "
               "Cassa."
            << "";
        QTest::newRow("missing file, escape in its name")
            << "nessuno\x1b[2J.csv" << banca << "" << false << 1 << 0 << "nessuno?[2J.csv non esiste"
            << "";
        QTest::newRow("columns not recognised")
            << "ignota.csv" << banca << "" << false << 1 << 0 << "nessuna colonna ha importi riconoscibili"
            << "";
        QTest::newRow("no header row")
            << "senza-titoli.csv" << banca << "" << false << 1 << 0 << "manca la riga con i titoli"
            << "";
        QTest::newRow("columns confirmed before")
            << "ignota.csv" << banca << "DTA|,|DM|in" << false << 0 << 2 << "2 movimenti importati"
            << "2024-07-01 0, 2024-07-02 50000";
        QTest::newRow("a balance and no amount")
            << "solo-saldo.csv" << banca << "" << false << 1 << 0 << "«Saldo» è il saldo progressivo"
            << "";
        QTest::newRow("amounts without sign")
            << "senza-segno.csv" << banca << "" << false << 1 << 0 << "gli importi non hanno segno"
            << "";
        QTest::newRow("sign, decimals and date order confirmed before")
            << "senza-segno.csv" << banca << "DTA|.|MD|out" << false << 0 << 2 << "2 movimenti importati"
            << "2024-01-07 12500, 2024-02-07 480000";
        QTest::newRow("two accounts in the file") << "camt-conti.xml" << banca << "" << false << 1 << 0
                                                  << "Il file contiene i movimenti di più conti "
                                                     "(IT60X0542811101000000123456, CH9300762011623852957)"
                                                  << "";
        QTest::newRow("the account --iban names, in francs")
            << "camt-conti.xml" << banca + "|--iban|CH93 0076 2011 6238 5295 7"
            << "" << false << 0 << 1 << "Importi in CHF, importati senza conversione."
            << "";
        QTest::newRow("pending, and a possible repeat of an entry typed by hand")
            << "saldo.csv" << banca << "" << true << 0 << 3
            << "2 movimenti importati, 0 già presenti, 1 possibile doppione tralasciato, 1 non "
               "contabilizzato "
               "tralasciato, 0 rifiutati."
            << "";
        QTest::newRow("a workbook of two sheets with data")
            << "movimenti.xlsx" << banca << "" << false << 1 << 0
            << "ha più fogli con movimenti (Conto corrente, Carta): indicare con --sheet quello da importare"
            << "";
        QTest::newRow("the sheet --sheet names") << "movimenti.xlsx" << banca + "|--sheet|Carta"
                                                 << "" << false << 0 << 3 << "3 movimenti importati"
                                                 << "2024-03-02 299900, 2024-03-10 0, 2024-03-12 642000";
        QTest::newRow("a sheet that is not there")
            << "movimenti.xlsx" << banca + "|--sheet|Note"
            << "" << false << 1 << 0 << "non c'è un foglio «Note» con dati, ma: Conto corrente, Carta"
            << "";
        QTest::newRow("--sheet for a CSV file")
            << "preambolo.csv" << banca + "|--sheet|Foglio1"
            << "" << false << 1 << 0
            << "non è un foglio di calcolo: l'opzione --sheet vale solo per i file Excel"
            << "";
        QTest::newRow("a sheet of notes before the movements")
            << "legenda.xls" << banca << "" << false << 0 << 2 << "2 movimenti importati"
            << "2024-04-02 0, 2024-04-05 184000";
        QTest::newRow("OFX") << "conto.ofx" << banca << "" << false << 0 << 4
                             << "4 movimenti importati, 0 già presenti"
                             << "2024-03-01 0, 2024-03-04 125000, 2024-03-05 459000, 2024-03-18 2000000";
        QTest::newRow("no account named") << "preambolo.csv"
                                          << ""
                                          << "" << false << 2 << 0 << ""
                                          << "";
    }
    void commandLine()
    {
        QFETCH(QString, file);
        QFETCH(QString, args);
        QFETCH(QString, remembered);
        QFETCH(bool, typed);
        QFETCH(int, status);
        QFETCH(int, entries);
        QFETCH(QString, said);
        QFETCH(QString, written);
        test::TestHome home;
        test::Journal& j = journal();
        if (!remembered.isEmpty()) {
            const QStringList kept = remembered.split(u'|');
            ColumnLayout layout = readStatement(Data + file).layout;
            layout.roles.clear();
            for (const QChar letter : kept[0])
                layout.roles << ColumnRole(QByteArray(RoleLetters).indexOf(letter.toLatin1()));
            layout.decimalSeparator = kept[1][0];
            layout.dateOrder = kept[2] == u"MD" ? DateOrder::MonthDay : DateOrder::DayMonth;
            layout.amountSign = kept[3] == u"out" ? AmountSign::PositiveOut : AmountSign::PositiveIn;
            rememberLayout(mainmod::DefaultSettingsKey, layout);
        }
        if (typed)
            j.addEntry(QDate(2024, 7, 24), m_bank, QStringLiteral("Stipendio"), money(1800), 0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MOVILIBRO_TODAY"), QStringLiteral("2025-06-01"));
        const test::ProgramRun run =
            test::runProgram(QStringLiteral(MOVILIBRO_EXE),
                             QStringList{"--import-statement", Data + file, "--db", j.folder()} +
                                 args.split(u'|', Qt::SkipEmptyParts),
                             environment);
        const QString output = run.out + run.err;
        QVERIFY2(run.status == status, qPrintable(output));
        QVERIFY2(output.contains(said), qPrintable(output));
        QVERIFY(std::none_of(output.begin(), output.end(), [](QChar c) { return c < u' ' && c != u'\n'; }));
        QCOMPARE(j.count("SELECT count(*) FROM Movilibro"), entries);
        if (!written.isEmpty())
            QCOMPARE(j.text("SELECT group_concat(mlData || ' ' || mlUscite, ', ') FROM Movilibro"), written);
        QCOMPARE(QDir(j.folder() + QStringLiteral("/backup")).exists(), entries > int(typed));
    }
};

QTEST_GUILESS_MAIN(TestStatement)
#include "test_statement.moc"
