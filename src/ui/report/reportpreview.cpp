#include "ui/report/reportpreview.h"

#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/renderer.h"
#include "report/report.h"
#include "report/reporterror.h"
#include "ui/prompt/prompt.h"
#include "ui/report/pageview.h"

#include <QAction>
#include <QPainter>
#include <QPrintDialog>
#include <QToolBar>
#include <QVBoxLayout>

namespace movilibro::report {

namespace {

bool sameFrame(const PageFrame& a, const PageFrame& b)
{
    return a.width == b.width && a.height == b.height && qFuzzyCompare(a.scale, b.scale);
}

} // namespace

ReportPreview::ReportPreview(std::unique_ptr<Report> report, ReportPages pages, QWidget* parent)
    : QDialog(parent), m_report(std::move(report)), m_pages(std::move(pages)),
      m_printer(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(m_pages.title()));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_printer.setPageLayout(defaultPageLayout());
    m_printer.setDocName(m_pages.title());

    m_view = new PageView(this);
    m_view->setObjectName(QStringLiteral("previewPagine"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    layout->addWidget(m_view);
    resize(900, 700);
    showPages();
    m_view->setFocus();
}

ReportPreview::~ReportPreview() = default;

QWidget* ReportPreview::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbAnteprima"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    QAction* printAction =
        makeAction(QStringLiteral("actStampa"), QStringLiteral("Stampa"), QKeySequence::Print);
    connect(printAction, &QAction::triggered, this, &ReportPreview::print);
    QAction* widthAction = makeAction(QStringLiteral("actLarghezza"), QStringLiteral("Larghezza"),
                                      QKeySequence(Qt::CTRL | Qt::Key_1));
    connect(widthAction, &QAction::triggered, m_view, &PageView::fitToWidth);
    QAction* pageAction =
        makeAction(QStringLiteral("actPagina"), QStringLiteral("Pagina"), QKeySequence(Qt::CTRL | Qt::Key_2));
    connect(pageAction, &QAction::triggered, m_view, &PageView::fitInView);
    QAction* zoomIn =
        makeAction(QStringLiteral("actIngrandisci"), QStringLiteral("Ingrandisci"), QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, m_view, &PageView::zoomIn);
    QAction* zoomOut =
        makeAction(QStringLiteral("actRiduci"), QStringLiteral("Riduci"), QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, m_view, &PageView::zoomOut);
    for (QAction* action : {printAction, widthAction, pageAction, zoomIn, zoomOut}) {
        bar->addAction(action);
    }
    return bar;
}

QAction* ReportPreview::makeAction(const QString& name, const QString& text, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

void ReportPreview::showPages()
{
    m_view->setPages(m_pages.pageCount(), m_printer.pageLayout(),
                     [this](int index, QPainter& painter, QPaintDevice& device) {
                         try {
                             PageRenderer(m_pages.fontFamily(), m_pages.frame(), device)
                                 .renderPage(painter, m_pages.page(index));
                         } catch (const CurrencyOverflow&) {
                             // Only a sum of the one amount without a magnitude gets here: a
                             // blank page rather than the end of the program.
                         }
                     });
}

void ReportPreview::updatePreview()
{
    fitPagesTo(&m_printer);
    showPages();
}

void ReportPreview::print()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    printPages(&m_printer);
    updatePreview();
}

void ReportPreview::printPages(QPrinter* printer)
{
    if (!fitPagesTo(printer)) {
        return;
    }
    QPainter painter;
    if (!painter.begin(printer)) {
        Prompt::instance().message(
            this, QStringLiteral("Impossibile avviare la stampa sulla stampante scelta."), MsgStyle::Ok);
        return;
    }
    const bool range = printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0;
    const int first = range ? printer->fromPage() - 1 : 0;
    const int last = range ? printer->toPage() - 1 : -1;
    // Printers that cannot make copies themselves get the pages again.
    const int copies = printer->supportsMultipleCopies() ? 1 : qMax(1, printer->copyCount());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) {
            printer->newPage();
        }
        drawPages(m_pages, *printer, painter, first, last);
    }
    painter.end();
}

bool ReportPreview::fitPagesTo(QPrinter* printer)
{
    const PageFrame frame = frameFor(printer->pageLayout(), m_report->printWidth());
    if (sameFrame(frame, m_pages.frame())) {
        return true;
    }
    try {
        // The records read for the preview stay: the paper changes, not the journal.
        m_pages = preparePages(*m_report, m_pages.records(), frame);
        return true;
    } catch (const ReportError& error) {
        Prompt::instance().message(this, error.message(), MsgStyle::Ok);
        return false;
    }
}

} // namespace movilibro::report
