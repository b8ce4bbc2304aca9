#pragma once

#include "db/connection.h"

#include <QString>

#include <optional>

// Reading and binding the bin's and the log's columns, null kept apart from
// empty text (QString's isNull()).
namespace movilibro::history::sql {

inline QString text(const db::Statement& st, int col)
{
    if (st.isNull(col))
        return {};
    const QString text = st.text(col);
    return text.isNull() ? QStringLiteral("") : text;
}

inline std::optional<qint64> integer(const db::Statement& st, int col)
{
    return st.isNull(col) ? std::nullopt : std::optional<qint64>(st.int64(col));
}

inline void bind(db::Statement& st, int index, const QString& value)
{
    value.isNull() ? st.bindNull(index) : st.bind(index, value);
}

inline void bind(db::Statement& st, int index, std::optional<qint64> value)
{
    st.bind(index, value);
}

} // namespace movilibro::history::sql
