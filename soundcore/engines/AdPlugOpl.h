// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/ChipResampler.h"
#include "chips/OplChip.h"

#include <adplug/opl.h>
#include <cstdint>
#include <vector>

namespace tarvocore {

// The OPL chip AdPlug's players write to: the Nuked OPL3 emulator, the most
// exact of those AdPlug ships, run at the chip's own rate (49.7 kHz) and
// brought to 44.1 kHz by libsoxr, in stereo. Its mix is taken before the
// emulator clips it and scaled with headroom, so a loud passage keeps its
// peaks where AdPlug's 16-bit emulators flatten them.
//
// An OPL2 it is, until a player selects the second register set (an OPL3's,
// or a second OPL2's, which the OPL3's second half plays).
class CAdPlugOpl : public Copl {
public:
    // The channels a song is told it has: a muted one is muted on both halves.
    static constexpr int kChannels = 9;
    static constexpr int kOutputRate = 44100;

    CAdPlugOpl();

    void write(int reg, int val) override;
    void setchip(int n) override;
    void init() override;
    // Runs the chip for `frames` output frames; what it sounds comes out of
    // the resampler after its short delay (Ready).
    void Run(int frames);
    size_t Ready() const { return m_resampler.Ready(); }
    // Takes `frames` of the sound ready, as 16-bit stereo.
    void Take(int16_t* stereo, int frames);
    void Mute(const std::vector<bool>& muted);

private:
    COplChip m_chip;
    CChipResampler m_resampler;
    int m_chipRate = 0;
    long m_outputFrames = 0; // run so far, and the chip's samples for them
    long m_chipSamples = 0;
};

} // namespace tarvocore
