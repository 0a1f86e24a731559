// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Upd7759.h"

#include <algorithm>

namespace tarvocore {

namespace {

// The step each nibble's low three bits add (bit 3 subtracts it), in the
// table the nibbles before chose; the table moves by kTableMove.
constexpr int kSteps[16][8] = {
    {0, 0, 1, 2, 3, 5, 7, 10},         {0, 1, 2, 3, 4, 6, 8, 13},
    {0, 1, 2, 4, 5, 7, 10, 15},        {0, 1, 3, 4, 6, 9, 13, 19},
    {0, 2, 3, 5, 8, 11, 15, 23},       {0, 2, 4, 7, 10, 14, 19, 29},
    {0, 3, 5, 8, 12, 16, 22, 33},      {1, 4, 7, 10, 15, 20, 29, 43},
    {1, 4, 8, 13, 18, 25, 35, 53},     {1, 6, 10, 16, 22, 31, 43, 64},
    {2, 7, 12, 19, 27, 37, 51, 76},    {2, 9, 16, 24, 34, 46, 64, 96},
    {3, 11, 19, 29, 41, 57, 79, 117},  {4, 13, 24, 36, 50, 69, 96, 143},
    {4, 16, 29, 44, 62, 85, 118, 175}, {6, 20, 36, 54, 76, 104, 144, 214},
};
constexpr int kTableMove[8] = {-1, -1, 0, 0, 1, 2, 2, 3};
// Clocks the chip takes over a header or a step of its start.
constexpr int kByteClocks = 36;
constexpr uint32_t kBankBytes = 0x20000;
// Bytes a board may hand over ahead of the chip's need, in slave mode.
constexpr size_t kMostHanded = 4096;
constexpr int kLargest = 255, kSmallest = -256; // the 9-bit signal

enum UpdRegister { kUpdResetLine = 0, kUpdStartLine = 1, kUpdPort = 2, kUpdBank = 3 };

} // namespace

void CUpd7759::Reset() {
    const bool slave = m_slave, muted = m_muted;
    const uint32_t clock = m_clock;
    *this = CUpd7759{};
    m_slave = slave;
    m_muted = muted;
    m_clock = clock;
}

void CUpd7759::Write(uint8_t reg, uint8_t value) {
    const bool high = value != 0;
    switch (reg) {
    case kUpdResetLine:
        if (m_resetLine && !high) { // held in reset: silent and idle
            m_state = State::Idle;
            m_signal = 0;
            m_handed.clear();
            m_taken = 0;
        }
        m_resetLine = high;
        break;
    case kUpdStartLine:
        if (!m_startLine && high && m_resetLine && m_state == State::Idle) Start();
        m_startLine = high;
        break;
    case kUpdPort:
        m_port = value;
        if (m_slave && m_state != State::Idle && m_handed.size() - m_taken < kMostHanded)
            m_handed.push_back(value);
        break;
    case kUpdBank:
        m_bank = value * kBankBytes;
        break;
    default:
        break;
    }
}

void CUpd7759::Start() {
    m_phrase = m_port;
    m_handed.clear();
    m_taken = 0;
    m_state = State::LastPhrase;
    m_clocksLeft = kByteClocks;
    m_signal = 0;
    m_table = 0;
    m_repeats = 0;
    m_headerSeen = false;
}

// The ROM's next byte in master mode, the board's in slave mode (false
// while it has handed none).
bool CUpd7759::NextByte(uint8_t& byte) {
    if (m_slave) {
        if (m_taken == m_handed.size()) return false;
        byte = m_handed[m_taken++];
        // What was taken is let go, at once when all was, so the buffer
        // never grows past twice the most a board may hand ahead.
        if (m_taken == m_handed.size() || m_taken >= kMostHanded) {
            m_handed.erase(m_handed.begin(), m_handed.begin() + static_cast<long>(m_taken));
            m_taken = 0;
        }
        return true;
    }
    const uint32_t at = m_bank + (m_offset & (kBankBytes - 1));
    byte = at < m_rom.size() ? m_rom[at] : 0;
    ++m_offset;
    return true;
}

// Master mode reads its start from fixed places of the bank; slave mode takes
// the board's bytes in the same order, the one it passes over included.
bool CUpd7759::Advance() {
    const State state = m_state;
    if (!m_slave) {
        if (state == State::LastPhrase) m_offset = 0;
        if (state == State::AddressHigh) m_offset = 5 + 2u * m_phrase;
        if (state == State::BlockHeader && m_repeats > 0) {
            --m_repeats;
            m_offset = m_repeatAt;
        }
    }
    uint8_t byte = 0;
    const bool reads = state != State::LowNibble && (m_slave || state != State::Dummy);
    if (reads && !NextByte(byte)) return false;
    m_clocksLeft += kByteClocks;
    switch (state) {
    case State::LastPhrase: // in slave mode the board chooses: no count to check
        m_state = !m_slave && m_phrase > byte ? State::Idle : State::Dummy;
        break;
    case State::Dummy:
        m_state = State::AddressHigh;
        break;
    case State::AddressHigh:
        m_phraseAt = static_cast<uint32_t>(byte) << 9;
        m_state = State::AddressLow;
        break;
    case State::AddressLow:
        m_offset = m_phraseAt | static_cast<uint32_t>(byte) << 1;
        m_state = State::SkippedByte;
        break;
    case State::SkippedByte:
        m_state = State::BlockHeader;
        break;
    case State::BlockHeader:
        BlockHeader(byte);
        break;
    case State::NibbleCount:
        m_nibblesLeft = byte + 1;
        m_state = State::HighNibble;
        break;
    case State::HighNibble:
    case State::LowNibble:
        if (state == State::HighNibble) m_byte = byte;
        Decode(state == State::HighNibble ? m_byte >> 4 : m_byte & 0x0F);
        m_clocksLeft += m_period - kByteClocks;
        --m_nibblesLeft;
        m_state = m_nibblesLeft == 0           ? State::BlockHeader
                  : state == State::HighNibble ? State::LowNibble
                                               : State::HighNibble;
        break;
    case State::Idle:
        break;
    }
    return true;
}

void CUpd7759::BlockHeader(uint8_t header) {
    const int parameter = header & 0x3F;
    switch (header & 0xC0) {
    case 0x00: // silence, or after the first header 0 the phrase's end
        m_clocksLeft += 1024 * (parameter + 1) - kByteClocks;
        m_state = header == 0 && m_headerSeen ? State::Idle : State::BlockHeader;
        m_signal = 0;
        m_table = 0;
        break;
    case 0x40:
        m_period = 4 * (parameter + 1);
        m_nibblesLeft = 256;
        m_state = State::HighNibble;
        break;
    case 0x80:
        m_period = 4 * (parameter + 1);
        m_state = State::NibbleCount;
        break;
    default: // a board in slave mode hands the repeats over itself
        m_repeats = m_slave ? 0 : (header & 7) + 1;
        m_repeatAt = m_offset;
        break;
    }
    if (header != 0) m_headerSeen = true;
}

void CUpd7759::Decode(int nibble) {
    const int step = kSteps[m_table][nibble & 7];
    m_signal = std::clamp(m_signal + ((nibble & 8) ? -step : step), kSmallest, kLargest);
    m_table = std::clamp(m_table + kTableMove[nibble & 7], 0, 15);
}

int CUpd7759::NextSample() {
    if (m_state != State::Idle) {
        m_clocksLeft -= 4;
        while (m_clocksLeft <= 0 && m_state != State::Idle)
            if (!Advance()) { // waiting for the board's byte
                m_clocksLeft = 0;
                break;
            }
    }
    return m_muted ? 0 : m_signal * 32;
}

} // namespace tarvocore
