// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/AdpcmA.h"
#include "chips/AdpcmB.h"
#include "chips/Ay8910.h"
#include "chips/OpnFm.h"

#include <cstdint>

namespace tarvocore {

// Yamaha's YM2610 (OPNB) of the Neo Geo and Taito's boards, and the YM2610B:
// FM channels on the OPN's operators (four on the YM2610, the second, third,
// fifth and sixth; all six on the B), an SSG (an AY-3-8910 on a quarter of
// the clock), six ADPCM-A channels and an ADPCM-B channel, each ADPCM from a
// ROM of its own. A sample every 144 clocks (55.6 kHz at 8 MHz); ADPCM-A
// steps every third. Port 0: the SSG (0x00 to 0x0F), ADPCM-B (0x10 to 0x1C),
// key on and channels 1 to 3; port 1: ADPCM-A (0x00 to 0x2F), channels 4 to 6.
class CYm2610 {
public:
    static constexpr int kSsgChannels = CAy8910::kChannels;
    static constexpr int kAdpcmAChannels = CAdpcmA::kChannels;

    CYm2610() { SetClock(8000000); }
    // The YM2610B, with all six FM channels.
    void SetModelB(bool b) { m_modelB = b; }
    int FmChannels() const { return m_modelB ? COpnFm::kChannels : 4; }
    void Reset();
    void SetClock(uint32_t clock) {
        m_clock = clock;
        m_ssg.SetClock(clock / 4.0, Rate());
    }
    double Rate() const { return m_clock / 144.0; }
    void Write(int port, uint8_t reg, uint8_t value);
    // Voices: the FM channels, the SSG's three, ADPCM-A's six, then ADPCM-B.
    void Mute(int voice, bool muted);
    // The next sample, left and right: a carrier at full level gives 8192,
    // and so does either ADPCM at full scale and level.
    void NextSample(int& left, int& right);

    CSharedRom& AdpcmARom() { return m_adpcmA.Rom(); }
    CSharedRom& AdpcmBRom() { return m_adpcmB.Rom(); }

private:
    // The FM channel (0 to 5) of voice `fm`: the YM2610 lacks the first of each bank.
    int FmChannelOf(int fm) const { return m_modelB ? fm : fm + 1 + fm / 2; }
    bool HasFmChannel(int channel) const { return m_modelB || channel % 3 != 0; }
    void WriteFm(int port, uint8_t reg, uint8_t value);

    uint32_t m_clock = 0;
    bool m_modelB = false;
    COpnFm m_fm;
    CAy8910 m_ssg;
    CAdpcmA m_adpcmA;
    CAdpcmB m_adpcmB{8};
    int m_adpcmADivider = 0;
    double m_adpcmALeft = 0, m_adpcmARight = 0; // held between its steps
};

} // namespace tarvocore
