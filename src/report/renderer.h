#pragma once

#include "report/document.h"

#include <QHash>
#include <QRawFont>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace movilibro::report {

class ReportPages;

// Draws laid-out pages on a printer, a PDF writer or an image. Texts of one
// font size go to the device as one glyph run per page, lines and fills as
// one call each: a page of a few hundred items is a handful of drawing calls.
class PageRenderer
{
public:
    // Pages laid out in `frame`, drawn in `fontFamily` at the device's
    // resolution.
    PageRenderer(const QString& fontFamily, const PageFrame& frame, QPaintDevice& device);

    // `painter` must be active on the device, its origin at the top left
    // corner of the printable area.
    void renderPage(QPainter& painter, const Page& page);

private:
    struct GlyphBatch;

    QRectF toDevice(const QRect& twips) const;
    const QRawFont& rawFont(qreal pointSize);
    bool addToBatch(GlyphBatch& batch, const PlacedItem& item);
    void drawPlainText(QPainter& painter, const PlacedItem& item);

    QString m_fontFamily;
    QPaintDevice& m_device;
    qreal m_unit; // device units per twip
    QHash<qreal, QRawFont> m_fonts;
};

// Lays out and draws pages first..last of `pages` (0-based, -1 for the last
// page) one after another, each on a new device page: one page in memory at
// a time. `painter` must be active on the device.
void drawPages(ReportPages& pages, QPagedPaintDevice& device, QPainter& painter, int first = 0,
               int last = -1);

} // namespace movilibro::report
