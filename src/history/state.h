#pragma once

#include <QString>

#include <optional>

namespace movilibro::db {
class Connection;
}

namespace movilibro::history {

// What the log and the bin are about: one entry or one account, by its id.
struct Item
{
    enum Kind
    {
        Entry,
        Account
    };
    Kind kind = Entry;
    qint64 id = 0;
    bool operator==(const Item&) const = default;
};

// Where an item is: in the journal's own tables, in the bin, or nowhere
// (before it was made, after the bin was emptied or a purge).
enum class Place
{
    None,
    Journal,
    Bin
};

// An item's values. An entry has them all, `name` being its account's name;
// an account has only its name.
struct Values
{
    QString date; // ISO, as stored
    std::optional<qint64> account;
    QString name;
    QString description;
    std::optional<qint64> in, out;
    bool operator==(const Values&) const = default;
};

struct State
{
    Place place = Place::None;
    Values values;
};

// The item as the journal holds it now. Throws db::DbError.
State currentState(db::Connection& conn, const Item& item);

// The same for an undo: same place and values. An entry's account name does
// not count, since an account is renamed on its own.
bool sameState(const Item& item, const State& a, const State& b);

} // namespace movilibro::history
