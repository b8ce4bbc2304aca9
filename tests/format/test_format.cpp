#include "format/currency.h"
#include "format/formatengine.h"

#include <QTest>

#include <limits>

using movilibro::Currency;
using movilibro::CurrencyOverflow;
namespace Format = movilibro::Format;

Q_DECLARE_METATYPE(std::optional<movilibro::Currency>)

namespace {
constexpr qint64 MaxRaw = std::numeric_limits<qint64>::max();
constexpr qint64 MinRaw = std::numeric_limits<qint64>::min();
const QLocale It(QLocale::Italian, QLocale::Italy);
const std::optional<Currency> Null;
std::optional<Currency> amount(qint64 raw)
{
    return Currency::fromRaw(raw);
}
} // namespace

// Amounts read from text, added up, and written out through patterns; dates through patterns.
class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("raw");
        auto ok = [](const char* name, const QString& text, qint64 raw, const QLocale& l = It) {
            QTest::newRow(name) << text << l << true << raw;
        };
        auto bad = [](const char* name, const QString& text, const QLocale& l = It) {
            QTest::newRow(name) << text << l << false << qint64(0);
        };
        ok("display form", "1.234,50 ", 12345000);
        ok("four decimals", "1.234.567,8901", 12345678901);
        ok("negative", "-5,5", -55000);
        ok("largest", "922.337.203.685.477,5807", MaxRaw);
        ok("most negative", "-922337203685477,5808", MinRaw);
        ok("C locale", "1,234.50", 12345000, QLocale::c());
        ok("French plain blank group", "1 234,5", 12345000, QLocale(QLocale::French, QLocale::France));
        bad("letters after digits", "12abc");
        bad("currency sign", QStringLiteral("12,50 \u20ac"));
        bad("five decimals", "1,23456");
        bad("above largest", "922337203685477,5808");
        bad("below most negative", "-922337203685477,5809");
        bad("decimal point of another locale", "12.34");
        bad("group separator in decimals", "1,234.5");
        bad("blank inside", "1 234");
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(bool, valid);
        QFETCH(qint64, raw);
        const std::optional<Currency> parsed = Currency::parse(text, locale);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(parsed->raw(), raw);
    }

    // What the program writes (plain and through an amount box's pattern) it reads back unchanged.
    void textRoundTrip_data()
    {
        QTest::addColumn<qint64>("raw");
        QTest::addColumn<QString>("italian");
        QTest::newRow("two decimals") << qint64(12345000) << "1234,50";
        QTest::newRow("smallest negative") << qint64(-1) << "-0,0001";
        QTest::newRow("largest") << MaxRaw << "922337203685477,5807";
        QTest::newRow("most negative") << MinRaw << "-922337203685477,5808";
    }
    void textRoundTrip()
    {
        QFETCH(qint64, raw);
        QFETCH(QString, italian);
        QCOMPARE(Currency::fromRaw(raw).toString(It), italian);
        for (const QLocale& locale : {It, QLocale::c()})
            QCOMPARE(Currency::parse(Currency::fromRaw(raw).toString(locale), locale)->raw(), raw);
        if (raw % 100 == 0 && raw != MinRaw) {
            const QString shown =
                Format::number(Currency::fromRaw(raw), QStringLiteral("#,#0.00 ;-#,#0.00 ;0.00 ;0.00 "), It);
            QCOMPARE(Currency::parse(shown, It)->raw(), raw);
        }
    }

    // Sums, differences and negation stay exact or throw; they never wrap round.
    void arithmeticOverflows()
    {
        const Currency max = Currency::fromRaw(MaxRaw), min = Currency::fromRaw(MinRaw),
                       one = Currency::fromRaw(1);
        QCOMPARE((Currency::fromRaw(125000) + Currency::fromRaw(-25000)).raw(), 100000);
        QCOMPARE((Currency::fromRaw(-1) - min).raw(), MaxRaw);
        QCOMPARE((-max).raw(), MinRaw + 1);
        QCOMPARE(Currency::fromRaw(-5).abs().raw(), 5);
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, max + one);
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, max - (-one));
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, min - one);
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, Currency() - min);
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, -min);
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, min.abs());
        Currency sum = max;
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, sum += one);
        Currency difference = min;
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, difference -= one);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<std::optional<Currency>>("value");
        QTest::addColumn<QString>("expected");
        // The journal's amount and balance columns.
        const QString amounts = QStringLiteral("#,#0.00 ;-#,#0.00 ; ; ");
        const QString balance = QStringLiteral("#,##0.00 ;#,##0.00 ;0.00 ;0.00 ;");
        QTest::newRow("amount") << amounts << It << amount(12345600) << "1.234,56 ";
        QTest::newRow("zero amount is blank") << amounts << It << amount(0) << " ";
        QTest::newRow("missing amount is blank") << amounts << It << Null << " ";
        QTest::newRow("most negative") << amounts << It << amount(MinRaw) << "-922.337.203.685.477,58 ";
        QTest::newRow("half cent rounds away from zero") << amounts << It << amount(-50) << "-0,01 ";
        QTest::newRow("carry into the units") << amounts << It << amount(9999950) << "1.000,00 ";
        QTest::newRow("C locale") << amounts << QLocale::c() << amount(-12345600) << "-1,234.56 ";
        QTest::newRow("balance shows the size") << balance << It << amount(-12345600) << "1.234,56 ";
        QTest::newRow("missing balance is zero") << balance << It << Null << "0,00 ";
        QTest::newRow("whole half up") << "0" << It << amount(25000) << "3";
        QTest::newRow("one section, negative gets a minus") << "0.00" << It << amount(-50000) << "-5,00";
        QTest::newRow("empty negative section falls back") << "0.00;;z" << It << amount(-50000) << "-5,00";
        QTest::newRow("empty null section falls back") << "0.00 x;;z;" << It << Null << "0,00 x";
        QTest::newRow("literal-only section") << "0.00;-0.00;\"nulla\"" << It << amount(0) << "nulla";
        QTest::newRow("quoted semicolon") << "\"a;b\" 0" << It << amount(70000) << "a;b 7";
        QTest::newRow("more decimals than stored") << "0.000000" << It << amount(12345) << "1,234500";
        QTest::newRow("comma before point does not group") << "0,.00" << It << amount(12345600) << "1234,56";
    }
    void numbers()
    {
        QFETCH(QString, pattern);
        QFETCH(QLocale, locale);
        QFETCH(std::optional<Currency>, value);
        QFETCH(QString, expected);
        QCOMPARE(Format::number(value, pattern, locale), expected);
    }

    void dates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("day first") << QDate(2010, 3, 5) << "dd\\/mm\\/yyyy" << It << "05/03/2010";
        QTest::newRow("month first") << QDate(2017, 12, 31) << "mm\\/dd\\/yyyy" << It << "12/31/2017";
        QTest::newRow("quarter of a leap day") << QDate(2024, 2, 29) << "yyyyq" << It << "20241";
        QTest::newRow("month key") << QDate(2010, 11, 30) << "yyyymm" << It << "201011";
        QTest::newRow("long month") << QDate(2010, 3, 1) << "mmmm yyyy" << It << "marzo 2010";
        QTest::newRow("long month, C") << QDate(2010, 3, 1) << "mmmm yyyy" << QLocale::c() << "March 2010";
        QTest::newRow("day names") << QDate(2010, 3, 5) << "ddd dddd" << It << "ven venerdì";
        QTest::newRow("invalid date") << QDate() << "dd\\/mm\\/yyyy" << It << "";
    }
    void dates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, pattern);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(Format::date(date, pattern, locale), expected);
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "test_format.moc"
