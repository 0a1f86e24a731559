// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2610.h"

namespace tarvocore {

namespace {

constexpr uint8_t kAdpcmBFirst = 0x10, kAdpcmBLast = 0x1C;

} // namespace

void CYm2610::Reset() {
    m_fm.Reset();
    m_ssg.Reset();
    m_adpcmA.Reset();
    m_adpcmB.Reset();
    m_adpcmA.Rom() = CSharedRom{}; // the stream's data blocks fill them again
    m_adpcmB.Rom() = CSharedRom{};
    m_adpcmADivider = 0;
    m_adpcmALeft = m_adpcmARight = 0;
}

void CYm2610::Mute(int voice, bool muted) {
    const int fm = FmChannels();
    if (voice >= 0 && voice < fm) m_fm.Mute(FmChannelOf(voice), muted);
    voice -= fm;
    if (voice >= 0 && voice < kSsgChannels) m_ssg.Mute(voice, muted);
    voice -= kSsgChannels;
    if (voice >= 0 && voice < kAdpcmAChannels) m_adpcmA.Mute(voice, muted);
    if (voice == kAdpcmAChannels) m_adpcmB.Mute(muted);
}

void CYm2610::Write(int port, uint8_t reg, uint8_t value) {
    if (port == 0 && reg < 0x10)
        m_ssg.Write(reg, value);
    else if (port == 0 && reg >= kAdpcmBFirst && reg <= kAdpcmBLast)
        m_adpcmB.Write(static_cast<uint8_t>(reg - kAdpcmBFirst), value);
    else if (port == 1 && reg < 0x30)
        m_adpcmA.Write(reg, value);
    else
        WriteFm(port, reg, value);
}

// The YM2610 ignores what is written to the channels it lacks.
void CYm2610::WriteFm(int port, uint8_t reg, uint8_t value) {
    const int channel = reg == 0x28 ? (value & 7) - ((value & 7) >> 2) : port * 3 + (reg & 3);
    if ((reg == 0x28 || (reg >= 0x30 && (reg & 3) != 3)) && !HasFmChannel(channel)) return;
    m_fm.Write(port, reg, value, Rate());
}

void CYm2610::NextSample(int& left, int& right) {
    double fmLeft = 0, fmRight = 0, bLeft = 0, bRight = 0;
    m_fm.NextSample(Rate(), fmLeft, fmRight);
    if (m_adpcmADivider-- == 0) {
        m_adpcmADivider = 2;
        m_adpcmA.NextSample(m_adpcmALeft, m_adpcmARight);
    }
    m_adpcmB.NextSample(bLeft, bRight);
    const double ssg = m_ssg.NextSample();
    left = static_cast<int>(fmLeft + ssg + m_adpcmALeft + bLeft);
    right = static_cast<int>(fmRight + ssg + m_adpcmARight + bRight);
}

} // namespace tarvocore
