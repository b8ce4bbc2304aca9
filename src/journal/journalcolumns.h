#pragma once

#include "journal/gridtypes.h"

#include <QString>

namespace movilibro::journal {

// Columns of the journal's data array, 1-based.
namespace JournalColumn {
enum : int
{
    Icon = 1, // empty: the key of the all-entries group
    Periodo,
    Conto,
    Data,
    Descrizione,
    Entrate,
    Uscite,
    Saldo,
    Id
};
inline constexpr int Count = Id;
} // namespace JournalColumn

// The key of a journal column ("mlIcon" .. "mlId") and the type of its cells.
QString journalColumnKey(int column);
ColumnType journalColumnType(int column);

} // namespace movilibro::journal
