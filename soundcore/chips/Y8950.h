// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/AdpcmB.h"
#include "chips/OplChip.h"

#include <cstdint>

namespace tarvocore {

// Yamaha's Y8950 (MSX-AUDIO), on Konami's and others' boards: the YM3526's
// nine FM channels (on the OPL emulator) and an ADPCM-B channel from a
// sample ROM, its addresses in units of 32 bytes, its delta-N counted at the
// FM's rate. Its ADPCM registers (0x07 control, 0x09 to 0x0C start and
// stop, 0x10 and 0x11 delta-N, 0x12 level) are the ADPCM's; 0x08 is both's.
class CY8950 {
public:
    static constexpr int kFmChannels = 9;

    CY8950();
    void Reset();
    void SetClock(uint32_t clock) { m_fm.SetClock(clock); }
    double Rate() const { return m_fm.Rate(); }
    void Write(uint8_t reg, uint8_t value);
    // Voices: the nine FM channels, then the ADPCM.
    void Mute(int voice, bool muted);
    // The next sample, left and right: a full FM carrier gives 8192 (twice
    // the OPL emulator's own), and so does the ADPCM at full scale and level.
    void NextSample(int& left, int& right);
    CSharedRom& AdpcmRom() { return m_adpcm.Rom(); }

private:
    COplChip m_fm;
    CAdpcmB m_adpcm{5};
};

} // namespace tarvocore
