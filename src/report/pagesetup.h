#pragma once

#include "report/document.h"

#include <QPageLayout>

namespace movilibro::report {

// A4 portrait with 10 mm margins: the designed report (10605 twips) fits
// the printable width.
QPageLayout defaultPageLayout();

// The area a report of `reportWidth` twips is laid out in on this page: the
// printable area in twips, enlarged when the report must be scaled down to
// fit the printable width.
PageFrame frameFor(const QPageLayout& layout, int reportWidth);

} // namespace movilibro::report
