#include "modaldriver.h"

#include <QApplication>
#include <QTest>

namespace movilibro::test {

ModalDriver::ModalDriver(std::function<void(QDialog&)> steps, int limitMs) : m_steps(std::move(steps))
{
    m_poll.setInterval(5);
    connect(&m_poll, &QTimer::timeout, this, &ModalDriver::poll);
    m_poll.start();
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &ModalDriver::giveUp);
    m_limit.start(limitMs);
}

void ModalDriver::poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible())
        return;
    m_poll.stop();
    const auto focusInside = [dialog] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == dialog || dialog->isAncestorOf(focus));
    };
    if (!QTest::qWaitFor(focusInside, 500)) {
        // Another window's late activation can still win the first race.
        dialog->activateWindow();
        if (!QTest::qWaitFor(focusInside, 2000))
            qWarning("the dialog was shown but never took the focus");
    }
    m_ran = true;
    m_steps(*dialog);
}

void ModalDriver::giveUp()
{
    m_poll.stop();
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        m_timedOut = true;
        dialog->done(QDialog::Rejected);
    }
}

} // namespace movilibro::test
