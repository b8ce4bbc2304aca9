#include "statement/notices.h"

#include <QLocale>

#include <algorithm>

namespace movilibro::statement {

namespace {

QString day(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

// "dicembre 2025", "2025", or "dal 01/07/2025 al 30/06/2026".
QString periodName(const DateRange& p)
{
    const bool fromFirst = p.start.day() == 1;
    if (fromFirst && p.end == p.start.addMonths(1).addDays(-1))
        return QLocale(QLocale::Italian, QLocale::Italy).standaloneMonthName(p.start.month()).toLower() +
               u' ' + QString::number(p.start.year());
    if (fromFirst && p.start.month() == 1 && p.end == QDate(p.start.year(), 12, 31))
        return QString::number(p.start.year());
    if (p.start == p.end)
        return day(p.start);
    return QStringLiteral("dal %1 al %2").arg(day(p.start), day(p.end));
}

} // namespace

QString currencyNotice(const Statement& statement)
{
    const QString code = statement.foreignCurrency();
    return code.isEmpty() ? QString()
                          : QStringLiteral("importi in %1, importati senza conversione").arg(code);
}

QString possibleRepeatNote(const Movement& movement)
{
    if (!movement.possibleRepeat)
        return {};
    return QStringLiteral("possibile doppione di «%1» del %2")
        .arg(movement.possibleRepeat->description, day(movement.possibleRepeat->date));
}

QString outsidePeriodNotice(const std::vector<QDate>& written, const DateRange& shown)
{
    std::vector<QDate> outside;
    std::copy_if(written.begin(), written.end(), std::back_inserter(outside),
                 [&](const QDate& d) { return d < shown.start || d > shown.end; });
    if (outside.empty())
        return {};
    const auto [first, last] = std::minmax_element(outside.begin(), outside.end());
    const QString dates = *first == *last ? QStringLiteral("del %1").arg(day(*first))
                                          : QStringLiteral("dal %1 al %2").arg(day(*first), day(*last));
    const bool one = outside.size() == 1;
    return (one ? QStringLiteral("1 movimento importato (%1) è fuori").arg(dates)
                : QStringLiteral("%1 movimenti importati (%2) sono fuori").arg(outside.size()).arg(dates)) +
           QStringLiteral(" dal periodo visualizzato (%1): per %2 cambiare la data di lavoro in Preferenze.")
               .arg(periodName(shown), one ? QStringLiteral("vederlo") : QStringLiteral("vederli"));
}

} // namespace movilibro::statement
