// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PersonQueue.h"

namespace tarvo {

void CPersonQueue::Ask(std::function<void()> action) {
    if (m_reacting == 0 && !m_serving) {
        action();
        return;
    }
    m_waiting.push_back(std::move(action));
    if (m_reacting > 0 && m_wake) m_wake();
}

void CPersonQueue::Serve() {
    if (m_serving) return;
    m_serving = true;
    while (!m_waiting.empty()) {
        const std::function<void()> action = std::move(m_waiting.front());
        m_waiting.pop_front();
        action();
    }
    m_serving = false;
}

} // namespace tarvo
