// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2612.h"

#include <cmath>

namespace tarvocore {

namespace {

constexpr int kDacChannel = 5;

} // namespace

void CYm2612::Reset() {
    ResetKeepingMutes(m_channels);
    m_latchedHigh = 0;
    m_envelopeDivider = 0;
    m_envelopeCounter = 0;
    m_dacOn = false;
    m_dac = 0x80;
    m_pcm = CSharedRom{}; // the stream's data blocks fill it again
    m_pcmAt = 0;
}

void CYm2612::Mute(int channel, bool muted) {
    if (channel >= 0 && channel < kChannels) m_channels[static_cast<size_t>(channel)].muted = muted;
}

// Port 0 holds the chip's own registers (0x22 to 0x2B) and channels 1 to 3;
// port 1 channels 4 to 6. Key on (0x28) names the channel: 0 to 2, then 4 to 6.
void CYm2612::Write(int port, uint8_t reg, uint8_t value) {
    if (port == 0 && reg == 0x28) {
        const int which = value & 7;
        if ((which & 3) == 3) return;
        m_channels[static_cast<size_t>(which - (which >> 2))].Key(value);
        return;
    }
    if (port == 0 && reg == 0x2A) m_dac = value;
    if (port == 0 && reg == 0x2B) m_dacOn = (value & 0x80) != 0;
    const int index = reg & 3;
    if (reg < 0x30 || reg > 0xB6 || index == 3 || (port != 0 && port != 1)) return;
    WriteChannel(m_channels[static_cast<size_t>(port * 3 + index)], reg, value);
}

// The channel's registers of the OPN family, and its sides (0xB4: bits 7 and 6).
void CYm2612::WriteChannel(Channel& channel, uint8_t reg, uint8_t value) {
    if ((reg & 0xFC) != 0xB4) {
        channel.Write(reg, value, m_latchedHigh, Rate());
        return;
    }
    channel.left = (value & 0x80) != 0;
    channel.right = (value & 0x40) != 0;
}

void CYm2612::PlayPcmByte() {
    m_dac = m_pcmAt < m_pcm.size() ? m_pcm[m_pcmAt] : 0x80;
    ++m_pcmAt;
}

void CYm2612::NextSample(int& left, int& right) {
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (Channel& channel : m_channels)
            channel.voice.StepEnvelopes(channel.keyCode, m_envelopeCounter);
    }
    double sumLeft = 0, sumRight = 0;
    for (size_t index = 0; index < m_channels.size(); ++index) {
        Channel& channel = m_channels[index];
        const double fm =
            channel.voice.Render(channel.frequency, channel.keyCode, Rate(), 0, nullptr) * 8192;
        const double out = m_dacOn && index == kDacChannel ? (m_dac - 0x80) * 64.0 : fm;
        if (channel.muted) continue;
        if (channel.left) sumLeft += out;
        if (channel.right) sumRight += out;
    }
    left = static_cast<int>(sumLeft);
    right = static_cast<int>(sumRight);
}

} // namespace tarvocore
