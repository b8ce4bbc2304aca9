#include "db/periods.h"

#include "db/journaldb.h"
#include "format/formatengine.h"

namespace movilibro {

QString OrdinalName(const QString& text)
{
    static const QStringList names = {QStringLiteral("Primo"),  QStringLiteral("Secondo"),
                                      QStringLiteral("Terzo"),  QStringLiteral("Quarto"),
                                      QStringLiteral("Quinto"), QStringLiteral("Sesto")};
    if (text.size() != 1 || text[0] < u'1' || text[0] > u'6')
        return {};
    return names[text[0].unicode() - u'1'];
}

const QStringList& periodNames()
{
    static const QStringList names = {QStringLiteral("mensile"), QStringLiteral("bimestrale"),
                                      QStringLiteral("trimestrale"), QStringLiteral("quadrimestrale"),
                                      QStringLiteral("semestrale")};
    return names;
}

const QStringList& periodNouns()
{
    static const QStringList nouns = {QStringLiteral("Mese"), QStringLiteral("Bimestre"),
                                      QStringLiteral("Trimestre"), QStringLiteral("Quadrimestre"),
                                      QStringLiteral("Semestre")};
    return nouns;
}

int normalizedKind(int kind)
{
    return kind >= 0 && kind <= 4 ? kind : 0;
}

int normalizedStartingMonth(int month)
{
    return month >= 1 && month <= 12 ? month : 1;
}

int normalizedLayout(int layout)
{
    return layout >= 0 && layout <= 4 ? layout : 0;
}

DateRange fiscalYear(const QDate& workingDate, int startingMonth)
{
    const int m = normalizedStartingMonth(startingMonth);
    const int year = m > workingDate.month() ? workingDate.year() - 1 : workingDate.year();
    const QDate start(year, m, 1);
    return {start, start.addMonths(12).addDays(-1)};
}

DateRange selectedPeriod(PeriodOption option, const QDate& workingDate, const DateRange& fiscal,
                         const QDate& pickerStart, const QDate& pickerEnd)
{
    switch (option) {
    case PeriodOption::WholeYear:
        return fiscal;
    case PeriodOption::WorkingDate:
        return {workingDate, workingDate};
    case PeriodOption::CurrentMonth: {
        const QDate first(workingDate.year(), workingDate.month(), 1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case PeriodOption::FreeRange:
        return {pickerStart, pickerEnd};
    }
    return fiscal;
}

QString periodExpression(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("Format([mlData], 'yyyymm')");
    case 1:
        return QStringLiteral("Format([mlData],'yyyy') & Format(((Month([mlData])-1)\\2)+1,'0')");
    case 2:
        return QStringLiteral("Format([mlData], 'yyyyq')");
    case 3:
        return QStringLiteral("Format([mlData],'yyyy') & Format(((Month([mlData])-1)\\4)+1,'0')");
    case 4:
        return QStringLiteral("Format([mlData],'yyyy') & Format(((Month([mlData])-1)\\6)+1,'0')");
    default:
        return {};
    }
}

namespace {

QString periodCondition(const DateRange& period)
{
    return QStringLiteral(" FROM Movilibro INNER JOIN Conti ON Movilibro.mlConto = Conti.cntId") +
           QStringLiteral(" WHERE mlData Between ") + db::SqlDateLiteral(period.start) +
           QStringLiteral(" And ") + db::SqlDateLiteral(period.end);
}

} // namespace

QString listingQuery(int kind, const DateRange& period)
{
    return QStringLiteral("SELECT ") + periodExpression(normalizedKind(kind)) +
           QStringLiteral(
               " AS mlPeriodo, Conti.cntNome AS mlConto, mlData, mlDescrizione, mlEntrate, mlUscite, mlId") +
           periodCondition(period);
}

QString reportQuery(int kind, int layout, const DateRange& period)
{
    const QString expression = periodExpression(normalizedKind(kind));
    QString order;
    switch (layout) {
    case 1:
        order = expression + QStringLiteral(",");
        break;
    case 2:
        order = QStringLiteral("Conti.cntNome,");
        break;
    case 3:
        order = expression + QStringLiteral(", Conti.cntNome,");
        break;
    case 4:
        order = QStringLiteral("Conti.cntNome, ") + expression + QStringLiteral(",");
        break;
    default:
        break;
    }
    return QStringLiteral("SELECT  1 AS mlMovilibro, ") + expression +
           QStringLiteral(
               " AS mlPeriodo, Conti.cntNome AS mlConto, mlData, mlDescrizione, mlEntrate, mlUscite, "
               "iif(isnull([mlEntrate]),0,[mlEntrate])-iif(isnull([mlUscite]),0,[mlUscite]) AS mlSaldo ") +
           periodCondition(period) + QStringLiteral(" ORDER BY ") + order + QStringLiteral(" mlData");
}

QString periodCaption(const QString& key, int kind, const QLocale& locale)
{
    const int k = normalizedKind(kind);
    if (k == 0) {
        const QDate first(key.left(4).toInt(), key.right(2).toInt(), 1);
        return Format::date(first, QStringLiteral("mmmm yyyy"), locale);
    }
    return OrdinalName(key.right(1)) + u' ' + periodNouns()[k] + u' ' + key.left(4);
}

QString periodKey(const QDate& date, int kind)
{
    const QString year = Format::date(date, QStringLiteral("yyyy"));
    switch (normalizedKind(kind)) {
    case 0:
        return Format::date(date, QStringLiteral("yyyymm"));
    case 1:
        return year + Format::number(qint64((date.month() - 1) / 2 + 1), QStringLiteral("0"));
    case 2:
        return Format::date(date, QStringLiteral("yyyyq"));
    case 3:
        return year + Format::number(qint64((date.month() - 1) / 4 + 1), QStringLiteral("0"));
    default:
        return year + Format::number(qint64((date.month() - 1) / 6 + 1), QStringLiteral("0"));
    }
}

} // namespace movilibro
