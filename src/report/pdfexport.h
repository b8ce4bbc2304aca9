#pragma once

#include "report/document.h"

#include <QPageLayout>
#include <QString>

namespace movilibro::report {

class Report;

// Runs the report for the PDF page (A4). Throws ReportError when the records
// cannot be read or the amounts overflow.
ReportDocument runForPdf(Report& report);

// Writes the pages to `path` as ExportTarget writes: a failure leaves an
// earlier regular file as it was and no partial file behind. Throws
// ReportError.
void writePdf(const ReportDocument& document, const QString& path);

// runForPdf() then writePdf().
void exportPdf(Report& report, const QString& path);

// Lays the report out for `frame`, turning its failures into ReportError.
ReportDocument runReport(Report& report, const PageFrame& frame);

} // namespace movilibro::report
