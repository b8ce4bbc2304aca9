#include "app/mainmod.h"
#include "modaldriver.h"
#include "testsupport.h"
#include "ui/prompt/prompt.h"
#include "ui/report/reportcommands.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace movilibro;
using test::ModalDriver;

namespace {

// The real save dialog; the question about replacing a file is scripted.
class RealSaveDialog : public ScopedScriptedPrompt
{
public:
    QString saveFile(QWidget* parent, const QStringList& filters, const QString& proposed,
                     QString* selectedFilter) override
    {
        return DialogPrompt().saveFile(parent, filters, proposed, selectedFilter);
    }
};

// Notes the folder and the name the save dialog opened with, picks the CSV
// filter by keyboard when asked, types `typed` (if any) and presses Enter.
// `filter`: how many times Down is pressed in the file types (0 PDF, 1 CSV, 2 Excel).
void saveAs(QDialog& d, QStringList& opened, int filter, const QString& typed)
{
    auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    opened = QStringList{static_cast<QFileDialog&>(d).directory().absolutePath(), edit->text()};
    auto* filters = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; i < filter; ++i) {
        filters->setFocus();
        QTest::keyClick(filters, Qt::Key_Down);
    }
    edit->setFocus();
    edit->setCompleter(nullptr); // its pop-up would take the Enter
    if (!typed.isEmpty()) {
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    }
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestExportDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensInDocumentsThenInTheLastFolder();
    void typedNameAndFilterDecideTheFile_data();
    void typedNameAndFilterDecideTheFile();

private:
    report::ReportContext context() const
    {
        return {QDate(2010, 1, 1), QDate(2010, 12, 31), 0, 0, m_journal->connString()};
    }

    static QString documents();
    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_journal;
};

QString TestExportDialog::documents()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void TestExportDialog::initTestCase()
{
    mainmod::SettingsKey = QStringLiteral("Software\\Marlenco\\Movilibro\\Settings");
    QVERIFY(QDir().mkpath(documents()));
    m_journal = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/giornale"));
    m_journal->addEntry(QDate(2010, 3, 1), m_journal->addAccount(QStringLiteral("Cassa")),
                        QStringLiteral("Stipendio"), test::money(10), 0);
}

void TestExportDialog::opensInDocumentsThenInTheLastFolder()
{
    RealSaveDialog prompt;
    const QString other = m_dir.path() + QStringLiteral("/altrove");
    QVERIFY(QDir().mkpath(other));
    QStringList first, second;
    ModalDriver a([&](QDialog& d) { saveAs(d, first, 0, other + QStringLiteral("/rapporto")); });
    QVERIFY(report::exportPdfCommand(nullptr, context()));
    QCOMPARE(first, (QStringList{documents(), "Movilibro 01-01-2010 31-12-2010.pdf"}));
    QVERIFY(test::fileBytes(other + QStringLiteral("/rapporto.pdf")).startsWith("%PDF"));
    ModalDriver b([&](QDialog& d) { saveAs(d, second, 0, {}); });
    QVERIFY(report::exportPdfCommand(nullptr, context()));
    QCOMPARE(second.value(0), other);
    QVERIFY(test::fileBytes(other + u'/' + first.value(1)).startsWith("%PDF"));
}

void TestExportDialog::typedNameAndFilterDecideTheFile_data()
{
    QTest::addColumn<int>("filter"); // 0 PDF, 1 CSV, 2 Excel
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");      // -1: no dati.csv there; else the answer to replacing it
    QTest::addColumn<QString>("written"); // empty: nothing
    QTest::addColumn<QByteArray>("format");
    const QByteArray pdf("%PDF"), csv("\xEF\xBB\xBF", 3), xlsx("PK\x03\x04", 4);
    QTest::newRow("bare name, CSV") << 1 << "dati" << -1 << "dati.csv" << csv;
    QTest::newRow("bare name, Excel") << 2 << "dati" << -1 << "dati.xlsx" << xlsx;
    QTest::newRow("typed .pdf wins over CSV") << 1 << "x.pdf" << -1 << "x.pdf" << pdf;
    QTest::newRow("typed .csv wins over PDF") << 0 << "x.CSV" << -1 << "x.CSV" << csv;
    QTest::newRow("typed .xlsx wins over CSV") << 1 << "x.Xlsx" << -1 << "x.Xlsx" << xlsx;
    QTest::newRow("typed .csv wins over Excel") << 2 << "x.csv" << -1 << "x.csv" << csv;
    QTest::newRow("other suffix kept") << 1 << "x.txt" << -1 << "x.txt" << csv;
    QTest::newRow("CSV replaced when agreed") << 1 << "dati" << 1 << "dati.csv" << csv;
    QTest::newRow("CSV kept when refused") << 1 << "dati" << 0 << QString() << QByteArray();
}

void TestExportDialog::typedNameAndFilterDecideTheFile()
{
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, written);
    QFETCH(QByteArray, format);
    QTemporaryDir dir;
    const QString existing = dir.path() + QStringLiteral("/dati.csv");
    QFile earlier(existing);
    QVERIFY(answer < 0 || (earlier.open(QIODevice::WriteOnly) && earlier.write("prima") == 5));
    earlier.close();
    RealSaveDialog prompt;
    prompt.setNextAnswer(answer == 1 ? Answer::Yes : Answer::No);
    QStringList opened;
    QString reopened;
    std::unique_ptr<ModalDriver> again; // a refusal opens the dialog again: cancel it
    ModalDriver driver([&](QDialog& d) {
        saveAs(d, opened, filter, dir.path() + u'/' + typed);
        again = std::make_unique<ModalDriver>([&](QDialog& d2) {
            reopened = d2.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            QTest::keyClick(&d2, Qt::Key_Escape);
        });
    });
    QCOMPARE(report::exportPdfCommand(nullptr, context()), !written.isEmpty());
    QCOMPARE(prompt.messages.size(), answer < 0 ? 0 : 1);
    if (answer >= 0) // about the file really written
        QVERIFY2(prompt.messages.first().text.contains(existing), qPrintable(prompt.messages.first().text));
    QCOMPARE(reopened, answer == 0 ? QStringLiteral("dati.csv") : QString());
    if (written.isEmpty())
        QCOMPARE(test::fileBytes(existing), QByteArray("prima"));
    else
        QVERIFY(test::fileBytes(dir.path() + u'/' + written).startsWith(format));
}

QTEST_MAIN(TestExportDialog)
#include "test_exportdialog.moc"
