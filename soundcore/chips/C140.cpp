// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/C140.h"

#include "chips/ChipVoices.h"

namespace tarvocore {

namespace {

enum VoiceRegister {
    kVoiceVolumeRight = 0,
    kVoiceVolumeLeft = 1,
    kVoiceFrequencyHigh = 2,
    kVoiceFrequencyLow = 3,
    kVoiceBank = 4,
    kVoiceMode = 5,
    kVoiceStartHigh = 6,
    kVoiceEndHigh = 8,
    kVoiceLoopHigh = 10,
};
constexpr uint8_t kKeyOn = 0x80;
constexpr uint8_t kLoop = 0x10;
constexpr uint8_t kCompressed = 0x08;
constexpr uint16_t kVoiceRegisters = CC140::kVoices * 16;
// What a compressed byte's exponent adds to its shifted mantissa, away from
// zero: each segment of the curve begins where the one before ends.
constexpr int kSegmentBase[8] = {0, 16, 48, 112, 240, 496, 1008, 2032};

uint16_t Word(const std::array<uint8_t, 16>& regs, int high) {
    return static_cast<uint16_t>(regs[static_cast<size_t>(high)] << 8 |
                                 regs[static_cast<size_t>(high + 1)]);
}

} // namespace

void CC140::Reset() {
    ResetKeepingMutes(m_voices);
    m_rom = CSharedRom{}; // the stream's data blocks fill it again
}

void CC140::Mute(int voice, bool muted) {
    MuteVoice(m_voices, voice, muted);
}

// The voices' registers; the timer and interrupt registers above them are
// the board's business, not the sound's.
void CC140::Write(uint16_t reg, uint8_t value) {
    reg &= 0x1FF;
    if (reg >= kVoiceRegisters) return;
    Voice& voice = m_voices[reg / 16];
    voice.regs[reg % 16] = value;
    if (reg % 16 != kVoiceMode) return;
    if (value & kKeyOn)
        KeyOn(voice);
    else
        voice.playing = false;
}

int CC140::Expand(int8_t byte) {
    const int mantissa = byte >> 3, exponent = byte & 7;
    const int shifted = mantissa * (1 << exponent);
    return mantissa < 0 ? shifted - kSegmentBase[exponent] : shifted + kSegmentBase[exponent];
}

// The bank and the start, end and loop are taken as the key goes on; the
// frequency and volumes are read as the voice plays.
void CC140::KeyOn(Voice& voice) {
    const uint16_t start = Word(voice.regs, kVoiceStartHigh);
    const uint16_t end = Word(voice.regs, kVoiceEndHigh);
    const uint16_t loop = Word(voice.regs, kVoiceLoopHigh);
    voice.base = RomAddress(voice.regs[kVoiceBank], start);
    voice.length = end > start ? end - start : 0u;
    voice.loopAt = loop >= start && loop < end ? loop - start : 0u;
    voice.position = 0;
    voice.fraction = 0;
    voice.playing = voice.length > 0;
    voice.value = SampleAt(voice);
}

// The boards put the bank's high bits on different address lines.
uint32_t CC140::RomAddress(uint8_t bank, uint16_t address) const {
    const uint32_t at = static_cast<uint32_t>(bank) << 16 | address;
    if (m_banking == Banking::System21) return ((at & 0x300000) >> 1) + (at & 0x7FFFF);
    return ((at & 0x200000) >> 2) | (at & 0x7FFFF);
}

int CC140::SampleAt(const Voice& voice) const {
    const uint32_t at = voice.base + voice.position;
    const auto byte = static_cast<int8_t>(at < m_rom.size() ? m_rom[at] : 0);
    return (voice.regs[kVoiceMode] & kCompressed) ? Expand(byte) : byte * 32;
}

// On by the frequency's steps of 65536ths of a byte (two for each unit);
// past the end the voice goes on from its loop point, or ends.
void CC140::Step(Voice& voice) {
    voice.fraction += 2u * Word(voice.regs, kVoiceFrequencyHigh);
    const uint32_t bytes = voice.fraction >> 16;
    voice.fraction &= 0xFFFF;
    if (bytes == 0) return;
    voice.position += bytes;
    if (voice.position >= voice.length) {
        if (!(voice.regs[kVoiceMode] & kLoop)) {
            voice.playing = false;
            return;
        }
        const uint32_t span = voice.length - voice.loopAt;
        voice.position = voice.loopAt + (voice.position - voice.length) % span;
    }
    voice.value = SampleAt(voice);
}

void CC140::NextSample(int& left, int& right) {
    int sumLeft = 0, sumRight = 0;
    for (Voice& voice : m_voices) {
        if (!voice.playing) continue;
        if (!voice.muted) {
            sumLeft += voice.value * voice.regs[kVoiceVolumeLeft];
            sumRight += voice.value * voice.regs[kVoiceVolumeRight];
        }
        Step(voice);
    }
    // 4096 (full scale) at volume 255 gives 8192: twice the product, of 255.
    left = sumLeft * 2 / 255;
    right = sumRight * 2 / 255;
}

} // namespace tarvocore
