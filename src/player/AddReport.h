// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tarvo {

// What `tarvo-add --report` said of the inputs it was given: the game each
// became (its short name and the clip to play first), and the inputs it
// refused, with why.
struct AddReport {
    struct Game {
        std::string romName;
        int clip = 0;
    };
    struct Refusal {
        std::string input;
        std::string reason;
    };
    std::vector<Game> games;
    std::vector<Refusal> refused;

    // Reads the report's lines out of everything the tool wrote; other lines
    // are its words for a person and are passed over.
    static AddReport Read(const std::string& output);
    // A message naming each refused input and why, or "" when none was.
    std::string RefusalText() const;
};

} // namespace tarvo
