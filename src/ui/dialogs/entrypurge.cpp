#include "ui/dialogs/entrypurge.h"

#include "db/journaldb.h"
#include "history/changelog.h"

#include <QFileInfo>

namespace movilibro {

EntryPurge::EntryPurge(const QString& connString, const QDate& cutOff)
    : m_cutOff(cutOff), m_conn(db::Connection::openConnString(connString))
{
    m_tx.emplace(m_conn);
}

QString EntryPurge::countStatement(const QDate& cutOff)
{
    return QStringLiteral("SELECT mlId From Movilibro WHERE mlData<=") + db::SqlDateLiteral(cutOff);
}

QString EntryPurge::deleteStatement(const QDate& cutOff)
{
    return QStringLiteral("DELETE * FROM Movilibro WHERE mlData<=") + db::SqlDateLiteral(cutOff);
}

qint64 EntryPurge::count()
{
    db::Statement rows = m_conn.prepareJet(countStatement(m_cutOff));
    qint64 n = 0;
    while (rows.step())
        ++n;
    return n;
}

int EntryPurge::deleteCounted(const QString& copy)
{
    const int deleted = m_conn.execJet(deleteStatement(m_cutOff));
    QString note = QStringLiteral("%1 registrazioni eliminate fino al %2.")
                       .arg(deleted)
                       .arg(m_cutOff.toString(QStringLiteral("dd/MM/yyyy")));
    if (!copy.isEmpty())
        note += QStringLiteral(" Copia del giornale: %1").arg(QFileInfo(copy).fileName());
    history::appendOperation(m_conn, history::Kind::Purge, note);
    m_tx->commit();
    return deleted;
}

} // namespace movilibro
