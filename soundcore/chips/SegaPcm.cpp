// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/SegaPcm.h"

namespace tarvocore {

void CSegaPcm::Reset() {
    m_ram.fill(0xFF); // every channel off until the music starts it
    m_fraction.fill(0);
}

void CSegaPcm::SetInterface(uint32_t interface) {
    m_bankShift = static_cast<int>(interface & 0x1F);
    const uint32_t mask = (interface >> 16) & 0xFF;
    m_bankMask = mask ? mask : 0x70;
}

void CSegaPcm::Mute(int channel, bool muted) {
    if (channel >= 0 && channel < kChannels) m_muted[static_cast<size_t>(channel)] = muted;
}

void CSegaPcm::NextSample(int& left, int& right) {
    left = right = 0;
    for (int channel = 0; channel < kChannels; ++channel) {
        uint8_t* regs = &m_ram[static_cast<size_t>(channel) * 8];
        if (regs[0x86] & 1) continue;
        const size_t bank = static_cast<size_t>(regs[0x86] & m_bankMask) << m_bankShift;
        uint32_t address = static_cast<uint32_t>(regs[0x85]) << 16 | regs[0x84] << 8 |
                           m_fraction[static_cast<size_t>(channel)];
        if ((address >> 16) == regs[6] + 1u) {
            if (regs[0x86] & 2) {
                regs[0x86] |= 1; // a one-shot sample has ended
                continue;
            }
            address = static_cast<uint32_t>(regs[5]) << 16 | regs[4] << 8;
        }
        const size_t at = bank + (address >> 8);
        const int sample = (at < m_rom.size() ? m_rom[at] : 0x80) - 0x80;
        if (!m_muted[static_cast<size_t>(channel)]) {
            left += sample * (regs[2] & 0x7F);
            right += sample * (regs[3] & 0x7F);
        }
        address = (address + regs[7]) & 0xFFFFFF;
        regs[0x84] = static_cast<uint8_t>(address >> 8);
        regs[0x85] = static_cast<uint8_t>(address >> 16);
        m_fraction[static_cast<size_t>(channel)] = static_cast<uint8_t>(address);
    }
}

} // namespace tarvocore
