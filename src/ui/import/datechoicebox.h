#pragma once

#include "statement/statement.h"

#include <QWidget>

class QRadioButton;

namespace movilibro {

// Booking or value date, offered when a statement has both.
class DateChoiceBox : public QWidget
{
    Q_OBJECT
public:
    DateChoiceBox(const QString& namePrefix, QWidget* parent);
    statement::DateChoice choice() const;
    void setChoice(statement::DateChoice choice);

private:
    QRadioButton* m_booking;
    QRadioButton* m_value;
};

} // namespace movilibro
