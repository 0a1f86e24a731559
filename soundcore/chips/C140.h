// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/SharedRom.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// Namco's C140 (the sound of System 2 and System 21 boards): 24 voices of
// 8-bit samples, linear or compressed (a sign, a mantissa of four bits and an
// exponent of three, for 13 bits of range), from a sample ROM in banks of
// 64 KiB. Each voice plays from its start to its end, or on from its loop
// point, at clock * frequency / 32768 samples a second, and has a volume for
// each side. The chip makes a sample at its clock (about 21.4 kHz on the
// boards). Sixteen registers a voice: 0 the right volume, 1 the left, 2 and 3
// the frequency (high byte first), 4 the bank, 5 the mode (bit 7 key on, bit
// 4 loop, bit 3 compressed), 6 to 11 the start, end and loop (high first).
class CC140 {
public:
    static constexpr int kVoices = 24;
    // How the board wires the bank and address to the ROM.
    enum class Banking { System2, System21 };

    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    void SetBanking(Banking banking) { m_banking = banking; }
    double Rate() const { return m_clock; }
    void Write(uint16_t reg, uint8_t value);
    void Mute(int voice, bool muted);
    CSharedRom& Rom() { return m_rom; }
    bool Playing(int voice) const { return m_voices[static_cast<size_t>(voice)].playing; }
    // The next sample, left and right: a voice at full scale and full
    // volume gives 8192 on each side.
    void NextSample(int& left, int& right);
    // A compressed byte's value, where a linear byte's is 32 times its own.
    static int Expand(int8_t byte);

private:
    struct Voice {
        std::array<uint8_t, 16> regs{};
        bool playing = false, muted = false;
        uint32_t base = 0;     // where in the ROM its sample starts
        uint32_t position = 0; // in bytes from the start
        uint32_t fraction = 0; // of 65536 a byte
        uint32_t length = 0, loopAt = 0;
        int value = 0;
    };
    void KeyOn(Voice& voice);
    void Step(Voice& voice);
    uint32_t RomAddress(uint8_t bank, uint16_t address) const;
    int SampleAt(const Voice& voice) const;

    CSharedRom m_rom;
    uint32_t m_clock = 21390;
    Banking m_banking = Banking::System2;
    std::array<Voice, kVoices> m_voices{};
};

} // namespace tarvocore
