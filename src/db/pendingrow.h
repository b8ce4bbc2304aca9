#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace movilibro::db {

class Connection;

// One row of a table held in memory while an editor is open: a new row or a
// copy of an existing one. Nothing reaches the file until save(), which
// writes the changed fields with bound values in one transaction.
class PendingRow
{
public:
    // A new row of `table`; every field starts empty.
    static PendingRow addNew(Connection& conn, const QString& table);
    // The row of `table` returned by a Jet select such as
    // "SELECT * FROM Movilibro WHERE mlId=7"; found() is false when there is none.
    static PendingRow openExisting(Connection& conn, const QString& table, const QString& jetSelect);

    bool isNew() const { return m_isNew; }
    // The row's key; 0 for a new row not saved yet.
    qint64 key() const { return m_key; }
    bool found() const { return m_found; }
    QString table() const { return m_table; }
    QStringList fields() const { return m_fields; }

    // qint64 for whole numbers (ids, dates are ISO text, amounts ten-thousandths),
    // QString for text, an invalid QVariant for empty.
    QVariant value(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);
    // Defined size of a sized text column, or -1.
    int definedSize(const QString& field) const;

    // Writes the row and returns its key; throws DbError and keeps the
    // pending values when the file refuses it.
    qint64 save();
    // Drops the pending changes.
    void cancel();

private:
    PendingRow(Connection& conn, const QString& table);
    int fieldIndex(const QString& field) const;
    void bindValue(class Statement& st, int index, const QVariant& v) const;

    Connection* m_conn;
    QString m_table;
    QStringList m_fields;
    QString m_keyField;
    std::vector<int> m_sizes;
    std::vector<QVariant> m_values;
    std::vector<bool> m_changed;
    qint64 m_key = 0;
    bool m_isNew = false;
    bool m_found = false;
};

} // namespace movilibro::db
