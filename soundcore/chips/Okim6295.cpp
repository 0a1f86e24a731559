// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Okim6295.h"

#include "chips/ChipVoices.h"

#include <algorithm>

namespace tarvocore {

namespace {

// The data sheet's 49 step sizes and how each nibble moves through them.
constexpr int kSteps[49] = {16,  17,  19,  21,  23,  25,   28,   31,   34,   37,  41,  45,  50,
                            55,  60,  66,  73,  80,  88,   97,   107,  118,  130, 143, 157, 173,
                            190, 209, 230, 253, 279, 307,  337,  371,  408,  449, 494, 544, 598,
                            658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552};
constexpr int kIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
// Attenuation 0 to 8 (0, 3.2, 6, 9.2, 12, 14.5, 18, 20.5 and 24 dB) as gains of 256.
constexpr int kGains[9] = {256, 177, 128, 89, 64, 48, 32, 24, 16};
constexpr uint32_t kBankBytes = 0x40000;

} // namespace

int COkim6295::Decoder::Decode(uint8_t nibble) {
    const int step = kSteps[stepIndex];
    int difference = step / 8;
    if (nibble & 1) difference += step / 4;
    if (nibble & 2) difference += step / 2;
    if (nibble & 4) difference += step;
    signal = std::clamp(signal + ((nibble & 8) ? -difference : difference), -2048, 2047);
    stepIndex = std::clamp(stepIndex + kIndexMoves[nibble & 7], 0, 48);
    return signal;
}

void COkim6295::Reset() {
    m_phrase = -1;
    for (Voice& voice : m_voices)
        voice = Voice{false, voice.muted, 0, 0, 0, {}};
}

double COkim6295::Rate() const {
    return static_cast<double>(m_clock) / (m_pin7High ? 132.0 : 165.0);
}

uint8_t COkim6295::RomByte(uint32_t address) const {
    const size_t at = static_cast<size_t>(m_bank) * kBankBytes + (address & (kBankBytes - 1));
    return at < m_rom.size() ? m_rom[at] : 0;
}

void COkim6295::Write(uint8_t value) {
    if (m_phrase >= 0) {
        Start(m_phrase, static_cast<uint8_t>(value >> 4), value & 0x0F);
        m_phrase = -1;
    } else if (value & 0x80) {
        m_phrase = value & 0x7F;
    } else {
        for (int voice = 0; voice < kVoices; ++voice)
            if (value & (0x08 << voice)) m_voices[static_cast<size_t>(voice)].playing = false;
    }
}

// The phrase table: eight bytes a phrase, its first and last byte as 18-bit
// big-endian addresses. A voice already playing goes on with its own phrase.
void COkim6295::Start(int phrase, uint8_t voices, int attenuation) {
    const uint32_t at = static_cast<uint32_t>(phrase) * 8;
    auto address = [&](uint32_t from) {
        return (static_cast<uint32_t>(RomByte(from)) << 16 | RomByte(from + 1) << 8 |
                RomByte(from + 2)) &
               (kBankBytes - 1);
    };
    const uint32_t start = address(at), end = address(at + 3);
    for (int v = 0; v < kVoices; ++v) {
        Voice& voice = m_voices[static_cast<size_t>(v)];
        if (!(voices & (1 << v)) || voice.playing || start > end) continue;
        voice.playing = true;
        voice.address = start * 2;
        voice.end = end * 2 + 1;
        voice.gain = kGains[std::min(attenuation, 8)];
        voice.decoder = Decoder{};
    }
}

void COkim6295::Mute(int voice, bool muted) {
    MuteVoice(m_voices, voice, muted);
}

int COkim6295::NextSample() {
    int sum = 0;
    for (Voice& voice : m_voices) {
        if (!voice.playing) continue;
        const uint8_t byte = RomByte(voice.address / 2);
        const uint8_t nibble = (voice.address & 1) ? byte & 0x0F : byte >> 4;
        const int signal = voice.decoder.Decode(nibble);
        if (!voice.muted) sum += signal * voice.gain / 256;
        if (++voice.address > voice.end) voice.playing = false;
    }
    return sum;
}

} // namespace tarvocore
