// Bank statement files as anyone may hand them over: CSV, XML, spreadsheets
// and OFX of any shape.
#include "statement/camtreader.h"
#include "statement/csvreader.h"
#include "statement/filekind.h"
#include "statement/ofxreader.h"
#include "statement/sheettable.h"
#include "statement/values.h"
#include "statement/xlsreader.h"
#include "statement/xlsxreader.h"

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

// Every sheet of a workbook reads as rows of text, none longer than the sheet is wide.
void readSheets(Workbook& book)
{
    for (int i = 0; i < book.sheetNames().size(); ++i) {
        if (!book.hasData(i))
            continue;
        for (const SheetLine& line : textRowsOf(book.sheet(i))) {
            if (line.line < 1 || line.cells.size() > 16384)
                __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        switch (data[0] % 7) {
        case 0:
            checkWritable(readCsv(bytes, std::nullopt, DateChoice::Booking));
            break;
        case 1:
            checkWritable(readCamt053(bytes, DateChoice::Value));
            break;
        case 3:
            if (kindOf(bytes) == FileKind::Text && !refusalOf(FileKind::Text, {}).isEmpty())
                __builtin_trap();
            break;
        case 4:
            readSheets(*openXlsx(bytes));
            break;
        case 5:
            readSheets(*openXls(bytes));
            break;
        case 6:
            for (const OfxAccount& account : readOfx(bytes)) {
                for (const OfxTransaction& t : account.transactions) {
                    if (t.date.isValid() && t.date.year() < 1900)
                        __builtin_trap();
                }
            }
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
