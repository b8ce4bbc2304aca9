#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace movilibro {

// The first rows of a CSV statement as the file has them, under its header.
class PreviewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const QStringList& headers, const QList<QStringList>& rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_headers;
    QList<QStringList> m_rows;
};

} // namespace movilibro
