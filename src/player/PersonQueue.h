// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>

namespace tarvo {

// What needs a person (a message box, a picker) and comes of the core's
// messages or of the timer's tick waits here until the window's event loop
// can do it: a box opened inside the tick would stop the tick, and the sound
// and the meters with it. Asked at any other time (a user's command), it is
// done at once.
class CPersonQueue {
public:
    // `wake` asks the window to call Serve from its event loop.
    explicit CPersonQueue(std::function<void()> wake) : m_wake(std::move(wake)) {}

    void Ask(std::function<void()> action);
    // Does what waits, each once and one at a time: a box that runs an event
    // loop does not let the next one open over it.
    void Serve();
    bool Waiting() const { return !m_waiting.empty(); }

    // While one lives, the engine reacts to the core or the timer.
    class Reacting {
    public:
        explicit Reacting(CPersonQueue& queue) : m_queue(queue) { ++m_queue.m_reacting; }
        ~Reacting() { --m_queue.m_reacting; }
        Reacting(const Reacting&) = delete;
        Reacting& operator=(const Reacting&) = delete;

    private:
        CPersonQueue& m_queue;
    };

private:
    std::function<void()> m_wake;
    std::deque<std::function<void()>> m_waiting;
    int m_reacting = 0;
    bool m_serving = false;
};

} // namespace tarvo
