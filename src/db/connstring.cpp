#include "db/connstring.h"

#include <QDir>

namespace movilibro::db {

namespace {
const QString DataSource = QStringLiteral("Data Source=");
}

QString connStringFor(const QString& dbFolder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;") + DataSource + dbFolder + QDir::separator() +
           QStringLiteral("movilibro.mdb") + QStringLiteral(";Persist Security Info=False");
}

QString databasePathFromConnString(const QString& connString)
{
    const qsizetype start = connString.indexOf(DataSource, 0, Qt::CaseInsensitive);
    if (start < 0)
        return {};
    const qsizetype from = start + DataSource.size();
    // A folder may itself contain ';', so the path runs up to the last known key.
    qsizetype end = connString.indexOf(QStringLiteral(";Persist Security Info="), from, Qt::CaseInsensitive);
    if (end < 0)
        end = connString.size();
    return connString.mid(from, end - from);
}

} // namespace movilibro::db
