#pragma once

#include "statement/statement.h"

#include <QByteArray>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace movilibro::statement {

// One record of a CSV file: its cells, and the 1-based line it starts on.
struct CsvRecord
{
    int line = 0;
    QStringList cells;
};

// Splits CSV text into records: fields in double quotes may hold the
// separator, line breaks and doubled quotes. At most `limit` records.
std::vector<CsvRecord> splitRecords(QStringView text, QChar separator, int limit = -1);

// The role a header cell names ("Data valuta", "Uscite", "Importo (€)"...),
// Ignored when its words say nothing.
ColumnRole roleOfHeader(const QString& header);

// Reads a CSV statement, guessing its layout unless one is given.
Statement readCsv(const QByteArray& bytes, const std::optional<CsvLayout>& given, DateChoice choice);

} // namespace movilibro::statement
