// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/OpnFm.h"

#include <cstddef>

namespace tarvocore {

void COpnFm::Reset() {
    ResetKeepingMutes(m_channels);
    m_latchedHigh = 0;
    m_envelopeDivider = 0;
    m_envelopeCounter = 0;
}

void COpnFm::Mute(int channel, bool muted) {
    if (channel >= 0 && channel < kChannels) m_channels[static_cast<size_t>(channel)].muted = muted;
}

void COpnFm::Write(int port, uint8_t reg, uint8_t value, double rate) {
    if (port == 0 && reg == 0x28) {
        const int which = value & 7;
        if ((which & 3) != 3) m_channels[static_cast<size_t>(which - (which >> 2))].Key(value);
        return;
    }
    const int index = reg & 3;
    if (reg < 0x30 || reg > 0xB6 || index == 3 || (port != 0 && port != 1)) return;
    Channel& channel = m_channels[static_cast<size_t>(port * 3 + index)];
    if ((reg & 0xFC) != 0xB4) {
        channel.Write(reg, value, m_latchedHigh, rate);
        return;
    }
    channel.left = (value & 0x80) != 0; // 0xB4 to 0xB6: the sides, bits 7 and 6
    channel.right = (value & 0x40) != 0;
}

void COpnFm::NextSample(double rate, double& left, double& right, int replaced,
                        double replacement) {
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (Channel& channel : m_channels)
            channel.voice.StepEnvelopes(channel.keyCode, m_envelopeCounter);
    }
    left = right = 0;
    for (int index = 0; index < kChannels; ++index) {
        Channel& channel = m_channels[static_cast<size_t>(index)];
        const double fm =
            channel.voice.Render(channel.frequency, channel.keyCode, rate, 0, nullptr);
        const double out = index == replaced ? replacement : fm * 8192;
        if (channel.muted) continue;
        if (channel.left) left += out;
        if (channel.right) right += out;
    }
}

} // namespace tarvocore
