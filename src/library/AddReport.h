// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <string>
#include <vector>

namespace tarvo {

// What `tarvo-add --report` says of the inputs it was given: the game each
// became (its short name, the archive that holds it, and the clip to play
// first), the clip information
// of each game it added (its clips' titles and marks, as the clip data file
// holds them: the one way titles reach the program that asked), and the
// inputs it refused, with why.
//
// The report carries raw paths, archive member names and tags, any byte of
// which a stranger may choose; so each record is three fields, each ended by
// a NUL byte, the one byte no path or name can hold. The channel holds
// nothing else: tarvo-add sends its words for a person elsewhere.
struct AddReport {
    struct Game {
        std::string romName;
        std::string archivePath; // "" from a tarvo-add that did not say
        int clip = 0;
    };
    struct Refusal {
        std::string input;
        std::string reason;
    };
    std::vector<Game> games;
    std::string clipData; // in the clip data file's form, every game's together
    std::vector<Refusal> refused;

    // The records as tarvo-add writes them.
    static std::string GameRecord(const std::string& romName, const std::string& archivePath,
                                  int clip);
    static std::string ClipDataRecord(const std::string& romName, const std::string& lines);
    static std::string RefusalRecord(const std::string& input, const std::string& reason);
    // Reads the records out of the report channel; a cut or unknown record is
    // passed over.
    static AddReport Read(const std::string& output);

    // Keeps only the refusals of inputs the caller handed over.
    void KeepRefusalsOf(const std::set<std::string>& inputs);
    // A message naming each refused input and why, or "" when none was.
    std::string RefusalText() const;
};

} // namespace tarvo
