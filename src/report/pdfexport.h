#pragma once

#include "report/reportpages.h"

#include <QString>

#include <memory>

namespace movilibro::report {

class Report;

// Reads the report's records and plans its pages for `frame`, turning the
// failures into ReportError (records that cannot be read, amounts that
// overflow).
ReportPages preparePages(Report& report, const PageFrame& frame);
// The same over records already read.
ReportPages preparePages(Report& report, std::shared_ptr<const RecordSource> records, const PageFrame& frame);
// For the PDF page (A4).
ReportPages preparePdf(Report& report);

// Lays out and writes the pages to `path` one after another, as
// ExportTarget writes: a failure leaves an earlier regular file as it was
// and no partial file behind. Throws ReportError.
void writePdf(ReportPages& pages, const QString& path);

// preparePdf() then writePdf().
void exportPdf(Report& report, const QString& path);

} // namespace movilibro::report
