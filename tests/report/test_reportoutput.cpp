#include "reportfixtures.h"

#include "db/connstring.h"
#include "modaldriver.h"
#include "report/arpschede.h"
#include "report/pdfexport.h"
#include "ui/prompt/prompt.h"
#include "ui/report/pageview.h"
#include "ui/report/reportcommands.h"
#include "ui/report/reportpreview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace movilibro;
using namespace movilibro::report;

class TestReportOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::pinItalianLocale();
        m_sample = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/sample"));
        test::fillJournal(*m_sample, test::sampleEntries());
        m_large = std::make_unique<test::Journal>(m_dir.path() + QStringLiteral("/large"));
        test::fillJournal(*m_large, test::manyEntries(400));
    }

    void exportedPdfHoldsCaptionsAndAmounts()
    {
        ScopedScriptedPrompt prompt;
        const QString path = outFile(QStringLiteral("quarters.pdf"));
        QFile earlier(path); // replaced whole
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write(QByteArray(500000, 'x')) == 500000);
        earlier.close();
        prompt.setNextSaveFile(path);
        prompt.setNextAnswer(Answer::Yes);
        QVERIFY(exportPdfCommand(nullptr, contextFor(*m_sample, 3, 2)));
        QCOMPARE(prompt.messages.size(), 1); // may it be replaced?
        QCOMPARE(test::pdfLineWith(path, "Movilibro dal"),
                 QStringLiteral("Movilibro dal 01/01/2010 al 31/12/2010 2.234,50 850,00 + 1.384,50"));
        QCOMPARE(test::pdfLineWith(path, "Primo Trimestre"),
                 QStringLiteral("Primo Trimestre 2010 2.234,50 800,00 + 1.434,50"));
        QCOMPARE(test::pdfLineWith(path, "Secondo Trimestre"),
                 QStringLiteral("Secondo Trimestre 2010 50,00 - 50,00"));
        QCOMPARE(test::pdfLineWith(path, "Affitto"),
                 QStringLiteral("10/02/2010 Affitto Banca 800,00 - 800,00"));
        QCOMPARE(test::pdfText(path).count(u'\f'), 1);
        QVERIFY(!test::fileBytes(path).contains(QByteArray(1000, 'x')));

        // A second export with more levels prints them all.
        const QString nested = outFile(QStringLiteral("nested.pdf"));
        prompt.setNextSaveFile(nested);
        QVERIFY(exportPdfCommand(nullptr, contextFor(*m_sample, 4, 1)));
        QCOMPARE(test::pdfLineWith(nested, "Banca 800,00"), QStringLiteral("Banca 800,00 800,00 0,00"));
        QCOMPARE(test::pdfText(nested).count(QStringLiteral("Primo bimestre 2010")), 2);
    }

    void exportedPdfHasTheLaidOutPages()
    {
        ScopedScriptedPrompt prompt;
        const QString path = outFile(QStringLiteral("large.pdf"));
        prompt.setNextSaveFile(path);
        QVERIFY(exportPdfCommand(nullptr, contextFor(*m_large, 3, 0)));
        arpSchede report;
        setUpReport(report, contextFor(*m_large, 3, 0));
        const int pages = preparePdf(report).pageCount();
        QVERIFY(pages > 5);
        const QString text = test::pdfText(path);
        QCOMPARE(text.count(u'\f'), pages);
        QCOMPARE(text.count(QStringLiteral("Saldo progressivo")), pages);
        QVERIFY(text.contains(QStringLiteral("Movimento numero 400")));
    }

    // Cancelled, unwritable, missing folder, unreadable journal: no file, and the user told why when it
    // failed.
    void failedExportsLeaveNoFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("messages");
        QTest::newRow("cancelled") << QString() << true << 0;
        QTest::newRow("a folder in the way") << "taken/report.pdf" << true << 1;
        QTest::newRow("missing folder") << "manca/report.pdf" << true << 1;
        QTest::newRow("unreadable journal, asked nothing") << "mai.pdf" << false << 1;
    }
    void failedExportsLeaveNoFile()
    {
        QFETCH(QString, target);
        QFETCH(bool, readable);
        QFETCH(int, messages);
        QTemporaryDir out;
        QVERIFY(QDir().mkpath(out.filePath(QStringLiteral("taken/report.pdf"))));
        ScopedScriptedPrompt prompt;
        prompt.setNextSaveFile(target.isEmpty() ? QString() : out.filePath(target));
        ReportContext context = contextFor(*m_sample, 1, 0);
        if (!readable)
            context.connString = db::connStringFor(out.filePath(QStringLiteral("nessuna")));
        QVERIFY(!exportPdfCommand(nullptr, context));
        QCOMPARE(prompt.messages.size(), messages);
        QCOMPARE(prompt.saveFilters.size(), readable ? 1 : 0);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(QDir(out.filePath(QStringLiteral("taken"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(!QFileInfo::exists(out.filePath(QStringLiteral("manca"))));
        if (!readable)
            QCOMPARE(printPreview(nullptr, context), nullptr);
    }

    // The page view and the width view, from the toolbar and from the keyboard.
    void previewShowsThePagesInTwoViews()
    {
        std::unique_ptr<ReportPreview> preview(printPreview(nullptr, contextFor(*m_large, 1, 0)));
        QVERIFY(preview && QTest::qWaitForWindowExposed(preview.get()));
        PageView* pages = preview->pageView();
        const int total = preview->pages().pageCount();
        QCOMPARE(pages->pageCount(), total);
        // Pages are laid out as they come into sight: the first, then the last, none between.
        pages->viewport()->repaint();
        const int shown = preview->pages().laidOutCount();
        QVERIFY2(shown >= 1 && shown <= 2, qPrintable(QString::number(shown)));
        QTest::keyClick(pages, Qt::Key_End);
        pages->viewport()->repaint();
        QCOMPARE(pages->currentPage(), total);
        QVERIFY(total > shown + 4);
        QVERIFY(preview->pages().laidOutCount() <= shown + 2);
        QTest::keyClick(pages, Qt::Key_Home);
        QCOMPARE(pages->currentPage(), 1);
        QCOMPARE(pages->zoomMode(), PageView::ZoomMode::FitToWidth);
        auto* page = preview->findChild<QAction*>(QStringLiteral("actPagina"));
        QTest::mouseClick(preview->findChild<QToolBar*>()->widgetForAction(page), Qt::LeftButton);
        QCOMPARE(pages->zoomMode(), PageView::ZoomMode::FitInView);
        QTest::keyClick(preview.get(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(pages->zoomMode(), PageView::ZoomMode::FitToWidth);
    }

    void previewPrintsThroughThePrintDialog()
    {
        QPointer<ReportPreview> preview = printPreview(nullptr, contextFor(*m_sample, 3, 2));
        QVERIFY(preview);
        const QString path = outFile(QStringLiteral("printed.pdf"));
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(path);
        QVERIFY(QTest::qWaitForWindowActive(preview));
        test::ModalDriver driver([](QDialog& dialog) { dialog.accept(); });
        QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(driver.ran() && !driver.timedOut());
        QTRY_VERIFY(QFile::exists(path));
        QCOMPARE(test::pdfLineWith(path, "Primo Trimestre"),
                 QStringLiteral("Primo Trimestre 2010 2.234,50 800,00 + 1.434,50"));
        delete preview;
    }

    void previewFitsANarrowerPaper()
    {
        QPointer<ReportPreview> preview = printPreview(nullptr, contextFor(*m_large, 3, 0));
        QVERIFY(preview);
        const int a4Pages = preview->pages().pageCount();
        QCOMPARE(preview->pages().frame().scale, 1.0);
        preview->printer()->setPageSize(QPageSize(QPageSize::A5));
        preview->updatePreview();
        // A5 is narrower than the report: laid out again, scaled down.
        QVERIFY(preview->pages().frame().scale < 1.0);
        QVERIFY(preview->pages().frame().width >= arpSchede::DesignedWidth);
        QCOMPARE(preview->pageView()->pageCount(), preview->pages().pageCount());
        // Letter is shorter than A4: more pages.
        preview->printer()->setPageSize(QPageSize(QPageSize::Letter));
        preview->updatePreview();
        QCOMPARE(preview->pages().frame().scale, 1.0);
        QVERIFY(preview->pages().pageCount() > a4Pages);
        delete preview;
    }

private:
    static ReportContext contextFor(const test::Journal& journal, int layout, int kind)
    {
        return ReportContext{QDate(2010, 1, 1), QDate(2010, 12, 31), kind, layout, journal.connString()};
    }
    QString outFile(const QString& name) const { return m_dir.path() + u'/' + name; }

    test::TestHome m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<test::Journal> m_sample, m_large;
};

QTEST_MAIN(TestReportOutput)
#include "test_reportoutput.moc"
