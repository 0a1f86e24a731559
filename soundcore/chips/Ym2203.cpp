// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2203.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

void CYm2203::Reset() {
    ResetKeepingMutes(m_fm);
    m_latchedHigh = 0;
    m_envelopeDivider = 0;
    m_envelopeCounter = 0;
    m_ssg.Reset();
}

void CYm2203::Mute(int voice, bool muted) {
    if (voice >= 0 && voice < kFmChannels) m_fm[static_cast<size_t>(voice)].muted = muted;
    if (voice >= kFmChannels) m_ssg.Mute(voice - kFmChannels, muted);
}

void CYm2203::Write(uint8_t reg, uint8_t value) {
    if (reg < 0x10)
        m_ssg.Write(reg, value);
    else
        WriteFm(reg, value);
}

// The FM part's registers: key on (0x28, its low two bits the channel),
// then each channel's (the low two bits of the register the channel).
void CYm2203::WriteFm(uint8_t reg, uint8_t value) {
    if (reg == 0x28) {
        if ((value & 3) != 3) m_fm[value & 3].Key(value);
        return;
    }
    if ((reg & 3) != 3 && reg >= 0x30 && reg <= 0xB2)
        m_fm[static_cast<size_t>(reg & 3)].Write(reg, value, m_latchedHigh, Rate());
}

int CYm2203::NextSample() {
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (OpnChannel& channel : m_fm)
            channel.voice.StepEnvelopes(channel.keyCode, m_envelopeCounter);
    }
    double sum = m_ssg.NextSample();
    for (OpnChannel& channel : m_fm) {
        const double out =
            channel.voice.Render(channel.frequency, channel.keyCode, Rate(), 0, nullptr);
        if (!channel.muted) sum += out * 8192;
    }
    return static_cast<int>(sum);
}

} // namespace tarvocore
