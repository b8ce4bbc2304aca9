#pragma once

#include "format/currency.h"
#include "journal/gridtypes.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace movilibro::journal {

// A data array: N rows by C typed columns, held column by column in flat
// vectors (the journal's entries, the rows of a query). Columns and rows are
// 1-based, as the grid's owners count them. Out-of-range indexes and a setter
// of the wrong type throw std::out_of_range / std::logic_error: they are
// programming errors.
class GridData
{
public:
    // Columns added by a larger count are Text; a smaller count drops the last ones.
    void setColumnCount(int count);
    int columnCount() const { return int(m_columns.size()); }
    // Changes the type of a column; its cells become empty.
    void setColumnType(int col, ColumnType type);
    ColumnType columnType(int col) const;
    // A Text column whose texts repeat (accounts, period keys): each distinct
    // text is held once and a row holds its number. Its cells become empty.
    void setTextPooled(int col);
    bool isTextPooled(int col) const { return column(col).pooled; }

    // Rows added by a larger count are empty; a smaller count drops the last ones.
    void setRowCount(int count);
    int rowCount() const { return m_rowCount; }
    // Adds one empty row at the end and returns its index.
    int appendRow();
    void clear();

    void setText(int col, int row, const QString& value);
    const QString& text(int col, int row) const;
    // Pooled columns: the number of a text (added when new), and a row's text
    // set by that number.
    quint32 textId(int col, const QString& value);
    void setTextId(int col, int row, quint32 id);
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
    // The texts of a Text column that is not pooled.
    const std::vector<QString>& texts(int col) const;
    // The texts of any Text column as numbers: rows with equal texts share
    // one; distinct[id] is the text.
    struct TextKeys
    {
        std::vector<quint32> ids;
        std::vector<QString> distinct;
    };
    TextKeys textKeys(int col) const;
    // Non-zero where a Currency cell is empty.
    const std::vector<quint8>& nulls(int col) const { return column(col).nulls; }

private:
    struct Column
    {
        ColumnType type = ColumnType::Text;
        bool pooled = false;
        std::vector<QString> texts; // per row, or the distinct texts when pooled
        std::vector<quint32> ids;   // pooled: per row, into texts
        QHash<QString, quint32> idOf;
        std::vector<qint64> numbers;
        std::vector<quint8> nulls;
        void resize(int rows);
    };

    const Column& column(int col) const;
    Column& column(int col);
    Column& pooledColumn(int col);
    const Column& cell(int col, int row, ColumnType type) const;
    Column& cell(int col, int row, ColumnType type);

    std::vector<Column> m_columns;
    int m_rowCount = 0;
};

} // namespace movilibro::journal

Q_DECLARE_METATYPE(movilibro::Currency)
