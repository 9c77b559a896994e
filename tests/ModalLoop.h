#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Drives a window that runs a modal loop of its own (a modal dialog, a tool button's menu):
// `start` opens it and returns only once it has closed; `act` runs on it as soon as `find`
// sees it shown and active, so that keys and focus reach it. Returns whether it showed. A
// window that never becomes active is acted on after five seconds all the same, and a window
// `act` leaves open is closed, so no test ever waits on a modal loop for good.
inline bool actWhileShown(const std::function<QWidget *()> &find, const std::function<void(QWidget &)> &act,
                          const std::function<void()> &start)
{
    bool shown = false;
    QDeadlineTimer activation;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *window = find();
        if (!window || !window->isVisible())
            return;
        if (!shown) {
            shown = true;
            activation.setRemainingTime(5000);
        }
        if (!window->isActiveWindow() && !activation.hasExpired())
            return;
        poll.stop();
        act(*window);
        if (window->isVisible())
            window->close();
    });
    poll.start();
    start();
    return shown;
}
