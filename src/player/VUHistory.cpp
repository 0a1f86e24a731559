// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/VUHistory.h"

namespace tarvo {

void CVUHistory::Reset() {
    m_left.fill(0);
    m_right.fill(0);
    m_read = 0;
    m_write = kDelay;
}

void CVUHistory::Store(int left, int right) {
    m_left[m_write] = left;
    m_right[m_write] = right;
}

void CVUHistory::Advance(int& left, int& right) {
    left = m_left[m_read];
    right = m_right[m_read];
    m_left[m_read] = m_right[m_read] = 0;
    m_read = (m_read + 1) % kSlots;
    m_write = (m_write + 1) % kSlots;
}

} // namespace tarvo
