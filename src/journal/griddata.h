#pragma once

#include "format/currency.h"
#include "journal/gridtypes.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace movilibro::journal {

// The grid's unbound data array: N rows by C typed columns, held column by
// column in flat vectors. Columns and rows are 1-based, as the grid's owners
// count them. Out-of-range indexes and a setter of the wrong type throw
// std::out_of_range / std::logic_error: they are programming errors.
class GridData
{
public:
    // Columns added by a larger count are Text; a smaller count drops the last ones.
    void setColumnCount(int count);
    int columnCount() const { return int(m_columns.size()); }
    // Changes the type of a column; its cells become empty.
    void setColumnType(int col, ColumnType type);
    ColumnType columnType(int col) const;

    // Rows added by a larger count are empty; a smaller count drops the last ones.
    void setRowCount(int count);
    int rowCount() const { return m_rowCount; }
    // Adds one empty row at the end and returns its index.
    int appendRow();
    void clear();

    void setText(int col, int row, const QString& value);
    const QString& text(int col, int row) const;
    void setDate(int col, int row, const QDate& value);
    QDate date(int col, int row) const;
    void setCurrency(int col, int row, std::optional<Currency> value);
    std::optional<Currency> currency(int col, int row) const;
    void setId(int col, int row, qint64 value);
    qint64 id(int col, int row) const;

    // The cell boxed for generic readers: QString, QDate (null when empty),
    // Currency (null QVariant when empty) or qint64.
    QVariant value(int col, int row) const;

    // Raw storage for the row-ordering code: Date cells as Julian days,
    // Currency cells as ten-thousandths, Id cells as is (0-based rows).
    const std::vector<qint64>& numbers(int col) const { return column(col).numbers; }
    const std::vector<QString>& texts(int col) const { return column(col).texts; }
    // Non-zero where a Currency cell is empty.
    const std::vector<quint8>& nulls(int col) const { return column(col).nulls; }

private:
    struct Column
    {
        ColumnType type = ColumnType::Text;
        std::vector<QString> texts;
        std::vector<qint64> numbers;
        std::vector<quint8> nulls;
        void resize(int rows);
    };

    const Column& column(int col) const;
    Column& column(int col);
    const Column& cell(int col, int row, ColumnType type) const;
    Column& cell(int col, int row, ColumnType type);

    std::vector<Column> m_columns;
    int m_rowCount = 0;
};

} // namespace movilibro::journal

Q_DECLARE_METATYPE(movilibro::Currency)
