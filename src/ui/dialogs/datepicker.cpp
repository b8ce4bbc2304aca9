#include "ui/dialogs/datepicker.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace movilibro {

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    lineEdit()->installEventFilter(this);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress)
        m_clicked = true;
    return QDateEdit::eventFilter(watched, event);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (m_clicked && text.size() == 1 && text.front().isDigit())
        setSelectedSection(DaySection);
    m_clicked = false;
    QDateEdit::keyPressEvent(event);
}

} // namespace movilibro
