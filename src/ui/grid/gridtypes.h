#pragma once

#include <QColor>
#include <QFont>
#include <QtGlobal>

#include <optional>

namespace movilibro::grid {

// What a data column holds. Currency cells may be empty; the others always
// hold a value (an invalid QDate counts as an empty date).
enum class ColumnType
{
    Text,
    Date,
    Currency,
    Id
};

// The kind of a displayed row, with the numbers the owner of the grid relies on.
enum class RowType : quint8
{
    Entry = 0,
    GroupHeader = 1,
    GroupTotal = 2
};

// A group level: rows are gathered by the value of `column` (1-based).
struct GroupLevel
{
    int column = 0;
    bool ascending = true;
};

// An ordering applied to the entries inside each innermost group.
struct SortKey
{
    int column = 0;
    bool descending = false;
};

// A named cell style. Unset members leave what lies below them unchanged, so a
// text-colour style can sit on top of a column's background.
struct CellStyle
{
    QColor background;
    QColor foreground;
    std::optional<QFont::Weight> weight;
};

// Colours kept in the 0x00BBGGRR form (red in the low byte).
inline QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace movilibro::grid
