#pragma once

#include "journal/gridrows.h"
#include "ui/grid/cellstyle.h"
#include "ui/grid/gridcolumn.h"
#include "ui/grid/rowformat.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QHash>

#include <functional>
#include <vector>

namespace movilibro::grid {

// The tree model over laid-out rows held elsewhere (the journal core, or the
// rows of a query). Model column 0 carries the group hierarchy and the group
// captions; model column c (1..C) is data column c. A row's internal id is its
// display position.
class GridModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    GridModel(const journal::GridRows* rows, QObject* parent = nullptr);

    const journal::GridRows& rows() const { return *m_rows; }
    const journal::GridData& data() const { return m_rows->data(); }
    // Runs `change` (which may alter rows, data and column count) inside a
    // model reset; formats drawn before are forgotten.
    void reset(const std::function<void()>& change);
    // The same, showing `rows` (not owned) afterwards.
    void reset(const journal::GridRows* rows, const std::function<void()>& change);
    // Forgets the formats and tells views to draw every row again.
    void refreshRows();
    // Tells views that a column's caption or look changed.
    void columnChanged(int col);

    // Data columns seen by views (fixed between resets).
    int dataColumnCount() const { return m_columnCount; }
    // Presentation of data columns 1..C, kept in step with the data array.
    GridColumn& column(int col);
    const GridColumn& column(int col) const;
    void syncColumns();
    void setColumns(std::vector<GridColumn> columns) { m_columns = std::move(columns); }
    const std::vector<GridColumn>& columns() const { return m_columns; }

    void addStyle(const QString& name, const CellStyle& style) { m_styles.insert(name, style); }
    bool hasStyle(const QString& name) const { return m_styles.contains(name); }
    void setGroupRowStyle(const QString& name) { m_groupRowStyle = name; }
    // Entry rows take `odd` and `even` by position (the first row is odd).
    void setAlternatingRowStyles(const QString& odd, const QString& even);
    const QString& oddRowStyle() const { return m_oddRowStyle; }
    const QString& evenRowStyle() const { return m_evenRowStyle; }
    QColor styleBackground(const QString& name) const { return m_styles.value(name).background; }
    void setRowFormatHook(RowFormatHook hook) { m_hook = std::move(hook); }
    void setBaseFont(const QFont& font) { m_baseFont = font; }

    int positionOf(const QModelIndex& index) const;
    QModelIndex indexOf(int position, int column = 0) const;
    // The format of a row, asking the hook on first use.
    const RowFormat& rowFormat(int position) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shown in a total cell whose sum does not fit the currency range.
    static QString overflowText();

private:
    const GridColumn& design(int col) const;
    QString displayText(int position, int column) const;
    QString entryText(int dataRow, int column) const;
    QString totalText(int position, int column) const;
    CellStyle cellStyle(int position, int column) const;
    void layStyle(CellStyle& style, const QString& name) const;
    QVariant fontFor(const CellStyle& style) const;
    void emitDataChanged(int parentPosition);

    const journal::GridRows* m_rows;
    int m_columnCount = 0;
    std::vector<GridColumn> m_columns;
    QHash<QString, CellStyle> m_styles;
    QString m_groupRowStyle;
    QString m_oddRowStyle;
    QString m_evenRowStyle;
    RowFormatHook m_hook;
    QFont m_baseFont;
    mutable QHash<int, RowFormat> m_formats;
};

} // namespace movilibro::grid
