#include "ui/grid/griddelegate.h"

#include <QPainter>

namespace movilibro::grid {

void GridDelegate::setGridLines(bool visible, const QColor& color)
{
    m_visible = visible;
    m_color = color;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!m_visible)
        return;
    painter->save();
    painter->setPen(m_color);
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}

} // namespace movilibro::grid
