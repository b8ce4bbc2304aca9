#pragma once

#include "search/searchquery.h"

#include <QDate>
#include <QString>

namespace movilibro::report {

// What the journal report is printed for, as the main window holds it: the
// selected period, the date-grouping kind (0 months .. 4 half years), the
// grouping layout (0 none .. 4 by account then period), the journal and the
// search filter.
struct ReportContext
{
    QDate start;
    QDate end;
    int kind = 0;
    int layout = 0;
    QString connString;
    // Only the entries this lets through, when active.
    search::Filter filter = {};
};

} // namespace movilibro::report
