#pragma once

#include "report/document.h"
#include "report/records.h"
#include "testsupport.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace movilibro::test {

struct SampleEntry
{
    QDate date;
    QString account;
    QString description;
    std::optional<qint64> in;
    std::optional<qint64> out;
};

// Six entries of 2010 on the accounts "Banca" and "Cassa": a group of Banca
// that balances to zero, a quarter of Cassa that goes negative, an entry
// without amounts.
const QList<SampleEntry>& sampleEntries();
// `count` entries spread over 2010 on three accounts.
QList<SampleEntry> manyEntries(int count);

// The records the report query gives for the entries: period keys of the
// kind, in the order of the grouping layout.
report::RecordTable reportRecords(const QList<SampleEntry>& entries, int kind, int layout);

// Writes the entries (and their accounts) into the journal in one transaction.
void fillJournal(const Journal& journal, const QList<SampleEntry>& entries);

// One line per band, "Band:text|text|...", with "#page N" before every page
// after the first.
QStringList describe(const report::ReportDocument& document);
QString describe(const report::PlacedBand& band);
// The bands without the page markers and page headers.
QStringList bodyOf(const report::ReportDocument& document);

// Text and page count of a PDF file through poppler's tools.
QString pdfText(const QString& path);
int pdfPages(const QString& path);

// Test classes of this executable register themselves for main().
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& testRegistry();
bool registerTest(TestFactory factory);

} // namespace movilibro::test

#define MOVILIBRO_REGISTER_TEST(Class)                                                                       \
    static const bool registered##Class =                                                                    \
        movilibro::test::registerTest([] { return std::make_unique<Class>(); })
