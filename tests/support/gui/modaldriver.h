#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace movilibro::test {

// Drives the next modal dialog: runs the steps once it is shown and active,
// and closes it if it is still open after the time limit, so no test hangs.
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
    QTimer m_limit;
    bool m_ran = false;
    bool m_timedOut = false;
};

} // namespace movilibro::test
