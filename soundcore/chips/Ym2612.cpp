// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2612.h"

#include <cmath>

namespace tarvocore {

namespace {

constexpr int kDacChannel = 5;

} // namespace

void CYm2612::Reset() {
    for (Channel& channel : m_channels) {
        const bool muted = channel.muted;
        channel = Channel{};
        channel.muted = muted;
    }
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
        auto& ops = m_channels[static_cast<size_t>(which - (which >> 2))].voice.ops;
        for (int place = 0; place < 4; ++place)
            ops[static_cast<size_t>(place)].Key((value >> (4 + place)) & 1);
        return;
    }
    if (port == 0 && reg == 0x2A) m_dac = value;
    if (port == 0 && reg == 0x2B) m_dacOn = (value & 0x80) != 0;
    const int index = reg & 3;
    if (reg < 0x30 || reg > 0xB6 || index == 3 || (port != 0 && port != 1)) return;
    WriteChannel(m_channels[static_cast<size_t>(port * 3 + index)], reg, value);
}

// The channel's registers: the operators' (0x30 to 0x8F; bits 2 and 3 the
// operator: S1, S3, S2, S4), the frequency (0xA4 to 0xA6 first, then 0xA0
// to 0xA2), feedback and connection (0xB0), and the sides (0xB4, bits 7 and 6).
void CYm2612::WriteChannel(Channel& channel, uint8_t reg, uint8_t value) {
    switch (reg & 0xFC) {
    case 0xA4:
        m_latchedHigh = value & 0x3F;
        return;
    case 0xA0:
        channel.frequencyNumber = (m_latchedHigh & 7) << 8 | value;
        channel.block = m_latchedHigh >> 3;
        SetPitch(channel);
        return;
    case 0xB0:
        channel.voice.feedback = (value >> 3) & 7;
        channel.voice.connection = value & 7;
        return;
    case 0xB4:
        channel.left = (value & 0x80) != 0;
        channel.right = (value & 0x40) != 0;
        return;
    default:
        break;
    }
    static constexpr int kChainPlace[4] = {0, 2, 1, 3}; // S1, S3, S2, S4 -> S1, S2, S3, S4
    CFmOperator& op = channel.voice.ops[static_cast<size_t>(kChainPlace[(reg >> 2) & 3])];
    if (reg < 0x90) op.Write(((reg & 0xF0) - 0x30) / 0x10, value, false);
}

void CYm2612::SetPitch(Channel& channel) const {
    const OpnPitch pitch = OpnPitchOf(channel.frequencyNumber, channel.block, Rate());
    channel.frequency = pitch.frequency;
    channel.keyCode = pitch.keyCode;
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
