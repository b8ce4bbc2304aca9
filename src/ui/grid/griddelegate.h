#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace movilibro::grid {

// Draws cells as usual, then the grid lines on their right and bottom edges.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setGridLines(bool visible, const QColor& color);
    bool gridLinesVisible() const { return m_visible; }
    QColor gridLineColor() const { return m_color; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A text cut short in its cell shows whole as the cell's tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // True when the cell's text does not fit its width.
    bool isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const;

private:
    bool m_visible = true;
    QColor m_color;
};

} // namespace movilibro::grid
