#include "report/reportpreview.h"

#include "app/prompt.h"
#include "report/pagesetup.h"
#include "report/pdfexport.h"
#include "report/renderer.h"
#include "report/report.h"
#include "report/reporterror.h"

#include <QAction>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace movilibro::report {

namespace {

bool sameFrame(const PageFrame& a, const PageFrame& b)
{
    return a.width == b.width && a.height == b.height && qFuzzyCompare(a.scale, b.scale);
}

} // namespace

ReportPreview::ReportPreview(std::unique_ptr<Report> report, ReportDocument document, QWidget* parent)
    : QDialog(parent), m_report(std::move(report)), m_document(std::move(document)),
      m_printer(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(m_document.title));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_printer.setPageLayout(defaultPageLayout());
    m_printer.setDocName(m_document.title);

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setObjectName(QStringLiteral("previewPagine"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    layout->addWidget(m_preview);
    resize(900, 700);
    m_preview->fitToWidth();
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
    connect(widthAction, &QAction::triggered, m_preview, [this] {
        m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
        m_preview->fitToWidth();
    });
    QAction* pageAction =
        makeAction(QStringLiteral("actPagina"), QStringLiteral("Pagina"), QKeySequence(Qt::CTRL | Qt::Key_2));
    connect(pageAction, &QAction::triggered, m_preview, [this] {
        m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
        m_preview->fitInView();
    });
    QAction* zoomIn =
        makeAction(QStringLiteral("actIngrandisci"), QStringLiteral("Ingrandisci"), QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, m_preview, [this] { m_preview->zoomIn(); });
    QAction* zoomOut =
        makeAction(QStringLiteral("actRiduci"), QStringLiteral("Riduci"), QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, m_preview, [this] { m_preview->zoomOut(); });
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

void ReportPreview::print()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    printDocument(&m_printer);
    m_preview->updatePreview();
}

void ReportPreview::paint(QPrinter* printer)
{
    if (!fitDocumentTo(printer)) {
        return;
    }
    QPainter painter(printer);
    PageRenderer(m_document, *printer).render(painter);
}

void ReportPreview::printDocument(QPrinter* printer)
{
    if (!fitDocumentTo(printer)) {
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
    PageRenderer renderer(m_document, *printer);
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) {
            printer->newPage();
        }
        renderer.render(painter, first, last);
    }
    painter.end();
}

bool ReportPreview::fitDocumentTo(QPrinter* printer)
{
    const PageFrame frame = frameFor(printer->pageLayout(), m_report->printWidth());
    if (sameFrame(frame, m_document.frame)) {
        return true;
    }
    try {
        m_document = runReport(*m_report, frame);
        return true;
    } catch (const ReportError& error) {
        Prompt::instance().message(this, error.message(), MsgStyle::Ok);
        return false;
    }
}

} // namespace movilibro::report
