#include "ui/import/previewmodel.h"

namespace movilibro {

void PreviewModel::setRows(const QStringList& headers, const QList<QStringList>& rows)
{
    beginResetModel();
    m_headers = headers;
    m_rows = rows;
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // Banks leave the trailing cells of short rows out.
    const QStringList& cells = m_rows.at(index.row());
    return index.column() < cells.size() ? cells.at(index.column()) : QString();
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < m_headers.size() ? m_headers.at(section) : QString();
}

} // namespace movilibro
