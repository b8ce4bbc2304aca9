#pragma once

#include "statement/statement.h"

#include <QAbstractTableModel>

#include <vector>

namespace movilibro {

// The movements read from a statement, each with the tick that says it is to
// be imported. Movements already in the journal, or perhaps already there,
// start unticked; refused ones can never be ticked.
class ReviewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        Tick,
        Date,
        Description,
        In,
        Out,
        Note,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setMovements(const std::vector<statement::Movement>* movements);
    const std::vector<bool>& ticks() const { return m_ticked; }
    // Flips the tick of a row that can be ticked.
    void toggle(int row);

    int tickedCount() const;
    int duplicateCount() const;
    int possibleRepeatCount() const;
    int refusedCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void ticksChanged();

private:
    const statement::Movement& movement(int row) const { return (*m_movements)[size_t(row)]; }
    QString text(const statement::Movement& m, int column) const;

    const std::vector<statement::Movement>* m_movements = nullptr;
    std::vector<bool> m_ticked;
};

} // namespace movilibro
