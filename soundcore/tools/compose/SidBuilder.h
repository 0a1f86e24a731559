// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/Song.h"

#include <string>
#include <vector>

namespace compose {

// A PSID file for the Commodore 64 whose player, a few dozen bytes of 6502
// code assembled here, plays two SID voices: a pulse lead and a triangle
// bass. Each tune is a subtune; its steps loop from its end to its start.
class SidBuilder {
public:
    SidBuilder(std::string name, std::string author, std::string released);
    void AddTune(LeadAndBass tune) { m_tunes.push_back(std::move(tune)); }
    Bytes Finish() const;

    static constexpr int kFramesPerSecond = 50; // a PAL machine's screen refresh

private:
    std::string m_name, m_author, m_released;
    std::vector<LeadAndBass> m_tunes;
};

} // namespace compose
