// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/Song.h"

#include <string>
#include <vector>

namespace compose {

// A four-channel ProTracker module ("M.K."): a square lead, a triangle bass
// and a noise drum, drawn here as samples. Each song is a run of patterns
// ending with a jump back to its own start, so a player finds every song as
// a subsong; their names stand in the sample texts, as trackers' authors
// write them ("1: Harbour Lights").
class ModuleBuilder {
public:
    explicit ModuleBuilder(std::string title) : m_title(std::move(title)) {}
    void AddTune(LeadAndBass tune) { m_tunes.push_back(std::move(tune)); }
    Bytes Finish(const std::string& author) const;

private:
    std::string m_title;
    std::vector<LeadAndBass> m_tunes; // a row a step, 64 rows a pattern
};

} // namespace compose
