#include "report/pagesetup.h"

#include <QMarginsF>
#include <QPageSize>

namespace movilibro::report {

namespace {
constexpr qreal TwipsPerPoint = 20.0;
}

QPageLayout defaultPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

PageFrame frameFor(const QPageLayout& layout, int reportWidth)
{
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    const qreal width = printable.width() * TwipsPerPoint;
    const qreal height = printable.height() * TwipsPerPoint;
    PageFrame frame;
    frame.scale = (reportWidth > 0 && width < reportWidth) ? width / reportWidth : 1.0;
    frame.width = int(width / frame.scale);
    frame.height = int(height / frame.scale);
    return frame;
}

} // namespace movilibro::report
