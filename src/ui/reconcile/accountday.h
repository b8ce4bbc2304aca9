#pragma once

#include "format/currency.h"

#include <QDate>
#include <QString>

#include <optional>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QWidget;

namespace movilibro {

class DatePicker;

// The account and day the reconciliation and cash-count windows work on.
struct AccountDay
{
    QComboBox* cboConto;
    DatePicker* datData;

    // Adds the two controls with their labels to the first row of `grid`.
    AccountDay(QWidget* parent, QGridLayout* grid);
    // Lists the journal's accounts and chooses `accountId` (or the first);
    // false, after telling the user, when they cannot be read.
    bool fill(QWidget* parent, qint64 accountId, const QDate& day);
    qint64 accountId() const;
    QString accountName() const;
    QDate day() const;
};

// An amount typed the Italian way ("-1.234,56"), rounded to four decimals.
std::optional<Currency> typedAmount(const QLineEdit* box);
QLineEdit* amountBox(const QString& name, QWidget* parent);

} // namespace movilibro
