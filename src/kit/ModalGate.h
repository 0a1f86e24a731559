// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <QObject>
#include <QTimer>

namespace tarvo {

// Requests from outside the window (the session bus: the desktop's media
// controls, a second start, tarvo-add) wait while a modal window is open and
// are carried out in order once it has closed: the window's code that opened
// it must find the player as it left it.
class CModalGate : public QObject {
public:
    explicit CModalGate(QObject* parent);

    // Carries `request` out now, or once no modal window is open.
    void Run(std::function<void()> request);
    int Waiting() const { return static_cast<int>(m_waiting.size()); }
    // Carries out what waits, unless a modal window is still open; its timer
    // calls this while anything waits.
    void RunWaiting();

private:
    QTimer m_check; // runs only while something waits
    std::deque<std::function<void()>> m_waiting;
};

} // namespace tarvo
