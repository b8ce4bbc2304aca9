#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPageLayout>

#include <functional>
#include <map>

namespace movilibro::report {

// Pages of paper in one column, scrolled through. A page is drawn only when
// it comes into sight, and only the pages in sight are kept, so a document
// of thousands of pages opens at once.
class PageView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    enum class ZoomMode
    {
        FitToWidth,
        FitInView,
        Custom
    };

    // Draws page `index` (0-based) with `painter` on `device`, the origin at
    // the top left corner of the printable area.
    using PagePainter = std::function<void(int index, QPainter& painter, QPaintDevice& device)>;

    explicit PageView(QWidget* parent = nullptr);

    void setPages(int count, const QPageLayout& paper, PagePainter painter);
    int pageCount() const { return m_count; }
    // 1-based: the page in the middle of the view.
    int currentPage() const;
    void setCurrentPage(int page);

    ZoomMode zoomMode() const { return m_mode; }
    void fitToWidth();
    void fitInView();
    void zoomIn();
    void zoomOut();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    qreal pixelsPerPoint() const;
    QSizeF paperSize() const; // in pixels
    qreal pageStride() const { return paperSize().height() + Gap; }
    void setZoom(ZoomMode mode, qreal pixelsPerPoint);
    void updateScrollBars();
    const QImage& pageImage(int index);

    static constexpr int Gap = 12;

    int m_count = 0;
    QPageLayout m_paper;
    PagePainter m_painter;
    ZoomMode m_mode = ZoomMode::FitToWidth;
    qreal m_zoom = 1.0; // pixels per point when the zoom is the user's
    std::map<int, QImage> m_images;
};

} // namespace movilibro::report
