#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// The texts of a statement: decoded, cleaned, fitted to the journal.
namespace movilibro::statement {

// Blanks trimmed and runs of blanks made one.
QString collapsedBlanks(QStringView text);
// Control characters dropped (tabs and line breaks become blanks), text
// decoded twice ("CaffÃ¨") mended, blanks collapsed.
QString cleanText(QStringView text);
// Text safe to print on a terminal: control characters shown as "?".
QString printable(QStringView text);
// Cut to the journal's description size, with "…" as the last character
// when something was cut.
QString fittedDescription(const QString& text);
// What two descriptions are compared by: case, accents and blanks aside.
QString comparableDescription(QStringView text);
// The same for the cells of a header, blank cells at its end dropped.
QStringList comparableHeader(QStringList cells);

// The bytes as text: UTF-8 (a byte order mark dropped; a few stray bytes
// read as Windows-1252), UTF-16 with its mark, anything else as
// Windows-1252. Control characters but tabs and line breaks are dropped.
// `encoding` gets the name used.
QString decodeText(const QByteArray& bytes, QByteArray* encoding = nullptr);
// Decoding with a known encoding ("UTF-8", "UTF-16LE/BE" or "Windows-1252").
QString decodeAs(const QByteArray& bytes, const QByteArray& encoding);

} // namespace movilibro::statement
