#pragma once

#include "charts/chartkind.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace movilibro::cli {

// A command line that cannot be followed (exit status 2).
struct UsageError
{
    QString message;
};

// Work that could not be done (exit status 1).
struct Failure
{
    QString message;
};

// What the command line asks for, read and checked.
struct Request
{
    QString importFile, pdfFile, csvFile, xlsxFile, chartFile, restoreFile, dbFolder, statementFile, account,
        iban, sheet, balanceAccount;
    std::optional<charts::ChartKind> chart;
    std::optional<QDate> from, to, at;
    std::optional<int> layout;
    std::optional<QString> search;
    bool help = false;
    bool version = false;

    bool exports() const
    {
        return !pdfFile.isEmpty() || !csvFile.isEmpty() || !xlsxFile.isEmpty() || !chartFile.isEmpty();
    }
    bool anyTask() const
    {
        return !importFile.isEmpty() || !restoreFile.isEmpty() || !statementFile.isEmpty() || exports() ||
               !balanceAccount.isEmpty();
    }
    bool periodOptions() const { return from || to || layout || search; }
};

// Throws UsageError for options that are unknown, repeated, malformed or
// that do not go together.
Request readRequest(const QStringList& arguments);
QString helpText();

} // namespace movilibro::cli
