// SPDX-License-Identifier: GPL-3.0-or-later
// The arcade engine's side of the stream's chip commands and data blocks.
#include "engines/VgmEngine.h"

#include <algorithm>

namespace tarvocore {

namespace {

constexpr uint8_t kSegaPcmRom = 0x80;
constexpr uint8_t kOkiRom = 0x8B;
constexpr uint8_t kYm2612Pcm = 0x00;
constexpr uint8_t kAdpcmARom = 0x82;
constexpr uint8_t kAdpcmBRom = 0x83;
constexpr uint8_t kY8950Rom = 0x88;
constexpr uint8_t kK053260Rom = 0x8E;
constexpr uint8_t kUpd7759Rom = 0x8A;
constexpr uint8_t kC140Rom = 0x8D;
// A ROM image larger than any board's is refused, so a file cannot make the
// emulator take more memory than its limit.
constexpr size_t kMaxRomBytes = 16u << 20;

} // namespace

// The chip commands: a write to a register of the first chip of a kind, or
// with 0x50 added of the second; the PCM chips and the AY-3-8910 pick the
// second by the top bit of their register or address. Only the command's own
// `count` bytes of arguments are read: it may end the stream.
void CVgmEngine::ChipCommand(uint8_t command, const uint8_t* arguments, size_t count) {
    const auto write = [&](auto& pair, uint8_t first, auto&& action) {
        const int chip = command == first ? 0 : command == first + 0x50 ? 1 : -1;
        if (chip >= 0 && chip < pair.count) action(pair.chips[static_cast<size_t>(chip)]);
    };
    const uint8_t reg = arguments[0], value = count > 1 ? arguments[1] : 0;
    write(m_chips.ym2151, 0x54, [&](CYm2151& chip) { chip.Write(reg, value); });
    write(m_chips.ym2203, 0x55, [&](CYm2203& chip) { chip.Write(reg, value); });
    write(m_chips.ym2612, 0x52, [&](CYm2612& chip) { chip.Write(0, reg, value); });
    write(m_chips.ym2612, 0x53, [&](CYm2612& chip) { chip.Write(1, reg, value); });
    if (command == 0xE0 && count >= 4 && m_chips.ym2612.count > 0)
        m_chips.ym2612.chips[0].SeekPcm(
            static_cast<uint32_t>(arguments[0] | arguments[1] << 8 | arguments[2] << 16) |
            static_cast<uint32_t>(arguments[3]) << 24);
    write(m_chips.ym2610, 0x58, [&](CYm2610& chip) { chip.Write(0, reg, value); });
    write(m_chips.ym2610, 0x59, [&](CYm2610& chip) { chip.Write(1, reg, value); });
    write(m_chips.y8950, 0x5C, [&](CY8950& chip) { chip.Write(reg, value); });
    write(m_chips.ym3812, 0x5A, [&](COplChip& chip) { chip.Write(0, reg, value); });
    write(m_chips.ym3526, 0x5B, [&](COplChip& chip) { chip.Write(0, reg, value); });
    write(m_chips.ymf262, 0x5E, [&](COplChip& chip) { chip.Write(0, reg, value); });
    write(m_chips.ymf262, 0x5F, [&](COplChip& chip) { chip.Write(1, reg, value); });
    const int high = reg >> 7;
    // The SN76489s take a byte each: 0x50 the first, 0x30 the second; 0x4F
    // and 0x3F their Game Gear stereo.
    const int sn = command == 0x50 || command == 0x4F   ? 0
                   : command == 0x30 || command == 0x3F ? 1
                                                        : -1;
    if (sn >= 0 && sn < m_chips.sn76489.count) {
        CSn76489& chip = m_chips.sn76489.chips[static_cast<size_t>(sn)];
        if (command == 0x50 || command == 0x30)
            chip.Write(reg);
        else
            chip.WriteStereo(reg);
    }
    if (command == 0xB8) OkiWrite(reg, value);
    if (command == 0xBA && high < m_chips.k053260.count)
        m_chips.k053260.chips[static_cast<size_t>(high)].Write(reg & 0x7F, value);
    if (command == 0xB6 && high < m_chips.upd7759.count)
        m_chips.upd7759.chips[static_cast<size_t>(high)].Write(reg & 0x7F, value);
    // The C140's register is nine bits, high byte first.
    if (command == 0xD4 && count > 2 && high < m_chips.c140.count)
        m_chips.c140.chips[static_cast<size_t>(high)].Write(
            static_cast<uint16_t>((reg & 0x7F) << 8 | value), arguments[2]);
    if (command == 0xA0 && high < m_chips.ay.count)
        m_chips.ay.chips[static_cast<size_t>(high)].Write(reg & 0x7F, value);
    if (command == 0xC0 && count > 2 && value >> 7 < m_chips.segaPcm.count)
        m_chips.segaPcm.chips[value >> 7].Write(static_cast<uint16_t>(reg | (value & 0x7F) << 8),
                                                arguments[2]);
}

// A piece of a chip's ROM: the whole ROM's size, where the piece goes, then
// the piece. The top bit of the block's size picks the second chip.
void CVgmEngine::DataBlock(uint8_t type, size_t at, size_t sizeField) {
    const size_t size = sizeField & 0x7FFFFFFF;
    const size_t chip = (sizeField >> 31) & 1;
    if (type == kYm2612Pcm) { // the YM2612's PCM bank: the blocks one after another
        if (m_chips.ym2612.count == 0) return;
        Bytes& bank = m_chips.ym2612.chips[0].Pcm().Writable();
        const size_t bytes = std::min(size, kMaxRomBytes - std::min(bank.size(), kMaxRomBytes));
        bank.insert(bank.end(), m_data.begin() + static_cast<long>(at),
                    m_data.begin() + static_cast<long>(at + bytes));
        return;
    }
    CSharedRom* target = RomOfBlock(type, chip);
    if (!target || size < 8) return;
    Bytes& rom = target->Writable();
    const size_t romSize = std::min<size_t>(Le32(m_data, at), kMaxRomBytes);
    const size_t start = Le32(m_data, at + 4);
    if (rom.size() < romSize) rom.resize(romSize, 0);
    if (start >= kMaxRomBytes) return;
    const size_t bytes = std::min(size - 8, kMaxRomBytes - start);
    if (rom.size() < start + bytes) rom.resize(start + bytes, 0);
    std::copy_n(m_data.begin() + static_cast<long>(at + 8), bytes,
                rom.begin() + static_cast<long>(start));
}

// The ROM a data block of this type fills, of the first chip or the second;
// null for a type or a chip the file does not have.
CSharedRom* CVgmEngine::RomOfBlock(uint8_t type, size_t chip) {
    const auto rom = [chip](auto& pair, auto&& of) -> CSharedRom* {
        return chip < pair.chips.size() ? &of(pair.chips[chip]) : nullptr;
    };
    switch (type) {
    case kSegaPcmRom:
        return rom(m_chips.segaPcm, [](CSegaPcm& c) -> CSharedRom& { return c.Rom(); });
    case kOkiRom:
        return rom(m_chips.oki, [](COkim6295& c) -> CSharedRom& { return c.Rom(); });
    case kAdpcmARom:
        return rom(m_chips.ym2610, [](CYm2610& c) -> CSharedRom& { return c.AdpcmARom(); });
    case kAdpcmBRom:
        return rom(m_chips.ym2610, [](CYm2610& c) -> CSharedRom& { return c.AdpcmBRom(); });
    case kY8950Rom:
        return rom(m_chips.y8950, [](CY8950& c) -> CSharedRom& { return c.AdpcmRom(); });
    case kK053260Rom:
        return rom(m_chips.k053260, [](CK053260& c) -> CSharedRom& { return c.Rom(); });
    case kC140Rom:
        return rom(m_chips.c140, [](CC140& c) -> CSharedRom& { return c.Rom(); });
    case kUpd7759Rom:
        return rom(m_chips.upd7759, [](CUpd7759& c) -> CSharedRom& { return c.Rom(); });
    default:
        return nullptr;
    }
}

} // namespace tarvocore
