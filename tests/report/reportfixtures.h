#pragma once

#include "report/document.h"
#include "testsupport.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace movilibro::test {

struct SampleEntry
{
    QDate date;
    QString account;
    QString description;
    std::optional<qint64> in;
    std::optional<qint64> out;
};

// Six entries of 2010 on "Banca" and "Cassa": a Banca group that balances to
// zero, a Cassa quarter that goes negative, an entry without amounts.
const QList<SampleEntry>& sampleEntries();
// `count` entries spread over 2010 on three accounts.
QList<SampleEntry> manyEntries(int count);
// Writes the entries (and their accounts) into the journal in one transaction.
void fillJournal(const Journal& journal, const QList<SampleEntry>& entries);

// One line per band, "Band:text|text|...", with "#page N" before every page
// after the first; bodyOf leaves out the page markers and page headers.
QStringList describe(const report::ReportDocument& document);
QStringList bodyOf(const report::ReportDocument& document);

// A PDF file's text, a page break ('\f') after each page; the line holding
// the needle, its blanks run together.
QString pdfText(const QString& path);
QString pdfLineWith(const QString& path, const QString& needle);

} // namespace movilibro::test
