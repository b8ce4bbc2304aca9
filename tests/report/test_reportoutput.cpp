#include "reportfixtures.h"

#include "app/prompt.h"
#include "db/connstring.h"
#include "report/arpschede.h"
#include "report/pdfexport.h"
#include "report/reportcommands.h"
#include "report/reportpreview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace movilibro;
using namespace movilibro::report;

namespace {

ReportContext contextFor(const test::Journal& journal, int layout, int kind)
{
    return ReportContext{QDate(2010, 1, 1), QDate(2010, 12, 31), kind, layout, journal.connString()};
}

QString lineWith(const QString& text, const QString& needle)
{
    for (const QString& line : text.split(u'\n')) {
        if (line.simplified().contains(needle)) {
            return line.simplified();
        }
    }
    return {};
}

// Accepts the next print dialog as soon as it shows.
void acceptNextPrintDialog()
{
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QPrintDialog*>(widget); dialog && dialog->isVisible()) {
                dialog->accept();
                return;
            }
        }
        acceptNextPrintDialog();
    });
}

} // namespace

class TestReportOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportedPdfHoldsCaptionsAndAmounts();
    void exportedPdfHasTheLaidOutPages();
    void secondExportWithMoreLevelsPrintsThemAll();
    void cancelledExportWritesNothing();
    void failedWriteIsReportedAndLeavesNoFile();
    void exportReplacesAnEarlierFile();
    void unreadableJournalIsReportedBeforeAsking();
    void previewOffersPrintAndTwoViews();
    void previewPrintsThroughThePrintDialog();
    void previewFitsANarrowerPaper();
    void previewOfAnUnreadableJournalIsNotOpened();

private:
    QString outFile(const QString& name) const { return m_dir.path() + u'/' + name; }

    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_sample;
    std::unique_ptr<test::Journal> m_large;
};

void TestReportOutput::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_sample = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/sample"));
    test::fillJournal(*m_sample, test::sampleEntries());
    m_large = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/large"));
    test::fillJournal(*m_large, test::manyEntries(400));
}

void TestReportOutput::exportedPdfHoldsCaptionsAndAmounts()
{
    ScopedScriptedPrompt prompt;
    const QString path = outFile(QStringLiteral("quarters.pdf"));
    prompt.setNextSaveFile(path);
    QVERIFY(exportPdfCommand(nullptr, contextFor(*m_sample, 3, 2)));
    QCOMPARE(prompt.saveFilters, (QList<QStringList>{{QStringLiteral("Acrobat reader (*.pdf)"),
                                                      QStringLiteral("Foglio di calcolo CSV (*.csv)")}}));
    QVERIFY(prompt.messages.isEmpty());

    const QString text = test::pdfText(path);
    QCOMPARE(lineWith(text, "Movilibro dal"),
             QStringLiteral("Movilibro dal 01/01/2010 al 31/12/2010 2.234,50 850,00 + 1.384,50"));
    QCOMPARE(lineWith(text, "Primo Trimestre"),
             QStringLiteral("Primo Trimestre 2010 2.234,50 800,00 + 1.434,50"));
    QCOMPARE(lineWith(text, "Secondo Trimestre"), QStringLiteral("Secondo Trimestre 2010 50,00 - 50,00"));
    QCOMPARE(lineWith(text, "Affitto"), QStringLiteral("10/02/2010 Affitto Banca 800,00 - 800,00"));
    QCOMPARE(lineWith(text, "Descrizione"),
             QStringLiteral("Data Descrizione Conto Entrate Uscite Saldo progressivo"));
    QCOMPARE(test::pdfPages(path), 1);
}

void TestReportOutput::exportedPdfHasTheLaidOutPages()
{
    ScopedScriptedPrompt prompt;
    const QString path = outFile(QStringLiteral("large.pdf"));
    prompt.setNextSaveFile(path);
    QVERIFY(exportPdfCommand(nullptr, contextFor(*m_large, 3, 0)));

    arpSchede report;
    setUpReport(report, contextFor(*m_large, 3, 0));
    const int pages = int(runForPdf(report).pages.size());
    QVERIFY(pages > 5);
    QCOMPARE(test::pdfPages(path), pages);
    const QString text = test::pdfText(path);
    QCOMPARE(text.count(QStringLiteral("Saldo progressivo")), pages);
    QVERIFY(text.contains(QStringLiteral("dicembre 2010")));
    QVERIFY(text.contains(QStringLiteral("Movimento numero 400")));
}

void TestReportOutput::secondExportWithMoreLevelsPrintsThemAll()
{
    ScopedScriptedPrompt prompt;
    const QString flat = outFile(QStringLiteral("flat.pdf"));
    const QString nested = outFile(QStringLiteral("nested.pdf"));
    prompt.setNextSaveFile(flat);
    prompt.setNextSaveFile(nested);
    QVERIFY(exportPdfCommand(nullptr, contextFor(*m_sample, 0, 1)));
    QVERIFY(exportPdfCommand(nullptr, contextFor(*m_sample, 4, 1)));

    const QString flatText = test::pdfText(flat);
    QVERIFY(flatText.contains(QStringLiteral("Movilibro dal 01/01/2010 al 31/12/2010")));
    QVERIFY(!flatText.contains(QStringLiteral("bimestre")));

    const QString nestedText = test::pdfText(nested);
    QCOMPARE(lineWith(nestedText, "Banca 800,00"), QStringLiteral("Banca 800,00 800,00 0,00"));
    QCOMPARE(nestedText.count(QStringLiteral("Primo bimestre 2010")), 2);
    QCOMPARE(nestedText.count(QStringLiteral("Secondo bimestre 2010")), 2);
    QCOMPARE(nestedText.count(QStringLiteral("Terzo bimestre 2010")), 1);
}

void TestReportOutput::cancelledExportWritesNothing()
{
    ScopedScriptedPrompt prompt;
    prompt.setNextSaveFile(QString());
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    QVERIFY(!exportPdfCommand(nullptr, contextFor(*m_sample, 1, 0)));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
    QVERIFY(prompt.messages.isEmpty());
}

void TestReportOutput::failedWriteIsReportedAndLeavesNoFile()
{
    ScopedScriptedPrompt prompt;
    const QString folder = outFile(QStringLiteral("taken"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/report.pdf")));
    prompt.setNextSaveFile(folder + QStringLiteral("/report.pdf"));
    QVERIFY(!exportPdfCommand(nullptr, contextFor(*m_sample, 1, 0)));
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages.first().style, MsgStyle::Ok);
    QVERIFY2(prompt.messages.first().text.startsWith(QStringLiteral("Impossibile salvare il file PDF \"")),
             qPrintable(prompt.messages.first().text));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());

    prompt.setNextSaveFile(outFile(QStringLiteral("manca/report.pdf")));
    QVERIFY(!exportPdfCommand(nullptr, contextFor(*m_sample, 1, 0)));
    QCOMPARE(prompt.messages.size(), 2);
    QVERIFY(!QFile::exists(outFile(QStringLiteral("manca/report.pdf"))));
}

void TestReportOutput::exportReplacesAnEarlierFile()
{
    const QString folder = outFile(QStringLiteral("again"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/report.pdf");
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write(QByteArray(500000, 'x'));
    }
    arpSchede report;
    setUpReport(report, contextFor(*m_sample, 2, 0));
    exportPdf(report, path);
    QVERIFY(test::fileBytes(path).startsWith("%PDF"));
    QVERIFY(!test::fileBytes(path).contains(QByteArray(1000, 'x')));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.pdf")});
}

void TestReportOutput::unreadableJournalIsReportedBeforeAsking()
{
    ScopedScriptedPrompt prompt;
    ReportContext context = contextFor(*m_sample, 3, 0);
    context.connString = db::connStringFor(outFile(QStringLiteral("nessuna")));
    QVERIFY(!exportPdfCommand(nullptr, context));
    QVERIFY(prompt.saveFilters.isEmpty());
    QCOMPARE(prompt.messages.size(), 1);
    QVERIFY2(prompt.messages.first().text.startsWith(
                 QStringLiteral("Impossibile leggere i movimenti da stampare.")),
             qPrintable(prompt.messages.first().text));
}

void TestReportOutput::previewOffersPrintAndTwoViews()
{
    QPointer<ReportPreview> preview = printPreview(nullptr, contextFor(*m_large, 1, 0));
    QVERIFY(preview);
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    auto* print = preview->findChild<QAction*>(QStringLiteral("actStampa"));
    auto* width = preview->findChild<QAction*>(QStringLiteral("actLarghezza"));
    auto* page = preview->findChild<QAction*>(QStringLiteral("actPagina"));
    QVERIFY(print && width && page);
    QCOMPARE(print->text(), QStringLiteral("Stampa"));
    QCOMPARE(width->text(), QStringLiteral("Larghezza"));
    QCOMPARE(page->text(), QStringLiteral("Pagina"));

    QPrintPreviewWidget* pages = preview->previewWidget();
    QTRY_COMPARE(pages->pageCount(), int(preview->document().pages.size()));
    QCOMPARE(pages->zoomMode(), QPrintPreviewWidget::FitToWidth);

    auto* bar = preview->findChild<QToolBar*>();
    QTest::mouseClick(bar->widgetForAction(page), Qt::LeftButton);
    QCOMPARE(pages->zoomMode(), QPrintPreviewWidget::FitInView);
    QTest::keyClick(preview, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(pages->zoomMode(), QPrintPreviewWidget::FitToWidth);

    preview->close();
    QTRY_VERIFY(!preview);
}

void TestReportOutput::previewPrintsThroughThePrintDialog()
{
    QPointer<ReportPreview> preview = printPreview(nullptr, contextFor(*m_sample, 3, 2));
    QVERIFY(preview);
    const QString path = outFile(QStringLiteral("printed.pdf"));
    preview->printer()->setOutputFormat(QPrinter::PdfFormat);
    preview->printer()->setOutputFileName(path);
    QVERIFY(QTest::qWaitForWindowActive(preview));

    acceptNextPrintDialog();
    QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier);
    QTRY_VERIFY(QFile::exists(path));
    QCOMPARE(lineWith(test::pdfText(path), "Primo Trimestre"),
             QStringLiteral("Primo Trimestre 2010 2.234,50 800,00 + 1.434,50"));
    delete preview;
}

void TestReportOutput::previewFitsANarrowerPaper()
{
    QPointer<ReportPreview> preview = printPreview(nullptr, contextFor(*m_large, 3, 0));
    QVERIFY(preview);
    const size_t a4Pages = preview->document().pages.size();
    QCOMPARE(preview->document().frame.scale, 1.0);

    preview->printer()->setPageSize(QPageSize(QPageSize::A5));
    preview->previewWidget()->updatePreview();
    // A5 is narrower than the report: laid out again, scaled down.
    QVERIFY(preview->document().frame.scale < 1.0);
    QVERIFY(preview->document().frame.width >= arpSchede::DesignedWidth);
    QTRY_COMPARE(preview->previewWidget()->pageCount(), int(preview->document().pages.size()));

    // Letter is shorter than A4: more pages.
    preview->printer()->setPageSize(QPageSize(QPageSize::Letter));
    preview->previewWidget()->updatePreview();
    QCOMPARE(preview->document().frame.scale, 1.0);
    QVERIFY(preview->document().pages.size() > a4Pages);
    QTRY_COMPARE(preview->previewWidget()->pageCount(), int(preview->document().pages.size()));
    delete preview;
}

void TestReportOutput::previewOfAnUnreadableJournalIsNotOpened()
{
    ScopedScriptedPrompt prompt;
    ReportContext context = contextFor(*m_sample, 3, 0);
    context.connString = db::connStringFor(outFile(QStringLiteral("nessuna")));
    QCOMPARE(printPreview(nullptr, context), nullptr);
    QCOMPARE(prompt.messages.size(), 1);
    QVERIFY(prompt.messages.first().text.startsWith(QStringLiteral("Impossibile leggere i movimenti")));
}

MOVILIBRO_REGISTER_TEST(TestReportOutput);

#include "test_reportoutput.moc"
