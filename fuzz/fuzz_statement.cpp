// Bank statement files as anyone may hand them over: CSV, XML, spreadsheets
// and OFX of any shape.
#include "statement/camtreader.h"
#include "statement/csvreader.h"
#include "statement/filekind.h"
#include "statement/ofxreader.h"
#include "statement/sheettable.h"
#include "statement/text.h"
#include "statement/values.h"
#include "statement/xlsreader.h"
#include "statement/xlsxreader.h"

#include <QLocale>

#include <algorithm>

#include <cstddef>
#include <cstdint>

using namespace movilibro::statement;

namespace {

bool hasControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

// A movement that is not refused can go into the journal as it is.
void checkWritable(const Statement& s)
{
    for (const Movement& m : s.movements) {
        if (m.isRefused())
            continue;
        if (!m.date.isValid() || m.amount.isZero() || m.description.isEmpty() || m.description.size() > 255 ||
            m.amount > LargestAmount || m.amount < -LargestAmount || hasControl(m.description) ||
            m.account < 0 || size_t(m.account) >= s.accounts.size())
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        switch (data[0] % 8) {
        case 0:
            checkWritable(readCsv(bytes, ReadOptions{}));
            break;
        case 3:
            // Texts from any bytes carry no control character.
            if (hasControl(cleanText(decodeText(bytes))))
                __builtin_trap();
            break;
        case 1:
            checkWritable(readCamt(bytes, DateChoice::Value));
            break;
        case 4:
            // Whatever the kind, a refusal names it or the file is read.
            if (kindOf(bytes) == FileKind::Text && !refusalOf(FileKind::Text, {}).isEmpty())
                __builtin_trap();
            break;
        case 5:
            checkWritable(readSpreadsheet(*openXlsx(bytes), Statement::Kind::Xlsx, ReadOptions{}));
            break;
        case 6:
            checkWritable(readSpreadsheet(*openXls(bytes), Statement::Kind::Xls, ReadOptions{}));
            break;
        case 7:
            checkWritable(readOfxStatement(bytes));
            break;
        default: {
            // An amount accepted reads back the same from its Italian form.
            const AmountValue v = readAmount(QString::fromUtf8(bytes), u',');
            if (v.amount &&
                readAmount(v.amount->toString(QLocale(QLocale::Italian, QLocale::Italy)), u',').amount !=
                    v.amount)
                __builtin_trap();
            break;
        }
        }
    } catch (const StatementError&) {
    }
    return 0;
}
