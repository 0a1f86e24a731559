// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/SharedRom.h"

#include <array>
#include <cstdint>

namespace tarvocore {

// OKI's MSM6295: four voices of 4-bit ADPCM phrases from a sample ROM. A
// byte with its top bit set picks a phrase (0 to 127) from the table at the
// ROM's start; the next byte starts it on the voices its high nibble names,
// attenuated as its low nibble says. A byte without the top bit stops the
// voices its bits 3 to 6 name. One sample every 132 or 165 clocks, as the
// chip's seventh pin says.
class COkim6295 {
public:
    static constexpr int kVoices = 4;

    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    void SetPin7High(bool high) { m_pin7High = high; }
    // The chip's rate, in samples a second.
    double Rate() const;
    // The ROM as the board maps it: `bank` picks which 256 KiB the phrase
    // addresses reach.
    void SetBank(uint32_t bank) { m_bank = bank; }
    CSharedRom& Rom() { return m_rom; }
    void Write(uint8_t value);
    void Mute(int voice, bool muted);
    // The next sample of all voices, 12-bit ADPCM steps added and attenuated.
    int NextSample();
    bool Playing(int voice) const { return m_voices[static_cast<size_t>(voice)].playing; }

    // One ADPCM step, as the data sheet defines it: the 12-bit signal and the
    // step index move by the nibble.
    struct Decoder {
        int signal = 0;
        int stepIndex = 0;
        int Decode(uint8_t nibble);
    };

private:
    struct Voice {
        bool playing = false;
        bool muted = false;
        uint32_t address = 0; // in nibbles
        uint32_t end = 0;     // the last nibble
        int gain = 0;         // of 256
        Decoder decoder;
    };
    uint8_t RomByte(uint32_t address) const;
    void Start(int phrase, uint8_t voices, int attenuation);

    CSharedRom m_rom;
    uint32_t m_bank = 0;
    uint32_t m_clock = 1000000;
    bool m_pin7High = true;
    int m_phrase = -1; // picked, waiting for the byte that starts it
    std::array<Voice, kVoices> m_voices{};
};

} // namespace tarvocore
