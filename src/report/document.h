#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <vector>

namespace movilibro::report {

enum class ItemKind
{
    Text,
    Line,
    Square
};

// One thing to draw, placed on its page. Geometry in twips from the top left
// corner of the page's printable area; a line runs from rect's top left by
// rect's size.
struct PlacedItem
{
    ItemKind kind = ItemKind::Text;
    QString name; // the control's name
    QRect rect;
    QString text;
    qreal fontSize = 10;
    Qt::Alignment alignment = Qt::AlignLeft;
    QRgb background = 0; // alpha 0: transparent
    QRgb fill = 0;
};

// A band as printed: where it stands on the page and what it holds.
struct PlacedBand
{
    QString name;
    int top = 0;
    int height = 0;
    std::vector<PlacedItem> items;

    // nullptr when the band has no item of that name.
    const PlacedItem* item(const QString& itemName) const;
};

struct Page
{
    std::vector<PlacedBand> bands;
};

// Size of the area a report is laid out in, in twips, and the scale that
// fits a report wider than the paper's printable width.
struct PageFrame
{
    int width = 0;
    int height = 0;
    qreal scale = 1.0;
};

// The laid-out report: everything the renderer needs, nothing of the records.
struct ReportDocument
{
    QString title;
    QString fontFamily;
    PageFrame frame;
    std::vector<Page> pages;
};

} // namespace movilibro::report
