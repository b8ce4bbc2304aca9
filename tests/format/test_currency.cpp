#include "format/currency.h"
#include "format/formatengine.h"

#include <QTest>

#include <limits>

using movilibro::Currency;
using movilibro::CurrencyOverflow;

namespace {

constexpr qint64 MaxRaw = std::numeric_limits<qint64>::max();
constexpr qint64 MinRaw = std::numeric_limits<qint64>::min();

QLocale italian()
{
    return QLocale(QLocale::Italian, QLocale::Italy);
}

} // namespace

class TestCurrency : public QObject
{
    Q_OBJECT

private slots:
    void parseAccepts_data();
    void parseAccepts();
    void parseRejects_data();
    void parseRejects();
    void toString_data();
    void toString();
    void parseReadsItsOwnText_data();
    void parseReadsItsOwnText();
    void parseReadsDisplayedAmounts();
    void arithmetic_data();
    void arithmetic();
    void negationAndMagnitude_data();
    void negationAndMagnitude();
};

void TestCurrency::parseAccepts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("raw");

    const QLocale it = italian();
    QTest::newRow("grouped with decimals") << "1.234,50" << it << qint64(12345000);
    QTest::newRow("display form, trailing blank") << "1.234,50 " << it << qint64(12345000);
    QTest::newRow("surrounding blanks") << "  12 " << it << qint64(120000);
    QTest::newRow("no-break blanks") << QStringLiteral("\u00a012,5\u00a0") << it << qint64(125000);
    QTest::newRow("tab around") << "\t7\t" << it << qint64(70000);
    QTest::newRow("ungrouped") << "1234" << it << qint64(12340000);
    QTest::newRow("two groups, four decimals") << "1.234.567,8901" << it << qint64(12345678901);
    QTest::newRow("smallest step") << "0,0001" << it << qint64(1);
    QTest::newRow("zero") << "0" << it << qint64(0);
    QTest::newRow("minus zero") << "-0,00" << it << qint64(0);
    QTest::newRow("negative") << "-5,5" << it << qint64(-55000);
    QTest::newRow("negative grouped") << "-1.234,5" << it << qint64(-12345000);
    QTest::newRow("plus sign") << "+3" << it << qint64(30000);
    QTest::newRow("no integer digits") << ",5" << it << qint64(5000);
    QTest::newRow("no decimal digits") << "5," << it << qint64(50000);
    QTest::newRow("leading zeros") << "007,10" << it << qint64(71000);
    QTest::newRow("largest") << "922.337.203.685.477,5807" << it << MaxRaw;
    QTest::newRow("most negative") << "-922337203685477,5808" << it << MinRaw;
    QTest::newRow("C locale grouped") << "1,234.50" << QLocale::c() << qint64(12345000);
    QTest::newRow("C locale negative") << "-0.25" << QLocale::c() << qint64(-2500);
    // French groups with a narrow no-break space; a typed plain blank stands for it.
    const QLocale fr(QLocale::French, QLocale::France);
    QTest::newRow("French plain blank group") << "1 234,5" << fr << qint64(12345000);
    QTest::newRow("French own group sign") << QStringLiteral("1\u202f234,5") << fr << qint64(12345000);
}

void TestCurrency::parseAccepts()
{
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(qint64, raw);

    const std::optional<Currency> parsed = Currency::parse(text, locale);
    QVERIFY(parsed.has_value());
    QCOMPARE(parsed->raw(), raw);
}

void TestCurrency::parseRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");

    const QLocale it = italian();
    QTest::newRow("empty") << "" << it;
    QTest::newRow("blanks only") << "   " << it;
    QTest::newRow("letters") << "abc" << it;
    QTest::newRow("digits then letters") << "12abc" << it;
    QTest::newRow("currency sign") << QStringLiteral("12,50 \u20ac") << it;
    QTest::newRow("exponent") << "1e5" << it;
    QTest::newRow("hex") << "0x10" << it;
    QTest::newRow("five decimals") << "1,23456" << it;
    QTest::newRow("five zero decimals") << "1,00000" << it;
    QTest::newRow("above largest") << "922337203685477,5808" << it;
    QTest::newRow("below most negative") << "-922337203685477,5809" << it;
    QTest::newRow("far too large") << "99999999999999999999" << it;
    QTest::newRow("sign alone") << "-" << it;
    QTest::newRow("separator alone") << "," << it;
    QTest::newRow("double sign") << "--1" << it;
    QTest::newRow("sign after digits") << "5-" << it;
    QTest::newRow("blank after sign") << "- 5" << it;
    QTest::newRow("two decimal separators") << "1,2,3" << it;
    QTest::newRow("decimal point of another locale") << "12.34" << it;
    QTest::newRow("short group") << "1.23" << it;
    QTest::newRow("long group") << "1.2345" << it;
    QTest::newRow("long first group") << "1234.567" << it;
    QTest::newRow("leading group separator") << ".234" << it;
    QTest::newRow("doubled group separator") << "1..234" << it;
    QTest::newRow("group separator before decimals") << "1.,5" << it;
    QTest::newRow("group separator in decimals") << "1,234.5" << it;
    QTest::newRow("blank inside") << "1 234" << it;
    QTest::newRow("Arabic digits") << QStringLiteral("\u0661\u0662") << it;
    QTest::newRow("C locale, Italian text") << "1.234,50" << QLocale::c();
}

void TestCurrency::parseRejects()
{
    QFETCH(QString, text);
    QFETCH(QLocale, locale);

    const std::optional<Currency> parsed = Currency::parse(text, locale);
    QVERIFY2(!parsed.has_value(), qPrintable(QStringLiteral("parsed as %1").arg(parsed ? parsed->raw() : 0)));
}

void TestCurrency::toString_data()
{
    QTest::addColumn<qint64>("raw");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    const QLocale it = italian();
    QTest::newRow("two decimals") << qint64(12345000) << it << "1234,50";
    QTest::newRow("zero") << qint64(0) << it << "0,00";
    QTest::newRow("three decimals") << qint64(12340) << it << "1,234";
    QTest::newRow("four decimals") << qint64(12345) << it << "1,2345";
    QTest::newRow("smallest negative") << qint64(-1) << it << "-0,0001";
    QTest::newRow("negative whole") << qint64(-70000) << it << "-7,00";
    QTest::newRow("largest") << MaxRaw << it << "922337203685477,5807";
    QTest::newRow("most negative") << MinRaw << it << "-922337203685477,5808";
    QTest::newRow("C locale") << qint64(12345000) << QLocale::c() << "1234.50";
}

void TestCurrency::toString()
{
    QFETCH(qint64, raw);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);

    QCOMPARE(Currency::fromRaw(raw).toString(locale), expected);
}

void TestCurrency::parseReadsItsOwnText_data()
{
    QTest::addColumn<qint64>("raw");
    for (const qint64 raw :
         {qint64(0), qint64(1), qint64(-1), qint64(12345678), qint64(-98765432100), MaxRaw, MinRaw})
        QTest::newRow(qPrintable(QString::number(raw))) << raw;
}

void TestCurrency::parseReadsItsOwnText()
{
    QFETCH(qint64, raw);

    for (const QLocale& locale : {italian(), QLocale::c()}) {
        const std::optional<Currency> back = Currency::parse(Currency::fromRaw(raw).toString(locale), locale);
        QVERIFY(back.has_value());
        QCOMPARE(back->raw(), raw);
    }
}

// An amount box shows its value through the display pattern and must read
// the shown text back as the same amount.
void TestCurrency::parseReadsDisplayedAmounts()
{
    const QString pattern = QStringLiteral("#,#0.00 ;-#,#0.00 ;0.00 ;0.00 ");
    for (const qint64 raw : {qint64(0), qint64(12345000), qint64(-12345000), qint64(9999999999900)}) {
        const QString shown = movilibro::Format::number(Currency::fromRaw(raw), pattern, italian());
        const std::optional<Currency> back = Currency::parse(shown, italian());
        QVERIFY2(back.has_value(), qPrintable(shown));
        QCOMPARE(back->raw(), raw);
    }
}

void TestCurrency::arithmetic_data()
{
    QTest::addColumn<qint64>("a");
    QTest::addColumn<QChar>("op");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("sum") << qint64(125000) << QChar(u'+') << qint64(-25000) << false << qint64(100000);
    QTest::newRow("difference") << qint64(125000) << QChar(u'-') << qint64(225000) << false
                                << qint64(-100000);
    QTest::newRow("up to the largest") << MaxRaw - 1 << QChar(u'+') << qint64(1) << false << MaxRaw;
    QTest::newRow("past the largest") << MaxRaw << QChar(u'+') << qint64(1) << true << qint64(0);
    QTest::newRow("past the largest by subtraction")
        << MaxRaw << QChar(u'-') << qint64(-1) << true << qint64(0);
    QTest::newRow("down to the most negative") << MinRaw + 1 << QChar(u'-') << qint64(1) << false << MinRaw;
    QTest::newRow("past the most negative") << MinRaw << QChar(u'-') << qint64(1) << true << qint64(0);
    QTest::newRow("past the most negative by addition")
        << MinRaw << QChar(u'+') << qint64(-1) << true << qint64(0);
    QTest::newRow("largest plus most negative") << MaxRaw << QChar(u'+') << MinRaw << false << qint64(-1);
    QTest::newRow("zero minus most negative") << qint64(0) << QChar(u'-') << MinRaw << true << qint64(0);
    QTest::newRow("minus one minus most negative") << qint64(-1) << QChar(u'-') << MinRaw << false << MaxRaw;
    QTest::newRow("largest minus largest") << MaxRaw << QChar(u'-') << MaxRaw << false << qint64(0);
    QTest::newRow("most negative minus largest") << MinRaw << QChar(u'-') << MaxRaw << true << qint64(0);
}

void TestCurrency::arithmetic()
{
    QFETCH(qint64, a);
    QFETCH(QChar, op);
    QFETCH(qint64, b);
    QFETCH(bool, overflows);
    QFETCH(qint64, expected);

    const Currency x = Currency::fromRaw(a);
    const Currency y = Currency::fromRaw(b);
    auto apply = [&] { return op == u'+' ? x + y : x - y; };
    auto applyInPlace = [&] {
        Currency z = x;
        return op == u'+' ? (z += y) : (z -= y);
    };
    if (overflows) {
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, apply());
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, applyInPlace());
    } else {
        QCOMPARE(apply().raw(), expected);
        QCOMPARE(applyInPlace().raw(), expected);
    }
}

void TestCurrency::negationAndMagnitude_data()
{
    QTest::addColumn<qint64>("raw");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<qint64>("negated");
    QTest::addColumn<qint64>("magnitude");

    QTest::newRow("positive") << qint64(5) << false << qint64(-5) << qint64(5);
    QTest::newRow("negative") << qint64(-5) << false << qint64(5) << qint64(5);
    QTest::newRow("zero") << qint64(0) << false << qint64(0) << qint64(0);
    QTest::newRow("largest") << MaxRaw << false << MinRaw + 1 << MaxRaw;
    QTest::newRow("most negative") << MinRaw << true << qint64(0) << qint64(0);
}

void TestCurrency::negationAndMagnitude()
{
    QFETCH(qint64, raw);
    QFETCH(bool, overflows);
    QFETCH(qint64, negated);
    QFETCH(qint64, magnitude);

    const Currency value = Currency::fromRaw(raw);
    if (overflows) {
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, -value);
        QVERIFY_THROWS_EXCEPTION(CurrencyOverflow, value.abs());
    } else {
        QCOMPARE((-value).raw(), negated);
        QCOMPARE(value.abs().raw(), magnitude);
    }
}

QTEST_GUILESS_MAIN(TestCurrency)
#include "test_currency.moc"
