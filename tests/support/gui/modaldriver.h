#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

namespace movilibro::test {

// Drives the next modal dialog: runs the steps once it is shown and holds the
// focus. The test fails if the dialog never takes the focus or is still open
// after the time limit (then it is closed, so no test hangs). A command that
// must open no dialog is run under a driver whose steps reject it: ran() false.
class ModalDriver : public QObject
{
    Q_OBJECT
public:
    explicit ModalDriver(std::function<void(QDialog&)> steps, int limitMs = 15000);

    bool ran() const { return m_ran; }
    bool timedOut() const { return m_timedOut; }

private:
    void poll();
    void giveUp();

    std::function<void(QDialog&)> m_steps;
    QTimer m_poll;
    bool m_ran = false;
    bool m_timedOut = false;
};

// Keys go where the user's keys would: to the widget with the focus.
inline QString focusedName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
inline void type(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}
inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}
template <typename T> T* control(QWidget& dialog, const QString& name)
{
    return dialog.findChild<T*>(name);
}
// Plays "|"-separated steps in a dialog: <Key> presses the key of that name
// (<Return>, <Tab>, <Esc>, <Shift+Ins>...), <name> clicks the button of that name, <Close>
// tries the close box; anything else is typed.
void play(QDialog& dialog, const QString& script);

} // namespace movilibro::test
