#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace movilibro::test {

// Reads CSV as a spreadsheet would: ';' between fields, records ending in
// CRLF, quoted fields holding quotes (doubled), ';' and line breaks. The
// text must start with a UTF-8 byte-order mark; without one the result is
// empty.
QList<QStringList> readCsv(const QByteArray& bytes);

} // namespace movilibro::test
