// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace tarvocore {

// Work on a thread of its own, for the caller's thread to look in on without
// waiting; the destructor waits for its end.
class CBackgroundJob {
public:
    explicit CBackgroundJob(std::function<void()> work)
        : m_thread([this, work = std::move(work)] {
              work();
              m_done.store(true, std::memory_order_release);
          }) {}
    ~CBackgroundJob() { Wait(); }
    CBackgroundJob(const CBackgroundJob&) = delete;
    CBackgroundJob& operator=(const CBackgroundJob&) = delete;

    bool Done() const { return m_done.load(std::memory_order_acquire); }
    void Wait() {
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread; // last: it starts once the flag is made
};

} // namespace tarvocore
