// Bank statement files as anyone may hand them over: CSV and XML of any shape.
#include "statement/camtreader.h"
#include "statement/csvreader.h"
#include "statement/values.h"

#include <QLocale>

#include <cstddef>
#include <cstdint>

using namespace movilibro::statement;

namespace {

// A movement that is not refused can go into the journal as it is.
void checkWritable(const Statement& s)
{
    for (const Movement& m : s.movements) {
        if (m.isRefused())
            continue;
        if (!m.date.isValid() || m.amount.isZero() || m.description.isEmpty() || m.description.size() > 255)
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
        switch (data[0] % 3) {
        case 0:
            checkWritable(readCsv(bytes, std::nullopt, DateChoice::Booking));
            break;
        case 1:
            checkWritable(readCamt053(bytes, DateChoice::Value));
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
