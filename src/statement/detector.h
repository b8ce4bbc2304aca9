#pragma once

#include "statement/table.h"

namespace movilibro::statement {

// How one row's amount is read: the columns that carry it and how.
struct AmountColumns
{
    qsizetype amount = -1, credit = -1, debit = -1, sign = -1;
    QChar decimal = u',';
    AmountSign amountSign = AmountSign::PositiveIn;

    static AmountColumns of(const QList<ColumnRole>& roles, QChar decimal, AmountSign sign);
    // The row's amount with its direction, or why it cannot be read.
    std::optional<Currency> read(const QStringList& cells, QString* refusal = nullptr) const;
};

// What the cells under a header say of its columns.
struct DetectedColumns
{
    QList<ColumnRole> roles;
    QChar decimal = u',';
    DateOrder dateOrder = DateOrder::DayMonth;
    AmountSign amountSign = AmountSign::PositiveIn;
    QString undecided; // why the user has to say which column is the amount, or its sign
};

// The roles the header names, checked against the rows under it (from
// `first` on): a date column of no dates is dropped, a running balance is
// never an amount, missing roles are taken from columns whose cells leave no
// doubt, and what the cells leave open is said in `undecided`.
DetectedColumns detectColumns(const QStringList& headers, const Table& rows, size_t first);

// The cell, trimmed; empty past the row's end.
QString cellOf(const QStringList& cells, qsizetype col);

} // namespace movilibro::statement
