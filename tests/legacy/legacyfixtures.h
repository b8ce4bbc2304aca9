#pragma once

#include <QString>
#include <QStringList>

namespace movilibro::test {

// The folder of old-format journals made for these tests.
QString legacyFixtures();
// legacyFixtures()/<name>.mdb
QString legacyFixture(const QString& name);

// What a fixture's .expected.json says it holds.
struct LegacyExpectation
{
    int entries = -1;
    int accounts = -1;
    int orphans = -1;
    int listed = -1;
    int nullBoth = -1;
    qint64 sumIn = -1;
    qint64 sumOut = -1;
    int layout = -1;
    int startingMonth = -1;
    int dateGrouping = -1;
};
LegacyExpectation legacyExpectation(const QString& name);

// Writes the first `size` bytes of `source` to `target`, as a copy cut short.
void writeTruncated(const QString& source, const QString& target, qint64 size);

// Names in a folder, hidden ones included, sorted.
QStringList folderContents(const QString& folder);

} // namespace movilibro::test
