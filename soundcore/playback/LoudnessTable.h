// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/LoudnessMeter.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tarvocore {

// Which tune a measure is of: a game's clip, and the CRC-32 of the file it
// plays, so a game's files replaced are measured again.
struct TuneKey {
    std::string game;
    int clip = 0;
    uint32_t fileCrc = 0;
    auto operator<=>(const TuneKey&) const = default;
};

// The tunes' measured loudness, kept in a file so that a tune is measured
// once. The file is only ever added to, a line at a time in one write, so
// two programs keeping measures in it lose nothing of each other's, and a
// later line of a tune counts over an earlier one. Lines it cannot read are
// passed over: the measure is made again. Caller's thread only.
class CLoudnessTable {
public:
    // A file grown past this is read that far and no longer added to.
    static constexpr long long kMostFileBytes = 16ll << 20;
    static constexpr size_t kLongestLine = 512;

    // Reads what the file holds; empty: nothing is kept between runs.
    void Open(const std::string& path);
    bool IsOpen() const { return m_opened; }
    std::optional<TuneLoudness> Find(const TuneKey& key) const;
    // Kept here, and in the file when there is one; false when the file
    // could not take it (the measure is then made again in another run).
    bool Keep(const TuneKey& key, const TuneLoudness& loudness);

private:
    void ReadLine(const std::string& line);
    bool Append(const std::string& line) const;

    bool m_opened = false;
    std::string m_path;
    bool m_full = false;
    std::map<TuneKey, TuneLoudness> m_tunes;
};

} // namespace tarvocore
