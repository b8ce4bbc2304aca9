#pragma once

#include "report/records.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

namespace movilibro::report {

// Fetches a report's records: a query in the journal's SQL dialect run over
// the journal named by a connection text, or a reader of records held
// elsewhere (the journal core). The report declares which fields of a query
// are dates and amounts; any other field is read as text.
class DataControl
{
public:
    void setConnectionString(const QString& connString) { m_connString = connString; }
    QString connectionString() const { return m_connString; }
    void setSource(const QString& query) { m_source = query; }
    QString source() const { return m_source; }

    void setFieldType(const QString& field, FieldType type);
    FieldType fieldType(const QString& field) const;

    // Rows the function refuses are left out of the records.
    using RowFilter = std::function<bool(const std::vector<FieldDef>&, const std::vector<Value>&)>;
    void setRowFilter(RowFilter filter) { m_rowFilter = std::move(filter); }

    // Opens the journal read-only and reads every row. Throws db::DbError.
    RecordTable fetch() const;

    // When set, the records come from here instead of the query.
    using RecordReader = std::function<std::shared_ptr<const RecordSource>()>;
    void setRecordReader(RecordReader reader) { m_reader = std::move(reader); }
    // The reader's records, or the query's. Throws what they throw.
    std::shared_ptr<const RecordSource> records() const;

private:
    RecordReader m_reader;
    RowFilter m_rowFilter;
    QString m_connString;
    QString m_source;
    QHash<QString, FieldType> m_types; // keys in lower case
};

} // namespace movilibro::report
