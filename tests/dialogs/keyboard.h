#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace movilibro::test {

// Keys go where the user's keys would: to the widget with the focus.
inline QWidget* focused()
{
    return QApplication::focusWidget();
}
inline QString focusedName()
{
    return focused() ? focused()->objectName() : QString();
}
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, modifiers);
}
inline void type(const QString& text)
{
    QTest::keyClicks(focused(), text);
}
template <typename T> T* control(QWidget& dialog, const QString& name)
{
    return dialog.findChild<T*>(name);
}

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

} // namespace movilibro::test
