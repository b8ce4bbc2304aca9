#include "journal/querytable.h"

#include "db/connection.h"

namespace movilibro::journal {

QueryTable readQuery(const QString& connString, const QString& jetSql)
{
    auto connection = db::Connection::openConnString(connString, db::Connection::Mode::ReadOnly);
    auto statement = connection.prepareJet(jetSql);
    const int columns = statement.columnCount();
    QueryTable table;
    table.data.setColumnCount(columns);
    for (int c = 1; c <= columns; ++c) {
        table.keys.push_back(statement.columnName(c - 1));
        const bool integer =
            statement.columnDeclType(c - 1).contains(QLatin1String("INT"), Qt::CaseInsensitive);
        table.data.setColumnType(c, integer ? ColumnType::Id : ColumnType::Text);
    }
    while (statement.step()) {
        const int k = table.data.appendRow();
        for (int c = 1; c <= columns; ++c) {
            if (table.data.columnType(c) == ColumnType::Id)
                table.data.setId(c, k, statement.isNull(c - 1) ? 0 : statement.int64(c - 1));
            else
                table.data.setText(c, k, statement.text(c - 1));
        }
    }
    return table;
}

} // namespace movilibro::journal
