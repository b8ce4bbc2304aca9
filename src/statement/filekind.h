#pragma once

#include <QByteArray>
#include <QString>

namespace movilibro::statement {

// What a file is, told by its content whatever its name says.
enum class FileKind
{
    Text, // a table of text: CSV and the like
    Xlsx,
    Xls,
    Ofx,
    Camt052,
    Camt053,
    Camt054,
    // Kinds that are no statement the program reads.
    OtherXml,
    Pdf,
    Qif,
    Mt940,
    Html,
    Ods,
    Xlsb,
    SpreadsheetXml, // Excel 2003 XML
    OtherZip
};

FileKind kindOf(const QByteArray& bytes);

// Why a file of this kind is refused, naming what it seems to be; empty for
// the kinds that are read. `shownName` is the file as the user knows it.
QString refusalOf(FileKind kind, const QString& shownName);

} // namespace movilibro::statement
