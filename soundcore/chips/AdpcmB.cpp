// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/AdpcmB.h"

#include <algorithm>

namespace tarvocore {

namespace {

// How each nibble's size scales the step, in 64ths.
constexpr int kStepScale[8] = {57, 57, 57, 57, 77, 102, 128, 153};

} // namespace

int CAdpcmB::Decoder::Decode(uint8_t nibble) {
    const int difference = ((2 * (nibble & 7) + 1) * step) >> 3;
    signal = std::clamp(signal + ((nibble & 8) ? -difference : difference), -32768, 32767);
    step = std::clamp((step * kStepScale[nibble & 7]) >> 6, 127, 24576);
    return signal;
}

void CAdpcmB::Reset() {
    std::fill(std::begin(m_registers), std::end(m_registers), uint8_t{0});
    m_registers[kSides] = 0xC0;
    m_playing = false;
    m_position = 0;
    m_previous = 0;
    m_decoder = {};
}

void CAdpcmB::Write(uint8_t reg, uint8_t value) {
    if (reg >= sizeof m_registers) return;
    m_registers[reg] = value;
    if (reg != kControl) return;
    if (value & 0x01) { // reset
        m_playing = false;
        return;
    }
    if (value & 0x80)
        Start();
    else
        m_playing = false;
}

void CAdpcmB::Start() {
    const auto address = [this](uint8_t low, uint8_t high) {
        return static_cast<uint32_t>(m_registers[low] | m_registers[high] << 8) << m_addressShift;
    };
    const uint32_t start = address(kStartLow, kStartHigh);
    const uint32_t end = address(kEndLow, kEndHigh) + (1u << m_addressShift) - 1;
    if (start > end) return;
    m_playing = true;
    m_nibble = start * 2;
    m_end = end * 2 + 1;
    m_position = 0;
    m_previous = 0;
    m_decoder = {};
}

void CAdpcmB::NextSample(double& left, double& right) {
    left = right = 0;
    if (!m_playing) return;
    m_position += static_cast<uint32_t>(m_registers[kDeltaNLow] | m_registers[kDeltaNHigh] << 8);
    while (m_position >= 65536 && m_playing) {
        m_position -= 65536;
        m_previous = m_decoder.signal;
        const uint8_t byte = RomByte(m_nibble / 2);
        m_decoder.Decode((m_nibble & 1) ? byte & 0x0F : byte >> 4);
        if (++m_nibble <= m_end) continue;
        if (m_registers[kControl] & 0x10) { // repeat: from the start, the decoder afresh
            Start();
        } else {
            m_playing = false;
        }
    }
    if (m_muted) return;
    const double signal = m_previous + (m_decoder.signal - m_previous) * (m_position / 65536.0);
    const double out = signal * m_registers[kLevel] / 256.0 / 4.0;
    if (m_registers[kSides] & 0x80) left = out;
    if (m_registers[kSides] & 0x40) right = out;
}

} // namespace tarvocore
