#pragma once

#include "report/document.h"

#include <QHash>
#include <QRawFont>

class QPagedPaintDevice;
class QPainter;

namespace movilibro::report {

// Draws laid-out pages on a printer or a PDF writer. Texts of one font size
// go to the device as one glyph run per page, lines and fills as one call
// each: a page of a few hundred items is a handful of drawing calls.
class PageRenderer
{
public:
    PageRenderer(const ReportDocument& document, QPagedPaintDevice& device);

    // Draws pages first..last (0-based, -1 for the last page), each on a new
    // device page. `painter` must be active on the device.
    void render(QPainter& painter, int first = 0, int last = -1);
    void renderPage(QPainter& painter, const Page& page);

private:
    struct GlyphBatch;

    QRectF toDevice(const QRect& twips) const;
    const QRawFont& rawFont(qreal pointSize);
    bool addToBatch(GlyphBatch& batch, const PlacedItem& item);
    void drawPlainText(QPainter& painter, const PlacedItem& item);

    const ReportDocument& m_document;
    QPagedPaintDevice& m_device;
    qreal m_unit; // device units per twip
    QHash<qreal, QRawFont> m_fonts;
};

} // namespace movilibro::report
