#include "modaldriver.h"

#include <QAbstractButton>
#include <QKeySequence>

namespace movilibro::test {

ModalDriver::ModalDriver(std::function<void(QDialog&)> steps, int limitMs) : m_steps(std::move(steps))
{
    m_poll.setInterval(5);
    connect(&m_poll, &QTimer::timeout, this, &ModalDriver::poll);
    m_poll.start();
    QTimer::singleShot(limitMs, this, &ModalDriver::giveUp);
}

void ModalDriver::poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible())
        return;
    m_poll.stop();
    // A dialog the program reuses may still hold the focus its last opening
    // left: the focus counts once the dialog is the active window again.
    const auto focusInside = [dialog] {
        QWidget* focus = QApplication::focusWidget();
        return QApplication::activeWindow() == dialog && focus &&
               (focus == dialog || dialog->isAncestorOf(focus));
    };
    dialog->activateWindow(); // another window's late activation can win the first race
    if (!QTest::qWaitFor(focusInside, 2500))
        QTest::qFail("the dialog was shown but never took the focus", __FILE__, __LINE__);
    m_ran = true;
    m_steps(*dialog);
}

void ModalDriver::giveUp()
{
    m_poll.stop();
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        m_timedOut = true;
        QTest::qFail("the dialog was still open after the time limit", __FILE__, __LINE__);
        dialog->done(QDialog::Rejected);
    }
}

void play(QDialog& dialog, const QString& script)
{
    for (const QString& step : script.split(u'|', Qt::SkipEmptyParts)) {
        const QString name = step.mid(1, step.size() - 2);
        const QKeySequence key = QKeySequence::fromString(name, QKeySequence::PortableText);
        if (step == u"<Close>")
            dialog.close();
        else if (!step.startsWith(u'<'))
            type(step);
        else if (auto* button = dialog.findChild<QAbstractButton*>(name))
            click(button);
        else if (key.count() == 1 && key[0].key() != Qt::Key_unknown)
            press(key[0].key(), key[0].keyboardModifiers());
        else
            QTest::qFail(qPrintable(QStringLiteral("no key or button ") + step), __FILE__, __LINE__);
    }
}

} // namespace movilibro::test
