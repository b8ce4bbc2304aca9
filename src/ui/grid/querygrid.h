#pragma once

#include "journal/gridrows.h"
#include "ui/grid/groupedgrid.h"

namespace movilibro::grid {

// A grid bound to a query (the accounts pane): setConnectionString(),
// setRecordSource() and refresh() load the rows of the query, one column per
// result column, in the query's order.
class QueryGrid : public GroupedGrid
{
    Q_OBJECT

public:
    explicit QueryGrid(QWidget* parent = nullptr);

    void setConnectionString(const QString& connString) { m_connString = connString; }
    void setRecordSource(const QString& jetSql) { m_recordSource = jetSql; }
    // With `requery`, runs the record source again (read-only) and shows its
    // rows; the current row follows its column-1 value where it still exists.
    // Returns false when the query fails: the grid is then empty and
    // lastError() says why. Without `requery` it only refreshes the rows.
    bool refresh(bool requery = true);
    QString lastError() const { return m_lastError; }

private:
    void loadRecordSource();
    void restoreCurrent(const QVariant& key);

    journal::GridData m_data;
    journal::GridRows m_rows{m_data};
    QString m_connString;
    QString m_recordSource;
    QString m_lastError;
};

} // namespace movilibro::grid
