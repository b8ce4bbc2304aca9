#pragma once

#include <QString>

namespace movilibro::db {

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<folder>/movilibro.mdb;Persist Security Info=False"
QString connStringFor(const QString& dbFolder);
// The file named by "Data Source=" (empty when the string has none).
QString databasePathFromConnString(const QString& connString);

} // namespace movilibro::db
