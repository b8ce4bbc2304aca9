#include "statement/sheet.h"

#include <cmath>

namespace movilibro::statement {

NumberShape shapeOfFormat(QStringView code)
{
    // The general format under the name some programs write for it.
    if (code.compare(u"Standard", Qt::CaseInsensitive) == 0)
        return NumberShape::Plain;
    bool day = false, month = false, time = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (c == u'"') {
            i = code.indexOf(u'"', i + 1);
            if (i < 0)
                break;
        } else if (c == u'[') {
            // Elapsed time "[h]:mm" is a duration; colours and locales say nothing.
            const qsizetype end = code.indexOf(u']', i + 1);
            if (end < 0)
                break;
            const QString inside = code.mid(i + 1, end - i - 1).toString().toLower();
            time = time || (!inside.isEmpty() && inside.count(inside[0]) == inside.size() &&
                            QStringLiteral("hms").contains(inside[0]));
            i = end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'd' || c == u'y') {
            day = true;
        } else if (c == u'm') {
            month = true;
        } else if (c == u'h' || c == u's') {
            time = true;
        } else if (c == u';') {
            break; // the first section tells for all
        }
    }
    // "m" beside hours or seconds is minutes.
    const bool date = day || (month && !time);
    if (date)
        return time ? NumberShape::DateTime : NumberShape::Date;
    return time ? NumberShape::Time : NumberShape::Plain;
}

NumberShape SheetCell::shape() const
{
    return type == Type::Number ? shapeOfFormat(numberFormat) : NumberShape::Plain;
}

QDateTime Sheet::dateTimeOf(double serial) const
{
    // Beyond 31 December 9999 no spreadsheet shows a date.
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    const double whole = std::floor(serial);
    const int days = int(whole);
    const int seconds = int(std::lround((serial - whole) * 86400));
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days);
    else if (days == 60)
        return {}; // 29 February 1900, which the first spreadsheets believed in
    else
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days);
    // A time that rounds up to midnight is the next day's.
    return QDateTime(date.addDays(seconds / 86400), QTime(0, 0).addSecs(seconds % 86400), Qt::UTC);
}

} // namespace movilibro::statement
