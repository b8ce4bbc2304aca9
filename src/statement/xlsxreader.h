#pragma once

#include "statement/sheet.h"

#include <QByteArray>

namespace movilibro::statement {

// True when the bytes are a ZIP package holding an Office Open XML workbook.
bool isXlsxPackage(const QByteArray& bytes);

// Opens an Office Open XML workbook (.xlsx, .xlsm) held in memory; its
// sheets are read when asked for. Throws StatementError when the bytes are
// no such workbook.
std::unique_ptr<Workbook> openXlsx(const QByteArray& bytes);

} // namespace movilibro::statement
