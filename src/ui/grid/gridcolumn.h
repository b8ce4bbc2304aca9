#pragma once

#include <QString>
#include <Qt>

namespace movilibro::grid {

// How one data column is presented.
struct GridColumn
{
    QString key;
    QString caption;
    bool visible = true;
    int width = 100; // pixels
    // Four-section number pattern for Currency and Id cells; a date pattern
    // for Date cells (dd/MM/yyyy when empty).
    QString format;
    // When set on a Currency column, total rows show the group's sum with it.
    QString totalFormat;
    Qt::Alignment alignment = Qt::AlignLeft;
    // Named style laid on every entry cell of the column.
    QString style;
};

} // namespace movilibro::grid
