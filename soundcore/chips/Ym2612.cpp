// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Ym2612.h"

namespace tarvocore {

namespace {

constexpr int kDacChannel = 5;

} // namespace

void CYm2612::Reset() {
    m_fm.Reset();
    m_dacOn = false;
    m_dac = 0x80;
    m_pcm = CSharedRom{}; // the stream's data blocks fill it again
    m_pcmAt = 0;
}

// Port 0 also holds the DAC's byte (0x2A) and its switch (0x2B).
void CYm2612::Write(int port, uint8_t reg, uint8_t value) {
    if (port == 0 && reg == 0x2A) m_dac = value;
    if (port == 0 && reg == 0x2B) m_dacOn = (value & 0x80) != 0;
    m_fm.Write(port, reg, value, Rate());
}

void CYm2612::PlayPcmByte() {
    m_dac = m_pcmAt < m_pcm.size() ? m_pcm[m_pcmAt] : 0x80;
    ++m_pcmAt;
}

void CYm2612::NextSample(int& left, int& right) {
    double sumLeft = 0, sumRight = 0;
    m_fm.NextSample(Rate(), sumLeft, sumRight, m_dacOn ? kDacChannel : -1, (m_dac - 0x80) * 64.0);
    left = static_cast<int>(sumLeft);
    right = static_cast<int>(sumRight);
}

} // namespace tarvocore
