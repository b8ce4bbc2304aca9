#include "db/pendingrow.h"

#include "db/connection.h"
#include "db/schema.h"

#include <stdexcept>

namespace movilibro::db {

namespace {

QVariant columnValue(const Statement& st, int col)
{
    if (st.isNull(col))
        return {};
    if (st.isInteger(col))
        return QVariant::fromValue<qint64>(st.int64(col));
    return st.text(col);
}

} // namespace

PendingRow::PendingRow(Connection& conn, const QString& table) : m_conn(&conn), m_table(table)
{
    Statement info = conn.prepare(QStringLiteral("SELECT name, pk FROM pragma_table_info(?) ORDER BY cid"));
    info.bind(0, table);
    while (info.step()) {
        const QString name = info.text(0);
        m_fields << name;
        if (info.int64(1) == 1)
            m_keyField = name;
    }
    if (m_fields.isEmpty())
        throw DbError(-1, QStringLiteral("Tabella inesistente: %1").arg(table));
    for (const QString& f : m_fields)
        m_sizes.push_back(schema::definedSize(conn, table, f));
    m_values.resize(m_fields.size());
    m_changed.assign(m_fields.size(), false);
}

PendingRow PendingRow::addNew(Connection& conn, const QString& table)
{
    PendingRow row(conn, table);
    row.m_isNew = true;
    row.m_found = true;
    return row;
}

PendingRow PendingRow::openExisting(Connection& conn, const QString& table, const QString& jetSelect)
{
    PendingRow row(conn, table);
    Statement st = conn.prepareJet(jetSelect);
    if (!st.step())
        return row;
    row.m_found = true;
    for (int c = 0; c < st.columnCount(); ++c) {
        const int i = row.fieldIndex(st.columnName(c));
        if (i >= 0)
            row.m_values[i] = columnValue(st, c);
    }
    const int k = row.fieldIndex(row.m_keyField);
    row.m_key = k >= 0 ? row.m_values[k].toLongLong() : 0;
    return row;
}

int PendingRow::fieldIndex(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant PendingRow::value(const QString& field) const
{
    const int i = fieldIndex(field);
    return i >= 0 ? m_values[i] : QVariant();
}

void PendingRow::setValue(const QString& field, const QVariant& value)
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(-1, QStringLiteral("Campo inesistente: %1").arg(field));
    m_values[i] = value;
    m_changed[i] = true;
}

int PendingRow::definedSize(const QString& field) const
{
    const int i = fieldIndex(field);
    return i >= 0 ? m_sizes[i] : -1;
}

void PendingRow::bindValue(Statement& st, int index, const QVariant& v) const
{
    if (!v.isValid() || v.isNull())
        st.bindNull(index);
    else if (v.typeId() == QMetaType::QString)
        st.bind(index, v.toString());
    else
        st.bind(index, v.toLongLong());
}

qint64 PendingRow::save()
{
    if (!m_found)
        throw DbError(-1, QStringLiteral("La riga non esiste più."));
    QStringList names;
    std::vector<int> indexes;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_changed[i] && m_fields[i] != m_keyField) {
            names << m_fields[i];
            indexes.push_back(i);
        }
    }
    Transaction tx(*m_conn);
    if (m_isNew) {
        QString sql = QStringLiteral("INSERT INTO %1 ").arg(m_table);
        if (names.isEmpty()) {
            sql += QStringLiteral("DEFAULT VALUES");
        } else {
            QStringList marks(names.size(), QStringLiteral("?"));
            sql += QStringLiteral("(%1) VALUES (%2)").arg(names.join(u','), marks.join(u','));
        }
        Statement st = m_conn->prepare(sql);
        for (int b = 0; b < int(indexes.size()); ++b)
            bindValue(st, b, m_values[indexes[b]]);
        st.run();
        m_key = m_conn->lastInsertId();
    } else if (!names.isEmpty()) {
        QStringList sets;
        for (const QString& n : names)
            sets << n + QStringLiteral(" = ?");
        Statement st = m_conn->prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(m_table, sets.join(u','), m_keyField));
        int b = 0;
        for (; b < int(indexes.size()); ++b)
            bindValue(st, b, m_values[indexes[b]]);
        st.bind(b, m_key);
        if (st.run() != 1)
            throw DbError(-1, QStringLiteral("La riga non esiste più."));
    }
    tx.commit();
    m_isNew = false;
    m_changed.assign(m_fields.size(), false);
    return m_key;
}

void PendingRow::cancel()
{
    m_changed.assign(m_fields.size(), false);
    m_values.assign(m_fields.size(), QVariant());
}

} // namespace movilibro::db
