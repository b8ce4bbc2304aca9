#pragma once

#include "format/currency.h"
#include "journal/gridrows.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <utility>
#include <vector>

namespace movilibro::grid {

// One displayed row as handed to the row-format hook just before it is first
// drawn. The hook may change the caption shown on a group row, lay named
// styles on cells and set a row attribute; what it sets lasts until the grid's
// rows are refreshed or rebuilt, when the hook is asked again.
class RowFormat
{
public:
    RowFormat(const journal::GridRows& rows, int position);

    int position() const { return m_position; }
    journal::RowType type() const { return m_type; }
    int dataIndex() const { return m_dataIndex; }
    int level() const { return m_level; }
    int groupColumn() const;
    QVariant value(int column) const;
    // Throws CurrencyOverflow, as GridRows::groupSum.
    Currency groupSum(int column) const;

    // Group rows start with the group's value as text.
    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }

    void setCellStyle(int column, const QString& style);
    // The style the hook laid on a column, or an empty name.
    QString cellStyle(int column) const;

    // A number the owner may attach to the row; the grid keeps it but does
    // not use it (rows keep uniform heights).
    void setRowAttribute(int value) { m_rowAttribute = value; }
    int rowAttribute() const { return m_rowAttribute; }

private:
    const journal::GridRows* m_rows;
    int m_position;
    journal::RowType m_type;
    int m_dataIndex;
    int m_level;
    QString m_caption;
    std::vector<std::pair<int, QString>> m_cellStyles;
    int m_rowAttribute = 0;
};

using RowFormatHook = std::function<void(RowFormat&)>;

} // namespace movilibro::grid
