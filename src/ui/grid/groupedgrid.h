#pragma once

#include "format/currency.h"
#include "ui/grid/gridcolumn.h"
#include "ui/grid/griddata.h"
#include "ui/grid/gridrows.h"
#include "ui/grid/gridtypes.h"
#include "ui/grid/rowformat.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <optional>

class QLabel;
class QTreeView;
class QModelIndex;

namespace movilibro::grid {

class GridDelegate;
class GridModel;

// A read-only grid of entries gathered in nested groups, each group with a
// header row above its rows and a total row below them, and a record
// navigator ("riga:p/R") underneath.
//
// Unbound use: fill data() (N rows x C typed columns), describe the columns,
// add groups and sort keys, then rebuild(). Rows are then addressed by display
// position p = 1..displayRowCount(), counting headers, entries and totals as
// if every group were expanded. Columns and data rows are 1-based.
//
// Bound use: setConnectionString(), setRecordSource() and refresh() load the
// rows of a query, one column per result column, in the query's order.
class GroupedGrid : public QWidget
{
    Q_OBJECT

public:
    explicit GroupedGrid(QWidget* parent = nullptr);
    ~GroupedGrid() override;

    // --- Data array -------------------------------------------------------
    GridData& data() { return m_data; }
    const GridData& data() const { return m_data; }
    // Sets the number of data rows and empties the display until rebuild().
    void setRowCount(int count);
    int rowCount() const { return m_data.rowCount(); }

    // --- Columns (follow data().columnCount()) -----------------------------
    int columnCount() const { return m_data.columnCount(); }
    const GridColumn& column(int col) const;
    void setColumn(int col, const GridColumn& column);
    void setColumnKey(int col, const QString& key);
    void setColumnCaption(int col, const QString& caption);
    void setColumnVisible(int col, bool visible);
    void setColumnWidth(int col, int pixels);
    void setColumnFormat(int col, const QString& pattern);
    void setColumnTotalFormat(int col, const QString& pattern);
    void setColumnAlignment(int col, Qt::Alignment alignment);
    void setColumnStyle(int col, const QString& style);
    // The column with that key, or 0.
    int columnIndex(const QString& key) const;

    // --- Groups and sort keys --------------------------------------------
    void clearGroups();
    void addGroup(int col, bool ascending = true);
    int groupCount() const { return m_rows.groupCount(); }
    int groupColumn(int level) const { return m_rows.groupColumn(level); }
    void clearSortKeys();
    void addSortKey(int col, bool descending = false);
    // Groups, sorts and lays out every row, all groups expanded.
    void rebuild();
    // Shows only the entries whose flag is set, without sorting again (see
    // GridRows::filterEntries); an empty vector shows them all.
    void filterEntries(std::vector<quint8> keep);

    // --- Rows by display position (throw std::out_of_range outside 1..R) --
    int displayRowCount() const { return m_rows.displayRowCount(); }
    RowType rowType(int p) const { return m_rows.rowType(p); }
    int dataIndex(int p) const { return m_rows.dataIndex(p); }
    int level(int p) const { return m_rows.level(p); }
    int groupColumnOf(int p) const { return m_rows.groupColumnOf(p); }
    QVariant value(int p, int col) const { return m_rows.value(p, col); }
    QString caption(int p) const { return m_rows.caption(p); }
    void setCaption(int p, const QString& caption);
    Currency groupSum(int p, int col) const { return m_rows.groupSum(p, col); }
    const GridRows& rows() const { return m_rows; }

    // Asked for each row when it is first drawn after a rebuild or refresh.
    void setRowFormatHook(RowFormatHook hook);
    // Draws every row again with fresh data and formats (the layout stays).
    void refreshRows();
    void expandAll();
    void collapseAll();

    // --- Appearance --------------------------------------------------------
    void addStyle(const QString& name, const QColor& background, const QColor& foreground = QColor(),
                  std::optional<QFont::Weight> weight = std::nullopt);
    // Style of group header and total rows.
    void setGroupRowStyle(const QString& name);
    void setAlternatingRowStyles(const QString& odd, const QString& even);
    void setHeaderVisible(bool visible);
    void setGridLinesVisible(bool visible);
    void setNavigatorVisible(bool visible);
    void setBorderVisible(bool visible);
    // Below the last row, empty rows go on in the alternating row styles.
    void setEmptyRowsVisible(bool visible);
    // That column takes whatever width the others leave, so that all of
    // them fit the grid and no horizontal scroll bar appears.
    void setFillColumn(int col);

    // --- Current row ---------------------------------------------------------
    // Display position of the current row, 0 when there is none.
    int currentRow() const;
    // Makes row p current and visible; any other p leaves no current row.
    void setCurrentRow(int p);
    // Value of a column in the current row (see GridRows::value); invalid
    // when there is no current row.
    QVariant currentValue(int col) const;

    // --- Bound mode ----------------------------------------------------------
    void setConnectionString(const QString& connString) { m_connString = connString; }
    void setRecordSource(const QString& jetSql) { m_recordSource = jetSql; }
    // With `requery`, runs the record source again (read-only) and shows its
    // rows; the current row follows its column-1 value where it still exists.
    // Returns false when the query fails: the grid is then empty and
    // lastError() says why. Without `requery` it only refreshes the rows.
    bool refresh(bool requery = true);
    QString lastError() const { return m_lastError; }

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
    void applyColumn(int col);
    void applyLayout();
    void loadRecordSource();
    void restoreCurrent(const QVariant& key);
    void keepCurrentVisible();
    void onCurrentChanged(const QModelIndex& current);
    void updateNavigator();
    void fitFillColumn();

    GridData m_data;
    GridRows m_rows{m_data};
    GridModel* m_model;
    GridDelegate* m_delegate;
    QTreeView* m_view;
    QLabel* m_navigator;
    QString m_connString;
    QString m_recordSource;
    QString m_lastError;
    int m_reportedCurrent = 0;
    int m_fillColumn = 0;
};

} // namespace movilibro::grid
