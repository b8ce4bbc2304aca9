#pragma once

#include <QDate>
#include <QString>

namespace movilibro::report {

// What the journal report is printed for, as the main window holds it: the
// selected period, the date-grouping kind (0 months .. 4 half years), the
// grouping layout (0 none .. 4 by account then period) and the journal.
struct ReportContext
{
    QDate start;
    QDate end;
    int kind = 0;
    int layout = 0;
    QString connString;
};

} // namespace movilibro::report
