#include "journal/journalcolumns.h"

#include <stdexcept>

namespace movilibro::journal {

namespace {

struct ColumnDef
{
    const char* key;
    ColumnType type;
};

constexpr ColumnDef Columns[] = {
    {"mlIcon", ColumnType::Text},
    {"mlPeriodo", ColumnType::Text},
    {"mlConto", ColumnType::Text},
    {"mlData", ColumnType::Date},
    {"mlDescrizione", ColumnType::Text},
    {"mlEntrate", ColumnType::Currency},
    {"mlUscite", ColumnType::Currency},
    {"mlSaldo", ColumnType::Currency},
    {"mlId", ColumnType::Id},
};

const ColumnDef& columnDef(int column)
{
    if (column < 1 || column > JournalColumn::Count)
        throw std::out_of_range("journal column out of range");
    return Columns[column - 1];
}

} // namespace

QString journalColumnKey(int column)
{
    return QString::fromLatin1(columnDef(column).key);
}

ColumnType journalColumnType(int column)
{
    return columnDef(column).type;
}

} // namespace movilibro::journal
