#pragma once

#include <QDateEdit>

namespace movilibro {

// The dialogs' date picker: dd/MM/yyyy with a calendar, and Tab leaves it
// (as the other controls) instead of walking its day, month and year.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr) : QDateEdit(parent)
    {
        setCalendarPopup(true);
        setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    }

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

} // namespace movilibro
