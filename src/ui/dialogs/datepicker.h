#pragma once

#include <QDateEdit>

namespace movilibro {

// The program's date picker: dd/MM/yyyy with a calendar; Tab leaves it (as
// the other controls) instead of walking its day, month and year, and digits
// typed after a click write a new date from the day on, wherever the click
// put the cursor.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_clicked = false;
};

} // namespace movilibro
