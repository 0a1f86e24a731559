// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace tarvo {

// The window icon's five animations, by icon number: running (0), appearing
// from a puff of smoke (1, then running), seated (2), asleep (3) and the
// blinking recording dot (4).
class CIconSequences {
public:
    static constexpr int kProgramIcon = 100;

    CIconSequences();
    // Sequences outside 0 to 4 are ignored.
    void Select(int sequence);
    // The icon to show now; the frame after it becomes current.
    int Advance();
    int CurrentSequence() const { return m_sequence; }
    // Every icon any sequence shows, once each.
    std::vector<int> Icons() const;

private:
    struct Frame {
        int icon;
        int next;         // index in the sequence, -1 at its end
        int thenSequence; // where to go after the end
    };
    std::vector<std::vector<Frame>> m_sequences;
    int m_sequence = 3;
    int m_frame = 0;
};

} // namespace tarvo
