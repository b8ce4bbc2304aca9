#include "ui/import/datechoicebox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

namespace movilibro {

using statement::DateChoice;

DateChoiceBox::DateChoiceBox(const QString& namePrefix, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Data dei movimenti:"), this));
    m_booking = new QRadioButton(QStringLiteral("data &contabile"), this);
    m_booking->setObjectName(namePrefix + QStringLiteral("Contabile"));
    m_value = new QRadioButton(QStringLiteral("data &valuta"), this);
    m_value->setObjectName(namePrefix + QStringLiteral("Valuta"));
    row->addWidget(m_booking);
    row->addWidget(m_value);
    row->addStretch();
    m_booking->setChecked(true);
}

DateChoice DateChoiceBox::choice() const
{
    return m_value->isChecked() ? DateChoice::Value : DateChoice::Booking;
}

void DateChoiceBox::setChoice(DateChoice choice)
{
    (choice == DateChoice::Value ? m_value : m_booking)->setChecked(true);
}

} // namespace movilibro
