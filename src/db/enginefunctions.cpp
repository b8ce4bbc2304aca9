#include "db/enginefunctions.h"

#include "db/textcollation.h"

#include "format/formatengine.h"

#include <QCollator>
#include <QLocale>

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace movilibro::db {

namespace {

int digit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Reads the fixed-width digits of an ISO date without allocating.
bool splitIsoDate(QByteArrayView t, int& y, int& m, int& d)
{
    if (t.size() != 10 || t[4] != '-' || t[7] != '-')
        return false;
    y = m = d = 0;
    for (int i : {0, 1, 2, 3}) {
        const int v = digit(t[i]);
        if (v < 0)
            return false;
        y = y * 10 + v;
    }
    for (int i : {5, 6}) {
        const int v = digit(t[i]);
        if (v < 0)
            return false;
        m = m * 10 + v;
    }
    for (int i : {8, 9}) {
        const int v = digit(t[i]);
        if (v < 0)
            return false;
        d = d * 10 + v;
    }
    return QDate::isValid(y, m, d);
}

QByteArrayView textArg(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QByteArrayView(p, sqlite3_value_bytes(v)) : QByteArrayView();
}

void resultText(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// The period keys are computed for every listed row: the three key patterns
// are written straight from the stored digits. They agree with the Format
// engine (a test compares them day by day).
bool formatDateKey(sqlite3_context* ctx, QByteArrayView iso, QByteArrayView pattern)
{
    char out[6];
    int len = 0;
    if (pattern == "yyyymm") {
        std::memcpy(out, iso.data(), 4);
        out[4] = iso[5];
        out[5] = iso[6];
        len = 6;
    } else if (pattern == "yyyyq") {
        std::memcpy(out, iso.data(), 4);
        const int month = digit(iso[5]) * 10 + digit(iso[6]);
        out[4] = char('1' + (month - 1) / 3);
        len = 5;
    } else if (pattern == "yyyy") {
        std::memcpy(out, iso.data(), 4);
        len = 4;
    } else {
        return false;
    }
    sqlite3_result_text(ctx, out, len, SQLITE_TRANSIENT);
    return true;
}

void formatFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QByteArrayView pattern = textArg(argv[1]);
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        resultText(ctx, Format::number(std::nullopt, QString::fromUtf8(pattern)));
        return;
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_value_int64(argv[0]);
        if (pattern == "0") {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
            sqlite3_result_text(ctx, digits, int(end - digits), SQLITE_TRANSIENT);
            return;
        }
        resultText(ctx, Format::number(v, QString::fromUtf8(pattern)));
        return;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_value_double(argv[0]);
        resultText(ctx, Format::number(Currency::fromRaw(qRound64(v * Currency::Scale)),
                                       QString::fromUtf8(pattern)));
        return;
    }
    default: {
        const QByteArrayView text = textArg(argv[0]);
        int y, m, d;
        if (!splitIsoDate(text, y, m, d)) {
            resultText(ctx, QString::fromUtf8(text));
            return;
        }
        if (formatDateKey(ctx, text, pattern))
            return;
        resultText(ctx, Format::date(QDate(y, m, d), QString::fromUtf8(pattern)));
        return;
    }
    }
}

void monthFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    int y, m, d;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || !splitIsoDate(textArg(argv[0]), y, m, d)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, m);
}

// A whole number as Jet's integer division takes it: numbers rounded half to
// even, numeric text read as a number. False for anything else.
bool jetWholeNumber(sqlite3_value* value, qint64& out)
{
    int type = sqlite3_value_type(value);
    if (type == SQLITE_TEXT)
        type = sqlite3_value_numeric_type(value);
    if (type == SQLITE_INTEGER) {
        out = sqlite3_value_int64(value);
        return true;
    }
    if (type != SQLITE_FLOAT)
        return false;
    const double v = sqlite3_value_double(value);
    double whole = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        whole = 2.0 * std::round(v / 2.0);
    if (!(whole >= -9223372036854775808.0 && whole < 9223372036854775808.0))
        return false;
    out = qint64(whole);
    return true;
}

// Jet's a \ b: both rounded to whole numbers, the quotient truncated.
void intDivFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
        const qint64 b = sqlite3_value_int64(argv[1]);
        if (b > 0) {
            sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) / b);
            return;
        }
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 a = 0, b = 0;
    if (!jetWholeNumber(argv[0], a) || !jetWholeNumber(argv[1], b)) {
        sqlite3_result_error(ctx, "divisione intera: valore non numerico o fuori scala", -1);
        return;
    }
    if (b == 0) {
        sqlite3_result_error(ctx, "divisione per zero", -1);
        return;
    }
    if (a == std::numeric_limits<qint64>::min() && b == -1) {
        sqlite3_result_error(ctx, "divisione intera fuori scala", -1);
        return;
    }
    sqlite3_result_int64(ctx, a / b);
}

int italianCompare(void*, int lenA, const void* a, int lenB, const void* b)
{
    static thread_local QCollator collator = textCollator();
    const QString sa = QString::fromUtf8(static_cast<const char*>(a), lenA);
    const QString sb = QString::fromUtf8(static_cast<const char*>(b), lenB);
    return collator.compare(sa, sb);
}

} // namespace

void registerEngineFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "Format", 2, flags, nullptr, formatFunction, nullptr, nullptr);
    sqlite3_create_function(db, "Month", 1, flags, nullptr, monthFunction, nullptr, nullptr);
    sqlite3_create_function(db, "jet_intdiv", 2, flags, nullptr, intDivFunction, nullptr, nullptr);
    for (const char* name : {SchemaCollation, LegacyCollation})
        sqlite3_create_collation(db, name, SQLITE_UTF8, nullptr, italianCompare);
}

QDate parseIsoDate(QByteArrayView text)
{
    int y, m, d;
    return splitIsoDate(text, y, m, d) ? QDate(y, m, d) : QDate();
}

QString isoDate(const QDate& date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

} // namespace movilibro::db
