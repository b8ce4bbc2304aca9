#pragma once

#include "format/currency.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

namespace movilibro::Format {

// Four-section number patterns: "positive;negative;zero;empty". Digit
// placeholders '#' and '0', ',' between placeholders for grouping, '.' for the
// decimal point, any other character literal ('\' makes the next one literal).
// Separators come from the locale (1.234,56 under Italian settings). With a
// negative section the magnitude is shown. An empty section (nothing between
// semicolons) uses the positive one, as zero does without a zero section and
// a negative value, with a minus, without a negative one; a null value
// without a fourth section gives the empty text. The zero section is for an
// exact zero; rounding is half away from zero.
QString number(std::optional<Currency> value, const QString& pattern, const QLocale& locale = QLocale());
QString number(qint64 value, const QString& pattern, const QLocale& locale = QLocale());

// Date patterns: d, dd, m, mm, mmm, mmmm, yy, yyyy, q ("yyyyq" is year and
// quarter digit); '\' makes the next character literal, '/' is written as is.
// Month names come from the locale ("mmm yyyy" gives "gen 2010" in Italian).
QString date(const QDate& value, const QString& pattern, const QLocale& locale = QLocale());

} // namespace movilibro::Format
