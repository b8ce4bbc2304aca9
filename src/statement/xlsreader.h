#pragma once

#include "statement/sheet.h"

#include <QByteArray>

namespace movilibro::statement {

// True when the bytes begin as an OLE2 compound document, the container of
// Excel 97-2003 workbooks (and of other Office files).
bool isCompoundDocument(const QByteArray& bytes);

// Opens an Excel 97-2003 workbook (.xls) held in memory. Dates come as
// serial numbers of the 1900 base, whatever base the file keeps. Throws
// StatementError when the bytes are no readable workbook.
std::unique_ptr<Workbook> openXls(const QByteArray& bytes);

} // namespace movilibro::statement
