// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace tarvo {

// Delays the level reports by 25 timer ticks (750 ms), so the meters move
// with what is heard rather than with what was just rendered.
class CVUHistory {
public:
    static constexpr int kSlots = 50;
    static constexpr int kDelay = 25;

    CVUHistory() { Reset(); }
    void Reset();
    // The last report within one tick wins.
    void Store(int left, int right);
    // Takes the delayed levels, clears their slots and moves both indices on.
    void Advance(int& left, int& right);

private:
    std::array<int, kSlots> m_left{};
    std::array<int, kSlots> m_right{};
    int m_read = 0;
    int m_write = kDelay;
};

} // namespace tarvo
