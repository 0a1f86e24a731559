// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/OplChip.h"

// AdPlug builds its OPL3 emulator as C, and its header does not say so.
extern "C" {
#include <adplug/nukedopl.h>
}
#include <cstdint>
#include <utility>

namespace tarvocore {

namespace {

constexpr int kWaveformRegisters = 0xE0;
constexpr int kWaveformSelectEnable = 0x20; // in register 0x01 of the OPL2
constexpr int kOpl3Mode = 0x105;            // its bit 0 turns the OPL3's own features on
constexpr Bit32u kNativeRate = 49716;       // the emulator's own, so it does not resample

// A pointer into `from` made the same pointer into `to`.
template <typename T> void MoveInto(T*& pointer, const opl3_chip& from, opl3_chip& to) {
    const auto at = reinterpret_cast<std::uintptr_t>(pointer);
    const auto start = reinterpret_cast<std::uintptr_t>(&from);
    if (at >= start && at < start + sizeof(opl3_chip))
        pointer = reinterpret_cast<T*>(reinterpret_cast<std::uintptr_t>(&to) + (at - start));
}

std::unique_ptr<opl3_chip> CopyOf(const opl3_chip& from) {
    auto to = std::make_unique<opl3_chip>(from);
    for (opl3_slot& slot : to->slot) {
        MoveInto(slot.channel, from, *to);
        MoveInto(slot.chip, from, *to);
        MoveInto(slot.mod, from, *to);
        MoveInto(slot.trem, from, *to);
    }
    for (opl3_channel& channel : to->channel) {
        for (opl3_slot*& slot : channel.slots)
            MoveInto(slot, from, *to);
        MoveInto(channel.pair, from, *to);
        MoveInto(channel.chip, from, *to);
        for (Bit16s*& out : channel.out)
            MoveInto(out, from, *to);
    }
    return to;
}

} // namespace

COplChip::COplChip() = default;
COplChip::~COplChip() = default;
COplChip::COplChip(COplChip&&) noexcept = default;
COplChip& COplChip::operator=(COplChip&&) noexcept = default;

COplChip::COplChip(const COplChip& other)
    : m_kind(other.m_kind), m_clock(other.m_clock),
      m_chip(other.m_chip ? CopyOf(*other.m_chip) : nullptr), m_written(other.m_written),
      m_muted(other.m_muted) {}

COplChip& COplChip::operator=(const COplChip& other) {
    if (this != &other) *this = COplChip(other);
    return *this;
}

void COplChip::Reset() {
    m_chip.reset();
    m_written = {};
}

opl3_chip& COplChip::Chip() {
    if (!m_chip) {
        m_chip = std::make_unique<opl3_chip>();
        OPL3_Reset(m_chip.get(), kNativeRate);
        for (int channel = 0; channel < Channels(); ++channel)
            if (m_muted[static_cast<size_t>(channel)]) Gate(channel);
    }
    return *m_chip;
}

bool COplChip::WaveformsSelectable() const {
    return m_kind == Kind::Opl3 || (m_kind == Kind::Opl2 && (m_written[1] & kWaveformSelectEnable));
}

void COplChip::Pass(int reg) {
    uint8_t value = m_written[static_cast<size_t>(reg)];
    if ((reg & 0xFF) >= kWaveformRegisters && !WaveformsSelectable()) value = 0;
    OPL3_WriteReg(&Chip(), static_cast<Bit16u>(reg), value);
}

// A muted channel runs on (its notes and envelopes as the song plays them)
// but its output is cut where the emulator mixes it; let through, the
// emulator takes its sides again from its register.
void COplChip::Gate(int channel) {
    if (!m_muted[static_cast<size_t>(channel)]) {
        Pass((channel / 9) << 8 | (0xC0 + channel % 9));
        return;
    }
    opl3_channel& gated = Chip().channel[channel];
    gated.cha = gated.chb = 0;
}

void COplChip::Write(int port, uint8_t reg, uint8_t value) {
    if (port != 0 && (port != 1 || m_kind != Kind::Opl3)) return;
    const int full = port << 8 | reg;
    m_written[static_cast<size_t>(full)] = value;
    Pass(full);
    if (full == 1 && m_kind == Kind::Opl2) // the waveforms written come into force, or go
        for (int wave = kWaveformRegisters; wave <= kWaveformRegisters + 0x15; ++wave)
            Pass(wave);
    // The emulator sets a channel's sides on these; a mute keeps them shut.
    if ((reg >= 0xC0 && reg <= 0xC8) || full == kOpl3Mode)
        for (int channel = 0; channel < Channels(); ++channel)
            if (m_muted[static_cast<size_t>(channel)]) Gate(channel);
}

void COplChip::Mute(int channel, bool muted) {
    if (channel < 0 || channel >= Channels()) return;
    m_muted[static_cast<size_t>(channel)] = muted;
    Gate(channel);
}

void COplChip::NextSample(int& left, int& right) {
    Bit16s frame[2] = {0, 0};
    OPL3_Generate(&Chip(), frame);
    left = frame[0];
    right = frame[1];
}

} // namespace tarvocore
