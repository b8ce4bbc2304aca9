#pragma once

#include "format/currency.h"
#include "journal/gridrows.h"
#include "ui/grid/gridcolumn.h"
#include "ui/grid/rowformat.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QTreeView;
class QModelIndex;

namespace movilibro::grid {

// The kinds of rows and cells the grid shows are the journal core's.
using journal::ColumnType;
using journal::RowType;

class GridDelegate;
class GridModel;

// A read-only grid of rows gathered in nested groups, each group with a
// header row above its rows and a total row below them, and a record
// navigator ("riga:p/R") underneath. It shows laid-out rows held elsewhere
// (the journal core's); rows are addressed by display position
// p = 1..displayRowCount(), counting headers, entries and totals as if every
// group were expanded. Columns and data rows are 1-based.
class GroupedGrid : public QWidget
{
    Q_OBJECT

public:
    explicit GroupedGrid(QWidget* parent = nullptr);
    ~GroupedGrid() override;

    // --- Rows shown ----------------------------------------------------------
    // Shows `rows` and their data array (not owned; nullptr shows none). They
    // must outlive the grid, or be replaced first, and change only through
    // changeRows().
    void showRows(const journal::GridRows* rows);
    // Runs `change`, which may change the rows shown and their data in any
    // way, then lays the view out again with every group expanded.
    void changeRows(const std::function<void()>& change);
    const journal::GridRows& rows() const;
    const journal::GridData& data() const { return rows().data(); }
    int rowCount() const { return data().rowCount(); }

    // --- Rows by display position (throw std::out_of_range outside 1..R) --
    int displayRowCount() const { return rows().displayRowCount(); }
    journal::RowType rowType(int p) const { return rows().rowType(p); }
    int dataIndex(int p) const { return rows().dataIndex(p); }
    int level(int p) const { return rows().level(p); }
    int groupColumnOf(int p) const { return rows().groupColumnOf(p); }
    QVariant value(int p, int col) const { return rows().value(p, col); }
    Currency groupSum(int p, int col) const { return rows().groupSum(p, col); }

    // --- Columns (follow data().columnCount()) -----------------------------
    int columnCount() const { return data().columnCount(); }
    const GridColumn& column(int col) const;
    void setColumn(int col, const GridColumn& column);
    void setColumnCaption(int col, const QString& caption);
    void setColumnVisible(int col, bool visible);
    void setColumnWidth(int col, int pixels);
    void setColumnFormat(int col, const QString& pattern);
    void setColumnTotalFormat(int col, const QString& pattern);
    void setColumnAlignment(int col, Qt::Alignment alignment);
    void setColumnStyle(int col, const QString& style);
    // The column with that key, or 0.
    int columnIndex(const QString& key) const;
    // That column takes whatever width the others leave, so that all of
    // them fit the grid and no horizontal scroll bar appears.
    void setFillColumn(int col);

    // --- Drawing ---------------------------------------------------------------
    // Asked for each row when it is first drawn after a change or refresh.
    void setRowFormatHook(RowFormatHook hook);
    // Draws every row again with fresh data and formats (the layout stays).
    void refreshRows();
    void expandAll();
    void collapseAll();
    void addStyle(const QString& name, const QColor& background, const QColor& foreground = QColor(),
                  std::optional<QFont::Weight> weight = std::nullopt);
    // A style that draws a mark before the cell's text, its colours untouched.
    void addMarkStyle(const QString& name, const QIcon& icon, const QString& toolTip);
    // Style of group header and total rows.
    void setGroupRowStyle(const QString& name);
    void setAlternatingRowStyles(const QString& odd, const QString& even);
    void setHeaderVisible(bool visible);
    void setGridLinesVisible(bool visible);
    void setNavigatorVisible(bool visible);
    void setBorderVisible(bool visible);
    // Below the last row, empty rows go on in the alternating row styles.
    void setEmptyRowsVisible(bool visible);

    // --- Current row ---------------------------------------------------------
    // Display position of the current row, 0 when there is none.
    int currentRow() const;
    // Makes row p current and visible; any other p leaves no current row.
    void setCurrentRow(int p);
    // Value of a column in the current row (see GridRows::value); invalid
    // when there is no current row.
    QVariant currentValue(int col) const;

    QTreeView* view() const { return m_view; }
    GridModel* model() const { return m_model; }

signals:
    void doubleClicked();
    // Every key pressed in the view, before the view handles it.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void currentRowChanged(int p);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpView();
    void updateColumn(int col, const std::function<void(GridColumn&)>& change);
    void applyColumn(int col);
    void applyLayout();
    void keepCurrentVisible();
    void onCurrentChanged(const QModelIndex& current);
    void updateNavigator();
    void fitFillColumn();

    GridModel* m_model;
    GridDelegate* m_delegate;
    QTreeView* m_view;
    QLabel* m_navigator;
    int m_reportedCurrent = 0;
    int m_fillColumn = 0;
};

} // namespace movilibro::grid
