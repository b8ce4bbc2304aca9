#include "format/formatengine.h"

#include <QTest>

#include <limits>

using movilibro::Currency;
namespace Format = movilibro::Format;

namespace {

constexpr qint64 MaxRaw = std::numeric_limits<qint64>::max();
constexpr qint64 MinRaw = std::numeric_limits<qint64>::min();

// The patterns the program uses, as it writes them.
const QString Amount = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
const QString Balance = QStringLiteral("#,##0.00 ;#,##0.00 ;0.00 ;0.00 ;");
const QString Caption = QStringLiteral("#,#0.00;-#,#0.00;0.00 ;0.00");
const QString ReportBalance = QStringLiteral("#,##0.00;#,##0.00;0.00;0.00");
const QString AmountBox = QStringLiteral("#,#0.00 ;-#,#0.00 ;0.00 ;0.00 ");
const QString Whole = QStringLiteral("0");

QLocale italian()
{
    return QLocale(QLocale::Italian, QLocale::Italy);
}

std::optional<Currency> amount(qint64 raw)
{
    return Currency::fromRaw(raw);
}

} // namespace

Q_DECLARE_METATYPE(std::optional<movilibro::Currency>)

class TestFormatEngine : public QObject
{
    Q_OBJECT

private slots:
    void programPatterns_data();
    void programPatterns();
    void sectionRules_data();
    void sectionRules();
    void wholeNumbers_data();
    void wholeNumbers();
    void dates_data();
    void dates();
};

void TestFormatEngine::programPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<std::optional<Currency>>("value");
    QTest::addColumn<QString>("expected");

    const QLocale it = italian();
    const QLocale c = QLocale::c();
    const std::optional<Currency> null;

    QTest::newRow("amount positive") << Amount << it << amount(12345600) << "1.234,56 ";
    QTest::newRow("amount negative") << Amount << it << amount(-12345600) << "-1.234,56 ";
    QTest::newRow("amount zero") << Amount << it << amount(0) << " ";
    QTest::newRow("amount null") << Amount << it << null << " ";
    QTest::newRow("amount small") << Amount << it << amount(5000) << "0,50 ";
    QTest::newRow("amount millions") << Amount << it << amount(12345678000) << "1.234.567,80 ";
    QTest::newRow("amount exact thousand") << Amount << it << amount(10000000) << "1.000,00 ";
    QTest::newRow("amount largest") << Amount << it << amount(MaxRaw) << "922.337.203.685.477,58 ";
    QTest::newRow("amount most negative") << Amount << it << amount(MinRaw) << "-922.337.203.685.477,58 ";
    QTest::newRow("amount half cent up") << Amount << it << amount(50) << "0,01 ";
    QTest::newRow("amount half cent down") << Amount << it << amount(-50) << "-0,01 ";
    QTest::newRow("amount under half cent") << Amount << it << amount(49) << "0,00 ";
    QTest::newRow("amount tiny negative") << Amount << it << amount(-1) << "-0,00 ";
    QTest::newRow("amount carry into units") << Amount << it << amount(9999950) << "1.000,00 ";
    QTest::newRow("amount C positive") << Amount << c << amount(12345600) << "1,234.56 ";
    QTest::newRow("amount C negative") << Amount << c << amount(-12345600) << "-1,234.56 ";
    QTest::newRow("amount C zero") << Amount << c << amount(0) << " ";
    QTest::newRow("amount C null") << Amount << c << null << " ";
    QTest::newRow("amount C largest") << Amount << c << amount(MaxRaw) << "922,337,203,685,477.58 ";

    QTest::newRow("balance positive") << Balance << it << amount(12345600) << "1.234,56 ";
    QTest::newRow("balance negative") << Balance << it << amount(-12345600) << "1.234,56 ";
    QTest::newRow("balance zero") << Balance << it << amount(0) << "0,00 ";
    QTest::newRow("balance null") << Balance << it << null << "0,00 ";
    QTest::newRow("balance most negative") << Balance << it << amount(MinRaw) << "922.337.203.685.477,58 ";
    QTest::newRow("balance half cent down") << Balance << it << amount(-50) << "0,01 ";
    QTest::newRow("balance C negative") << Balance << c << amount(-12345600) << "1,234.56 ";
    QTest::newRow("balance C zero") << Balance << c << amount(0) << "0.00 ";

    QTest::newRow("caption positive") << Caption << it << amount(12345600) << "1.234,56";
    QTest::newRow("caption negative") << Caption << it << amount(-12345600) << "-1.234,56";
    QTest::newRow("caption zero") << Caption << it << amount(0) << "0,00 ";
    QTest::newRow("caption null") << Caption << it << null << "0,00";
    QTest::newRow("caption C negative") << Caption << c << amount(-12345600) << "-1,234.56";

    QTest::newRow("report balance negative") << ReportBalance << it << amount(-12345600) << "1.234,56";
    QTest::newRow("report balance zero") << ReportBalance << it << amount(0) << "0,00";
    QTest::newRow("report balance null") << ReportBalance << it << null << "0,00";
    QTest::newRow("report balance rounding") << ReportBalance << it << amount(12345650) << "1.234,57";
    QTest::newRow("report balance C") << ReportBalance << c << amount(12345600) << "1,234.56";

    QTest::newRow("amount box positive") << AmountBox << it << amount(12345000) << "1.234,50 ";
    QTest::newRow("amount box negative") << AmountBox << it << amount(-50000) << "-5,00 ";
    QTest::newRow("amount box zero") << AmountBox << it << amount(0) << "0,00 ";
    QTest::newRow("amount box null") << AmountBox << it << null << "0,00 ";
    QTest::newRow("amount box C") << AmountBox << c << amount(12345000) << "1,234.50 ";

    QTest::newRow("whole positive") << Whole << it << amount(12340000) << "1234";
    QTest::newRow("whole half up") << Whole << it << amount(25000) << "3";
    QTest::newRow("whole half down") << Whole << it << amount(-25000) << "-3";
    QTest::newRow("whole under half") << Whole << it << amount(4999) << "0";
    QTest::newRow("whole zero") << Whole << it << amount(0) << "0";
    QTest::newRow("whole null") << Whole << it << null << "";
    QTest::newRow("whole largest") << Whole << it << amount(MaxRaw) << "922337203685478";
}

void TestFormatEngine::programPatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QLocale, locale);
    QFETCH(std::optional<Currency>, value);
    QFETCH(QString, expected);

    QCOMPARE(Format::number(value, pattern, locale), expected);
}

void TestFormatEngine::sectionRules_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<std::optional<Currency>>("value");
    QTest::addColumn<QString>("expected");

    const std::optional<Currency> null;
    QTest::newRow("one section, negative gets a minus") << "0.00" << amount(-50000) << "-5,00";
    QTest::newRow("one section, zero") << "0.00" << amount(0) << "0,00";
    QTest::newRow("one section, null is empty") << "0.00" << null << "";
    QTest::newRow("two sections, zero uses positive") << "0.00;(0.00)" << amount(0) << "0,00";
    QTest::newRow("two sections, negative own") << "0.00;(0.00)" << amount(-50000) << "(5,00)";
    QTest::newRow("empty negative falls back") << "0.00;;z" << amount(-50000) << "-5,00";
    QTest::newRow("empty zero falls back") << "0.00 x;;;n" << amount(0) << "0,00 x";
    QTest::newRow("empty null falls back") << "0.00 x;;z;" << null << "0,00 x";
    QTest::newRow("blank zero section is a blank") << "0.00;-0.00; " << amount(0) << " ";
    QTest::newRow("literal-only section") << "0.00;-0.00;\"nulla\"" << amount(0) << "nulla";
    QTest::newRow("escaped literal") << "\\E 0.00" << amount(12345) << "E 1,23";
    QTest::newRow("quoted semicolon") << "\"a;b\" 0" << amount(70000) << "a;b 7";
    QTest::newRow("optional decimals trimmed") << "0.0#" << amount(15000) << "1,5";
    QTest::newRow("optional decimals kept") << "0.0#" << amount(12340) << "1,23";
    QTest::newRow("no integer digit required") << "#.##" << amount(5000) << ",5";
    QTest::newRow("more decimals than stored") << "0.000000" << amount(12345) << "1,234500";
    QTest::newRow("minimum integer digits") << "000" << amount(70000) << "007";
    QTest::newRow("comma before point does not group") << "0,.00" << amount(12345600) << "1234,56";
    QTest::newRow("grouping with zeros") << "#,##0" << amount(12345678900000) << "1.234.567.890";
}

void TestFormatEngine::sectionRules()
{
    QFETCH(QString, pattern);
    QFETCH(std::optional<Currency>, value);
    QFETCH(QString, expected);

    QCOMPARE(Format::number(value, pattern, italian()), expected);
}

void TestFormatEngine::wholeNumbers_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("period number") << qint64(4) << Whole << "4";
    QTest::newRow("zero") << qint64(0) << Whole << "0";
    QTest::newRow("negative") << qint64(-12) << Whole << "-12";
    QTest::newRow("period key") << qint64(201003) << Whole << "201003";
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << Whole << "9223372036854775807";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << Whole << "-9223372036854775808";
    QTest::newRow("grouped") << qint64(1234567) << QStringLiteral("#,##0") << "1.234.567";
    QTest::newRow("with decimals") << qint64(-7) << Caption << "-7,00";
}

void TestFormatEngine::wholeNumbers()
{
    QFETCH(qint64, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);

    QCOMPARE(Format::number(value, pattern, italian()), expected);
}

void TestFormatEngine::dates_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    const QLocale it = italian();
    const QLocale c = QLocale::c();
    const QString dayFirst = QStringLiteral("dd\\/mm\\/yyyy");
    const QString monthFirst = QStringLiteral("mm\\/dd\\/yyyy");

    QTest::newRow("day first") << QDate(2010, 3, 5) << dayFirst << it << "05/03/2010";
    QTest::newRow("month first") << QDate(2010, 3, 5) << monthFirst << it << "03/05/2010";
    QTest::newRow("month first, year end") << QDate(2017, 12, 31) << monthFirst << it << "12/31/2017";
    QTest::newRow("month first, C") << QDate(2024, 3, 5) << monthFirst << c << "03/05/2024";
    QTest::newRow("leap day") << QDate(2024, 2, 29) << dayFirst << it << "29/02/2024";
    QTest::newRow("leap day, quarter") << QDate(2024, 2, 29) << "yyyyq" << it << "20241";
    QTest::newRow("leap day, month key") << QDate(2024, 2, 29) << "yyyymm" << it << "202402";
    QTest::newRow("short month") << QDate(2010, 1, 15) << "mmm yyyy" << it << "gen 2010";
    QTest::newRow("short month, December") << QDate(2010, 12, 31) << "mmm yyyy" << it << "dic 2010";
    QTest::newRow("short month, C") << QDate(2010, 1, 15) << "mmm yyyy" << c << "Jan 2010";
    QTest::newRow("long month") << QDate(2010, 3, 1) << "mmmm yyyy" << it << "marzo 2010";
    QTest::newRow("long month, C") << QDate(2010, 3, 1) << "mmmm yyyy" << c << "March 2010";
    QTest::newRow("month key") << QDate(2010, 3, 5) << "yyyymm" << it << "201003";
    QTest::newRow("month key, November") << QDate(2010, 11, 30) << "yyyymm" << it << "201011";
    QTest::newRow("year") << QDate(2010, 3, 5) << "yyyy" << it << "2010";
    QTest::newRow("early year padded") << QDate(987, 6, 1) << "yyyy" << it << "0987";
    QTest::newRow("short forms") << QDate(2005, 3, 7) << "d/m/yy" << it << "7/3/05";
    QTest::newRow("day names") << QDate(2010, 3, 5) << "ddd dddd" << it << "ven venerdì";
    QTest::newRow("invalid date") << QDate() << dayFirst << it << "";
    for (int month = 1; month <= 12; ++month) {
        const QString expected = QStringLiteral("2010%1").arg((month - 1) / 3 + 1);
        QTest::addRow("quarter of month %d", month) << QDate(2010, month, 1) << "yyyyq" << it << expected;
    }
}

void TestFormatEngine::dates()
{
    QFETCH(QDate, date);
    QFETCH(QString, pattern);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);

    QCOMPARE(Format::date(date, pattern, locale), expected);
}

QTEST_GUILESS_MAIN(TestFormatEngine)
#include "test_formatengine.moc"
