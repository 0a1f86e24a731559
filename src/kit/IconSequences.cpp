// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/IconSequences.h"

#include <algorithm>

namespace tarvo {

CIconSequences::CIconSequences() {
    m_sequences = {
        {{114, 1, 0}, {113, 2, 0}, {115, 3, 0}, {113, -1, 0}},
        {{117, 1, 0}, {118, 2, 0}, {119, 3, 0}, {120, 4, 0}, {121, 5, 0}, {122, -1, 0}},
        {{123, -1, 2}},
        {{124, -1, 3}},
        {{157, 1, 4}, {159, -1, 4}},
    };
}

void CIconSequences::Select(int sequence) {
    if (sequence < 0 || sequence >= static_cast<int>(m_sequences.size())) return;
    m_sequence = sequence;
    m_frame = 0;
}

std::vector<int> CIconSequences::Icons() const {
    std::vector<int> icons;
    for (const auto& sequence : m_sequences)
        for (const Frame& frame : sequence)
            if (std::find(icons.begin(), icons.end(), frame.icon) == icons.end())
                icons.push_back(frame.icon);
    return icons;
}

int CIconSequences::Advance() {
    const Frame& frame = m_sequences[m_sequence][m_frame];
    const int icon = frame.icon;
    if (frame.next >= 0) {
        m_frame = frame.next;
    } else {
        m_sequence = frame.thenSequence;
        m_frame = 0;
    }
    return icon;
}

} // namespace tarvo
