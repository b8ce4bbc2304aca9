#pragma once

#include <QtGlobal>

class QWidget;

namespace movilibro::db {
class Connection;
}

namespace movilibro {

class JournalView;

// True when the entry may be changed or deleted: no reconciliation ticked
// it, or the user answered Yes to the question. Throws db::DbError.
bool reconciledChangeAllowed(QWidget* parent, db::Connection& conn, qint64 entryId);

// The grid's delete command: asks, asks again when the entry was
// reconciled, moves it to the bin with its line in the change log (one step
// to undo) and reloads the view; a refusal of the file is told.
void askAndDeleteEntry(QWidget* parent, qint64 entryId, JournalView& view);

} // namespace movilibro
