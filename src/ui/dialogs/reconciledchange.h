#pragma once

#include <QtGlobal>

class QWidget;

namespace movilibro::db {
class Connection;
}

namespace movilibro {

// True when the entry may be changed or deleted: no reconciliation ticked
// it, or the user answered Yes to the question. Throws db::DbError.
bool reconciledChangeAllowed(QWidget* parent, db::Connection& conn, qint64 entryId);

} // namespace movilibro
