#pragma once

#include "history/changelog.h"

#include <stdexcept>
#include <vector>

namespace movilibro::history {

// A write refused because it would overwrite what changed since, or break the
// journal; nothing was changed. The text is Italian, for the user.
class Refusal : public std::runtime_error
{
public:
    explicit Refusal(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString reason() const { return QString::fromStdString(what()); }
};

// Moves an item between the journal and the bin (or gives it `values` where it
// is), within the caller's transaction, and logs it as `kind`. An entry keeps
// its id; its account's id and name and its bank reference go with it. An
// entry that comes back brings back its account too when that is in the bin
// (or gone for good: made again from the name kept). The ids of the lines
// written are added to `lines`. Throws Refusal and db::DbError.
void moveItem(db::Connection& conn, const Item& item, Place to, Kind kind, const QDateTime& when,
              std::vector<qint64>& lines, const Values* values = nullptr, qint64 reverses = 0);

// Puts the item of `line` back as it was before it, provided it is still as
// the line left it; logged as `kind` (an undo or a redo). An item that did not
// exist before goes to the bin.
void reverse(db::Connection& conn, const LogLine& line, Kind kind, const QDateTime& when,
             std::vector<qint64>& lines);

} // namespace movilibro::history
