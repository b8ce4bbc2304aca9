#pragma once

#include "history/logtext.h"

#include <QAbstractTableModel>

namespace movilibro {

// Lines of the change log as a table: Quando, Operazione, Voce, Prima, Dopo, Nota.
class LogModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setLines(std::vector<history::LogLine> lines);
    const std::vector<history::LogLine>& lines() const { return m_lines; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<history::LogLine> m_lines;
};

} // namespace movilibro
