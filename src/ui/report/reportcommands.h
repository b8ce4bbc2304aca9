#pragma once

#include "report/reportcontext.h"
#include "report/reportsetup.h"

class QWidget;

namespace movilibro::report {

class arpSchede;
class ReportPreview;

// The "print" command: opens the report's preview (a window of its own,
// deleted when closed). Returns it, or nullptr after telling the user why
// the report could not be made.
ReportPreview* printPreview(QWidget* parent, const ReportContext& context);

// The "export" command: asks for a file (in the last export's folder, named
// for the period) and writes the report there as PDF, or the entries as CSV
// or as an Excel workbook.
// False when cancelled or failed (the user has been told why).
bool exportPdfCommand(QWidget* parent, const ReportContext& context);

} // namespace movilibro::report
