#include "report/renderer.h"

#include "report/reportpages.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPainter>

#include <map>

namespace movilibro::report {

namespace {

constexpr qreal TwipsPerInch = 1440.0;
constexpr qreal PointsPerInch = 72.0;
constexpr int LineWidthTwips = 10;
const QChar Ellipsis(0x2026);

// Scripts drawn glyph by glyph without shaping; anything else (combining
// marks, right-to-left or complex scripts) goes through Qt's text layout.
bool needsNoShaping(const QString& text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool simple = c < 0x0300 || (c >= 0x0370 && c < 0x0530) || (c >= 0x2000 && c < 0x20D0);
        if (!simple) {
            return false;
        }
    }
    return true;
}

qreal horizontalOffset(Qt::Alignment alignment, qreal boxWidth, qreal textWidth)
{
    if (alignment & Qt::AlignRight) {
        return boxWidth - textWidth;
    }
    if (alignment & Qt::AlignHCenter) {
        return (boxWidth - textWidth) / 2;
    }
    return 0;
}

} // namespace

struct PageRenderer::GlyphBatch
{
    QList<quint32> glyphs;
    QList<QPointF> positions;
};

PageRenderer::PageRenderer(const QString& fontFamily, const PageFrame& frame, QPaintDevice& device)
    : m_fontFamily(fontFamily), m_device(device),
      m_unit(device.logicalDpiX() / TwipsPerInch * (frame.scale > 0 ? frame.scale : 1.0))
{}

void drawPages(ReportPages& pages, QPagedPaintDevice& device, QPainter& painter, int first, int last)
{
    const int count = pages.pageCount();
    if (last < 0 || last >= count) {
        last = count - 1;
    }
    PageRenderer renderer(pages.fontFamily(), pages.frame(), device);
    for (int index = qMax(first, 0); index <= last; ++index) {
        if (index > qMax(first, 0)) {
            device.newPage();
        }
        renderer.renderPage(painter, pages.page(index));
    }
}

void PageRenderer::renderPage(QPainter& painter, const Page& page)
{
    std::map<QRgb, QList<QRectF>> fills;
    QList<QLineF> lines;
    std::map<qreal, GlyphBatch> texts;
    QList<const PlacedItem*> plainTexts;

    for (const auto& band : page.bands) {
        for (const auto& item : band.items) {
            switch (item.kind) {
            case ItemKind::Line: {
                const QRectF r = toDevice(item.rect);
                lines.append(QLineF(r.topLeft(), r.topLeft() + QPointF(r.width(), r.height())));
                break;
            }
            case ItemKind::Square:
                fills[item.fill].append(toDevice(item.rect));
                break;
            case ItemKind::Text:
                if (qAlpha(item.background) != 0) {
                    fills[item.background].append(toDevice(item.rect));
                }
                if (!addToBatch(texts[item.fontSize], item)) {
                    plainTexts.append(&item);
                }
                break;
            }
        }
    }

    painter.setPen(Qt::NoPen);
    for (const auto& [color, rects] : fills) {
        painter.setBrush(QColor::fromRgb(color));
        painter.drawRects(rects);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, LineWidthTwips * m_unit));
    painter.drawLines(lines);
    for (const auto& [size, batch] : texts) {
        if (batch.glyphs.isEmpty()) {
            continue;
        }
        QGlyphRun run;
        run.setRawFont(rawFont(size));
        run.setGlyphIndexes(batch.glyphs);
        run.setPositions(batch.positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    for (const PlacedItem* item : plainTexts) {
        drawPlainText(painter, *item);
    }
}

QRectF PageRenderer::toDevice(const QRect& twips) const
{
    return QRectF(twips.x() * m_unit, twips.y() * m_unit, twips.width() * m_unit, twips.height() * m_unit);
}

const QRawFont& PageRenderer::rawFont(qreal pointSize)
{
    auto found = m_fonts.find(pointSize);
    if (found == m_fonts.end()) {
        QFont font(m_fontFamily);
        font.setPointSizeF(pointSize);
        QRawFont raw = QRawFont::fromFont(font);
        raw.setPixelSize(pointSize / PointsPerInch * TwipsPerInch * m_unit);
        found = m_fonts.insert(pointSize, raw);
    }
    return *found;
}

// Places the item's glyphs in the batch of its size. False when the text
// needs shaping or has a character the font lacks.
bool PageRenderer::addToBatch(GlyphBatch& batch, const PlacedItem& item)
{
    if (item.text.isEmpty()) {
        return true;
    }
    if (!needsNoShaping(item.text)) {
        return false;
    }
    const QRawFont& font = rawFont(item.fontSize);
    QList<quint32> glyphs = font.glyphIndexesForString(item.text);
    if (glyphs.contains(0u)) {
        return false;
    }
    QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    const QRectF box = toDevice(item.rect);
    qreal width = 0;
    for (const auto& advance : advances) {
        width += advance.x();
    }
    const bool leftAligned = !(item.alignment & (Qt::AlignRight | Qt::AlignHCenter));
    if (leftAligned && width > box.width()) {
        // Cut a long description at its box and show that it was cut.
        const quint32 ellipsis = font.glyphIndexesForString(QString(Ellipsis)).value(0);
        const qreal ellipsisWidth = ellipsis ? font.advancesForGlyphIndexes({ellipsis}).value(0).x() : 0;
        while (!glyphs.isEmpty() && width + ellipsisWidth > box.width()) {
            width -= advances.takeLast().x();
            glyphs.removeLast();
        }
        if (ellipsis) {
            glyphs.append(ellipsis);
            advances.append(QPointF(ellipsisWidth, 0));
            width += ellipsisWidth;
        }
    }
    QPointF at(box.left() + horizontalOffset(item.alignment, box.width(), width), box.top() + font.ascent());
    if (item.alignment & Qt::AlignVCenter) {
        at.ry() += (box.height() - font.ascent() - font.descent()) / 2;
    }
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        batch.glyphs.append(glyphs[i]);
        batch.positions.append(at);
        at += advances[i];
    }
    return true;
}

void PageRenderer::drawPlainText(QPainter& painter, const PlacedItem& item)
{
    QFont font(m_fontFamily);
    font.setPixelSize(qMax(1, qRound(item.fontSize / PointsPerInch * TwipsPerInch * m_unit)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF box = toDevice(item.rect);
    const Qt::Alignment horizontal = item.alignment & Qt::AlignHorizontal_Mask;
    QString text = item.text;
    if (!(horizontal & (Qt::AlignRight | Qt::AlignHCenter))) {
        text = QFontMetricsF(font, &m_device).elidedText(text, Qt::ElideRight, box.width());
    }
    const Qt::Alignment vertical = (item.alignment & Qt::AlignVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    painter.drawText(box, int(horizontal | vertical) | Qt::TextSingleLine | Qt::TextDontClip, text);
}

} // namespace movilibro::report
