// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2203.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

void CYm2203::Reset() {
    for (FmChannel& channel : m_fm) {
        const bool muted = channel.muted;
        channel = FmChannel{};
        channel.muted = muted;
    }
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

// The FM part's registers: key on (0x28), the operators' (0x30 to 0x8F, the
// low two bits the channel, the next two the operator: S1, S3, S2, S4), the
// frequency (0xA4 to 0xA6 first, then 0xA0 to 0xA2), feedback and connection
// (0xB0 to 0xB2).
void CYm2203::WriteFm(uint8_t reg, uint8_t value) {
    if (reg == 0x28) {
        if ((value & 3) == 3) return;
        auto& ops = m_fm[value & 3].voice.ops;
        for (int place = 0; place < 4; ++place)
            ops[static_cast<size_t>(place)].Key((value >> (4 + place)) & 1);
        return;
    }
    const int channelIndex = reg & 3;
    if (channelIndex == 3 || reg < 0x30 || reg > 0xB2) return;
    FmChannel& channel = m_fm[static_cast<size_t>(channelIndex)];
    if (reg >= 0xA0) {
        if ((reg & 0xFC) == 0xA4) m_latchedHigh = value & 0x3F;
        if ((reg & 0xFC) == 0xA0) {
            channel.frequencyNumber = (m_latchedHigh & 7) << 8 | value;
            channel.block = m_latchedHigh >> 3;
            SetPitch(channel);
        }
        if ((reg & 0xFC) == 0xB0) {
            channel.voice.feedback = (value >> 3) & 7;
            channel.voice.connection = value & 7;
        }
        return;
    }
    static constexpr int kChainPlace[4] = {0, 2, 1, 3}; // S1, S3, S2, S4 -> S1, S2, S3, S4
    CFmOperator& op = channel.voice.ops[static_cast<size_t>(kChainPlace[(reg >> 2) & 3])];
    // 0x90 is the SSG-type envelope, which this emulation leaves out.
    if (reg < 0x90) op.Write(((reg & 0xF0) - 0x30) / 0x10, value, false);
}

void CYm2203::SetPitch(FmChannel& channel) const {
    const OpnPitch pitch = OpnPitchOf(channel.frequencyNumber, channel.block, Rate());
    channel.frequency = pitch.frequency;
    channel.keyCode = pitch.keyCode;
}

int CYm2203::NextSample() {
    if (++m_envelopeDivider == 3) {
        m_envelopeDivider = 0;
        ++m_envelopeCounter;
        for (FmChannel& channel : m_fm)
            channel.voice.StepEnvelopes(channel.keyCode, m_envelopeCounter);
    }
    double sum = m_ssg.NextSample();
    for (FmChannel& channel : m_fm) {
        const double out =
            channel.voice.Render(channel.frequency, channel.keyCode, Rate(), 0, nullptr);
        if (!channel.muted) sum += out * 8192;
    }
    return static_cast<int>(sum);
}

} // namespace tarvocore
