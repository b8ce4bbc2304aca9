#pragma once

#include <QtGlobal>

namespace movilibro::journal {

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

} // namespace movilibro::journal
