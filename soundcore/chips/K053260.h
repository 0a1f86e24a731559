// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/SharedRom.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// Konami's K053260 (the sound of TMNT, The Simpsons and their boards): four
// voices of 8-bit PCM or Konami's 4-bit ADPCM from a sample ROM, each from a
// start address for a length in bytes, once or looped, at a rate its 12-bit
// pitch sets (clock / (4096 - pitch) steps a second), under a 7-bit volume,
// placed between left and right by a pan of eight angles (0: silent). A
// sample every 64 clocks. Registers: 0x08 to 0x27 the voices' (pitch, length,
// start, volume; eight each), 0x28 key on, 0x2A loop (bits 0 to 3) and ADPCM
// (bits 4 to 7), 0x2C and 0x2D the pans, 0x2F bit 1 the sound on.
class CK053260 {
public:
    static constexpr int kVoices = 4;

    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    double Rate() const { return m_clock / 64.0; }
    void Write(uint8_t reg, uint8_t value);
    void Mute(int voice, bool muted);
    CSharedRom& Rom() { return m_rom; }
    bool Playing(int voice) const { return m_voices[static_cast<size_t>(voice)].playing; }
    // The next sample, left and right: a voice at full scale, full volume
    // and panned to one side gives 8192 there.
    void NextSample(int& left, int& right);

private:
    struct Voice {
        uint16_t pitch = 0;
        uint16_t length = 0;
        uint32_t start = 0;
        uint8_t volume = 0;
        uint8_t pan = 0;
        bool loop = false, adpcm = false, playing = false, muted = false;
        uint32_t position = 0; // in samples: bytes, or nibbles of ADPCM
        int counter = 0;       // of 4096 a step
        int8_t output = 0;
    };
    void KeyOn(Voice& voice);
    void Step(Voice& voice);
    uint8_t RomByte(uint32_t at) const { return at < m_rom.size() ? m_rom[at] : 0; }

    CSharedRom m_rom;
    uint32_t m_clock = 3579545;
    uint8_t m_keys = 0;
    bool m_soundOn = false;
    std::array<Voice, kVoices> m_voices{};
};

} // namespace tarvocore
