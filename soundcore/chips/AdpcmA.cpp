// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/AdpcmA.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

constexpr uint8_t kKey = 0x00, kTotalLevel = 0x01, kChannelLevel = 0x08, kStartLow = 0x10,
                  kStartHigh = 0x18, kEndLow = 0x20, kEndHigh = 0x28;
// Attenuation past this many steps of 0.75 dB is silence.
constexpr int kSilentSteps = 63;

} // namespace

void CAdpcmA::Reset() {
    std::fill(std::begin(m_registers), std::end(m_registers), uint8_t{0});
    for (Channel& channel : m_channels)
        channel = Channel{false, channel.muted, 0, 0, {}};
}

void CAdpcmA::Mute(int channel, bool muted) {
    if (channel >= 0 && channel < kChannels) m_channels[static_cast<size_t>(channel)].muted = muted;
}

void CAdpcmA::Write(uint8_t reg, uint8_t value) {
    if (reg >= sizeof m_registers) return;
    m_registers[reg] = value;
    if (reg != kKey) return;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (!(value & (1 << channel))) continue;
        if (value & 0x80)
            m_channels[static_cast<size_t>(channel)].playing = false;
        else
            KeyOn(channel);
    }
}

void CAdpcmA::KeyOn(int index) {
    const auto address = [this, index](uint8_t low, uint8_t high) {
        return static_cast<uint32_t>(m_registers[low + index] | m_registers[high + index] << 8)
               << 8;
    };
    const uint32_t start = address(kStartLow, kStartHigh);
    const uint32_t end = address(kEndLow, kEndHigh) | 0xFF;
    Channel& channel = m_channels[static_cast<size_t>(index)];
    channel.playing = start <= end;
    channel.nibble = start * 2;
    channel.end = end * 2 + 1;
    channel.decoder = {};
}

double CAdpcmA::Gain(int channel) const {
    static const std::array<double, kSilentSteps> gains = [] {
        std::array<double, kSilentSteps> table{};
        for (int steps = 0; steps < kSilentSteps; ++steps)
            table[static_cast<size_t>(steps)] = std::pow(10.0, -0.75 * steps / 20.0);
        return table;
    }();
    const int steps =
        (~m_registers[kChannelLevel + channel] & 0x1F) + (~m_registers[kTotalLevel] & 0x3F);
    return steps >= kSilentSteps ? 0.0 : gains[static_cast<size_t>(steps)];
}

void CAdpcmA::NextSample(double& left, double& right) {
    left = right = 0;
    for (int index = 0; index < kChannels; ++index) {
        Channel& channel = m_channels[static_cast<size_t>(index)];
        if (!channel.playing) continue;
        const uint32_t at = channel.nibble / 2;
        const uint8_t byte = at < m_rom.size() ? m_rom[at] : 0;
        const int signal = channel.decoder.Decode((channel.nibble & 1) ? byte & 0x0F : byte >> 4);
        if (++channel.nibble > channel.end) channel.playing = false;
        if (channel.muted) continue;
        const double out = signal * 4.0 * Gain(index);
        const uint8_t sides = m_registers[kChannelLevel + index];
        if (sides & 0x80) left += out;
        if (sides & 0x40) right += out;
    }
}

} // namespace tarvocore
