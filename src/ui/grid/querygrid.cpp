#include "ui/grid/querygrid.h"

#include "db/connection.h"
#include "db/errortext.h"
#include "journal/querytable.h"
#include "ui/grid/gridmodel.h"

#include <exception>

namespace movilibro::grid {

QueryGrid::QueryGrid(QWidget* parent) : GroupedGrid(parent)
{
    showRows(&m_rows);
}

bool QueryGrid::refresh(bool requery)
{
    if (!requery) {
        refreshRows();
        return true;
    }
    const QVariant previous = currentRow() > 0 && columnCount() > 0 ? currentValue(1) : QVariant();
    m_lastError.clear();
    try {
        loadRecordSource();
    } catch (const std::exception& e) {
        const auto* dbError = dynamic_cast<const db::DbError*>(&e);
        m_lastError = dbError ? db::userMessage(*dbError) : QString::fromStdString(e.what());
        changeRows([&] {
            m_rows.clear();
            m_data.setRowCount(0);
        });
        return false;
    }
    restoreCurrent(previous);
    return true;
}

// Presentation set earlier for a column key is kept.
void QueryGrid::loadRecordSource()
{
    journal::QueryTable fresh = journal::readQuery(m_connString, m_recordSource);
    std::vector<GridColumn> designs(fresh.keys.size());
    for (size_t c = 0; c < designs.size(); ++c) {
        const int known = columnIndex(fresh.keys[c]);
        if (known > 0) {
            designs[c] = column(known);
        } else {
            designs[c].key = fresh.keys[c];
            designs[c].caption = fresh.keys[c];
        }
    }
    changeRows([&] {
        m_data = std::move(fresh.data);
        model()->setColumns(std::move(designs));
        m_rows.clearGroups();
        m_rows.clearSortKeys();
        m_rows.rebuild();
    });
}

void QueryGrid::restoreCurrent(const QVariant& key)
{
    const int count = displayRowCount();
    if (key.isValid()) {
        for (int p = 1; p <= count; ++p) {
            if (value(p, 1) == key) {
                setCurrentRow(p);
                return;
            }
        }
    }
    setCurrentRow(count > 0 ? 1 : 0);
}

} // namespace movilibro::grid
