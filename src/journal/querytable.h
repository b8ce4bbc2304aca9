#pragma once

#include "journal/griddata.h"

#include <QString>

#include <vector>

namespace movilibro::journal {

// The rows of a query, in the query's order: one column per result column,
// integer columns (by declared type) as Id columns, the others as Text.
struct QueryTable
{
    GridData data;
    std::vector<QString> keys; // the result columns' names
};

// Runs a query in the journal's SQL dialect on a read-only connection.
// Throws db::DbError.
QueryTable readQuery(const QString& connString, const QString& jetSql);

} // namespace movilibro::journal
