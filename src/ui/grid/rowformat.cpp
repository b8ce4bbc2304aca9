#include "ui/grid/rowformat.h"

namespace movilibro::grid {

RowFormat::RowFormat(const journal::GridRows& rows, int position)
    : m_rows(&rows), m_position(position), m_type(rows.rowType(position)),
      m_dataIndex(rows.dataIndex(position)), m_level(rows.level(position)), m_caption(rows.caption(position))
{}

int RowFormat::groupColumn() const
{
    return m_rows->groupColumnOf(m_position);
}

QVariant RowFormat::value(int column) const
{
    return m_rows->value(m_position, column);
}

Currency RowFormat::groupSum(int column) const
{
    return m_rows->groupSum(m_position, column);
}

void RowFormat::setCellStyle(int column, const QString& style)
{
    for (auto& [col, name] : m_cellStyles) {
        if (col == column) {
            name = style;
            return;
        }
    }
    m_cellStyles.emplace_back(column, style);
}

QString RowFormat::cellStyle(int column) const
{
    for (const auto& [col, name] : m_cellStyles) {
        if (col == column)
            return name;
    }
    return QString();
}

} // namespace movilibro::grid
