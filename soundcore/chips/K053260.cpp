// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/K053260.h"

#include "chips/ChipVoices.h"

namespace tarvocore {

namespace {

constexpr int kClocksPerSample = 64;
// The pans' gains (of 65536) to the left and right: silence, then angles of
// 0, 24, 35, 45, 55, 66 and 90 degrees.
constexpr int kPanGains[8][2] = {{0, 0},         {65536, 0},     {59870, 26656}, {53684, 37950},
                                 {46341, 46341}, {37950, 53684}, {26656, 59870}, {0, 65536}};
// Each nibble of Konami's ADPCM adds its step to the 8-bit signal, which wraps.
constexpr int kAdpcmSteps[16] = {0, 1, 2, 4, 8, 16, 32, 64, -128, -64, -32, -16, -8, -4, -2, -1};

} // namespace

void CK053260::Reset() {
    m_keys = 0;
    m_soundOn = false;
    ResetKeepingMutes(m_voices);
    m_rom = CSharedRom{}; // the stream's data blocks fill it again
}

void CK053260::Mute(int voice, bool muted) {
    MuteVoice(m_voices, voice, muted);
}

void CK053260::Write(uint8_t reg, uint8_t value) {
    reg &= 0x3F;
    if (reg >= 0x08 && reg < 0x28) {
        Voice& voice = m_voices[static_cast<size_t>((reg - 0x08) / 8)];
        switch (reg & 7) {
        case 0:
            voice.pitch = static_cast<uint16_t>((voice.pitch & 0x0F00) | value);
            break;
        case 1:
            voice.pitch = static_cast<uint16_t>((voice.pitch & 0x00FF) | (value & 0x0F) << 8);
            break;
        case 2:
            voice.length = static_cast<uint16_t>((voice.length & 0xFF00) | value);
            break;
        case 3:
            voice.length = static_cast<uint16_t>((voice.length & 0x00FF) | value << 8);
            break;
        case 4:
            voice.start = (voice.start & 0x1FFF00) | value;
            break;
        case 5:
            voice.start = (voice.start & 0x1F00FF) | static_cast<uint32_t>(value) << 8;
            break;
        case 6:
            voice.start = (voice.start & 0x00FFFF) | static_cast<uint32_t>(value & 0x1F) << 16;
            break;
        default:
            voice.volume = value & 0x7F;
            break;
        }
        return;
    }
    switch (reg) {
    case 0x28: // a voice keyed on as its bit rises, off as it falls
        for (int v = 0; v < kVoices; ++v) {
            Voice& voice = m_voices[static_cast<size_t>(v)];
            if ((value & ~m_keys) & (1 << v))
                KeyOn(voice);
            else if (!(value & (1 << v)))
                voice.playing = false;
        }
        m_keys = value;
        break;
    case 0x2A:
        for (int v = 0; v < kVoices; ++v) {
            m_voices[static_cast<size_t>(v)].loop = (value >> v) & 1;
            m_voices[static_cast<size_t>(v)].adpcm = (value >> (v + 4)) & 1;
        }
        break;
    case 0x2C:
    case 0x2D: {
        const size_t first = reg == 0x2C ? 0 : 2;
        m_voices[first].pan = value & 7;
        m_voices[first + 1].pan = (value >> 3) & 7;
        break;
    }
    case 0x2F:
        m_soundOn = (value & 0x02) != 0;
        break;
    default:
        break;
    }
}

// Its counter one sample short of a step, so the first byte sounds at once.
void CK053260::KeyOn(Voice& voice) {
    voice.playing = true;
    voice.position = 0;
    voice.counter = 4096 - kClocksPerSample;
    voice.output = 0;
}

// The voice's next sample: a byte, or a nibble (the low one first) added to
// the signal; past its length it starts again or ends.
void CK053260::Step(Voice& voice) {
    uint32_t byte = voice.adpcm ? voice.position / 2 : voice.position;
    if (byte > voice.length) {
        if (!voice.loop) {
            voice.playing = false;
            return;
        }
        voice.position = byte = 0;
        voice.output = 0;
    }
    const uint8_t data = RomByte(voice.start + byte);
    if (voice.adpcm) {
        const int nibble = (voice.position & 1) ? data >> 4 : data & 0x0F;
        voice.output =
            static_cast<int8_t>(static_cast<uint8_t>(voice.output + kAdpcmSteps[nibble]));
    } else {
        voice.output = static_cast<int8_t>(data);
    }
    ++voice.position;
}

void CK053260::NextSample(int& left, int& right) {
    double sumLeft = 0, sumRight = 0;
    for (Voice& voice : m_voices) {
        if (!voice.playing) continue;
        voice.counter += kClocksPerSample;
        while (voice.counter >= 4096 && voice.playing) {
            voice.counter -= 4096 - voice.pitch;
            Step(voice);
        }
        if (voice.muted || !m_soundOn || !voice.playing) continue;
        const double level = voice.output * 64.0 * voice.volume / 127.0;
        sumLeft += level * kPanGains[voice.pan][0] / 65536.0;
        sumRight += level * kPanGains[voice.pan][1] / 65536.0;
    }
    left = static_cast<int>(sumLeft);
    right = static_cast<int>(sumRight);
}

} // namespace tarvocore
