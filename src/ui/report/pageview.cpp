#include "ui/report/pageview.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace movilibro::report {

namespace {
constexpr qreal PointsPerInch = 72.0;
constexpr qreal ZoomStep = 1.25;
constexpr qreal SmallestZoom = 0.1;
constexpr qreal LargestZoom = 8.0;
} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void PageView::setPages(int count, const QPageLayout& paper, PagePainter painter)
{
    m_count = count;
    m_paper = paper;
    m_painter = std::move(painter);
    m_images.clear();
    updateScrollBars();
    viewport()->update();
}

int PageView::currentPage() const
{
    if (m_count == 0)
        return 0;
    // The page under the middle of the view.
    const int middle = verticalScrollBar()->value() + viewport()->height() / 2 - Gap;
    return qBound(1, int(middle / pageStride()) + 1, m_count);
}

void PageView::setCurrentPage(int page)
{
    verticalScrollBar()->setValue(int(std::lround((qBound(1, page, qMax(1, m_count)) - 1) * pageStride())));
}

void PageView::fitToWidth()
{
    setZoom(ZoomMode::FitToWidth, m_zoom);
}

void PageView::fitInView()
{
    setZoom(ZoomMode::FitInView, m_zoom);
}

void PageView::zoomIn()
{
    setZoom(ZoomMode::Custom,
            qMin(std::round(pixelsPerPoint() * ZoomStep * PointsPerInch) / PointsPerInch, LargestZoom));
}

void PageView::zoomOut()
{
    setZoom(ZoomMode::Custom,
            qMax(std::round(pixelsPerPoint() / ZoomStep * PointsPerInch) / PointsPerInch, SmallestZoom));
}

void PageView::setZoom(ZoomMode mode, qreal pixelsPerPoint)
{
    // Keep the page in sight where it was.
    const qreal position = verticalScrollBar()->value() / pageStride();
    m_mode = mode;
    m_zoom = pixelsPerPoint;
    m_images.clear();
    updateScrollBars();
    verticalScrollBar()->setValue(int(std::lround(position * pageStride())));
    viewport()->update();
}

qreal PageView::pixelsPerPoint() const
{
    const QRectF paper = m_paper.fullRect(QPageLayout::Point);
    if (m_mode == ZoomMode::Custom || paper.isEmpty())
        return m_zoom;
    const qreal toWidth = (viewport()->width() - 2 * Gap) / paper.width();
    const qreal toHeight = (viewport()->height() - 2 * Gap) / paper.height();
    const qreal fit = m_mode == ZoomMode::FitToWidth ? toWidth : qMin(toWidth, toHeight);
    // Whole dots per inch: the page is drawn at the resolution the image reports.
    return qBound(SmallestZoom, std::floor(fit * PointsPerInch) / PointsPerInch, LargestZoom);
}

QSizeF PageView::paperSize() const
{
    return m_paper.fullRect(QPageLayout::Point).size() * pixelsPerPoint();
}

void PageView::updateScrollBars()
{
    const QSizeF page = paperSize();
    const QSize area = viewport()->size();
    verticalScrollBar()->setRange(0, qMax(0, int(Gap + m_count * pageStride()) - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(qMax(1, area.height() / 20));
    horizontalScrollBar()->setRange(0, qMax(0, int(page.width()) + 2 * Gap - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(qMax(1, area.width() / 20));
}

void PageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_mode != ZoomMode::Custom)
        setZoom(m_mode, m_zoom);
    else
        updateScrollBars();
}

void PageView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier) {
        setCurrentPage(1);
    } else if (event->key() == Qt::Key_End && event->modifiers() == Qt::NoModifier) {
        setCurrentPage(m_count);
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void PageView::paintEvent(QPaintEvent*)
{
    if (m_count == 0 || !m_painter)
        return;
    const QSizeF page = paperSize();
    const int top = verticalScrollBar()->value();
    const int height = viewport()->height();
    const int first = qBound(0, int((top - Gap) / pageStride()), m_count - 1);
    const int last = qBound(0, int((top + height) / pageStride()), m_count - 1);
    const qreal left = page.width() + 2 * Gap <= viewport()->width()
                           ? (viewport()->width() - page.width()) / 2
                           : Gap - horizontalScrollBar()->value();

    // Only the pages in sight stay drawn.
    for (auto it = m_images.begin(); it != m_images.end();)
        it = (it->first < first || it->first > last) ? m_images.erase(it) : std::next(it);

    QPainter painter(viewport());
    for (int index = first; index <= last; ++index) {
        const QPointF at(left, Gap + index * pageStride() - top);
        painter.drawImage(at, pageImage(index));
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawRect(QRectF(at, page).adjusted(-1, -1, 0, 0));
    }
}

const QImage& PageView::pageImage(int index)
{
    auto found = m_images.find(index);
    if (found != m_images.end())
        return found->second;
    const qreal ratio = devicePixelRatioF();
    const qreal dotsPerInch = pixelsPerPoint() * ratio * PointsPerInch;
    QImage image((paperSize() * ratio).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dotsPerInch / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dotsPerInch / 0.0254)));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(m_paper.paintRect(QPageLayout::Point).topLeft() * (dotsPerInch / PointsPerInch));
        m_painter(index, painter, image);
    }
    image.setDevicePixelRatio(ratio);
    return m_images.emplace(index, std::move(image)).first->second;
}

} // namespace movilibro::report
