// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/OplVoiceFilter.h"

namespace tarvocore {

namespace {

constexpr int kLevelRegisters = 0x40;
constexpr int kFullAttenuation = 0x3F; // the level bits; the key scaling bits stay

bool Marked(const std::vector<bool>& flags, int index) {
    return index >= 0 && static_cast<size_t>(index) < flags.size() &&
           flags[static_cast<size_t>(index)];
}

} // namespace

COplVoiceFilter::COplVoiceFilter(std::unique_ptr<Copl> chip) : m_chip(std::move(chip)) {
    currType = m_chip->gettype();
}

// The operators' slots come in three groups of six, each group the
// modulators then the carriers of three channels.
int COplVoiceFilter::ChannelOfLevelRegister(int reg) {
    const int slot = reg - kLevelRegisters;
    if (slot < 0 || slot > 0x15 || slot % 8 > 5) return -1;
    return slot / 8 * 3 + slot % 8 % 3;
}

void COplVoiceFilter::write(int reg, int val) {
    const int chip = m_chip->getchip();
    m_written[static_cast<size_t>(chip)][static_cast<size_t>(reg & 0xFF)] = val;
    if (Marked(m_muted, ChannelOfLevelRegister(reg & 0xFF))) val |= kFullAttenuation;
    m_chip->write(reg, val);
}

void COplVoiceFilter::setchip(int n) {
    m_chip->setchip(n);
    currChip = m_chip->getchip();
}

void COplVoiceFilter::init() {
    m_chip->init();
    m_written = {};
}

// Every level register of a channel that changed is written again, as the
// song left it or fully attenuated.
void COplVoiceFilter::Mute(const std::vector<bool>& muted) {
    const std::vector<bool> before = m_muted;
    m_muted = muted;
    const int chip = m_chip->getchip();
    m_chip->setchip(0);
    for (int reg = kLevelRegisters; reg <= kLevelRegisters + 0x15; ++reg) {
        const int channel = ChannelOfLevelRegister(reg);
        if (channel < 0 || Marked(before, channel) == Marked(muted, channel)) continue;
        const int level = m_written[0][static_cast<size_t>(reg)];
        m_chip->write(reg, Marked(muted, channel) ? level | kFullAttenuation : level);
    }
    m_chip->setchip(chip);
}

} // namespace tarvocore
