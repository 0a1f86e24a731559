// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/SharedRom.h"

#include <cstdint>
#include <vector>

namespace tarvocore {

// NEC's uPD7759 (speech and drums on Sega's and others' boards): one voice of
// 4-bit ADPCM into a 9-bit signal, the step of each nibble from one of 16
// tables that the nibbles before it choose. A sample ("phrase") is a run of
// blocks, each led by a header byte: 00xxxxxx silence of (x + 1) * 1024
// clocks (00000000 after the first header: the end), 01xxxxxx 256 nibbles
// and 10xxxxxx nnnnnnnn n + 1 nibbles at one every 4 * (x + 1) clocks (the
// high nibble of each byte first), 11xxxxxx the next block played (x & 7) + 1
// times. In master mode the chip reads its ROM itself: byte 0 the last phrase
// it holds, from byte 5 each phrase's address in 16-bit words (high byte
// first), where a byte is passed over before its first header. In slave mode
// the board hands it those same bytes, one by one, through its port.
//
// Registers, as the format gives them: 0 the reset line (0 holds the chip in
// reset), 1 the start line (a rise starts the phrase on the port), 2 the
// port, 3 the ROM's bank in master mode (128 KiB each).
class CUpd7759 {
public:
    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    void SetSlaveMode(bool slave) { m_slave = slave; }
    // A sample every 4 clocks, the quickest a nibble can come.
    double Rate() const { return m_clock / 4.0; }
    void Write(uint8_t reg, uint8_t value);
    void Mute(int, bool muted) { m_muted = muted; }
    CSharedRom& Rom() { return m_rom; }
    bool Playing() const { return m_state != State::Idle; }
    // The next sample: the signal at full scale (256) gives 8192.
    int NextSample();

private:
    enum class State {
        Idle,
        LastPhrase,
        Dummy,
        AddressHigh,
        AddressLow,
        SkippedByte,
        BlockHeader,
        NibbleCount,
        HighNibble,
        LowNibble,
    };
    void Start();
    // Runs the state the chip is in; false when it waits for the board's byte.
    bool Advance();
    bool NextByte(uint8_t& byte);
    void BlockHeader(uint8_t header);
    void Decode(int nibble);

    CSharedRom m_rom;
    uint32_t m_clock = 640000;
    bool m_slave = false;
    bool m_muted = false;
    bool m_resetLine = true, m_startLine = false;
    uint8_t m_port = 0;
    uint32_t m_bank = 0;
    // Slave mode: the board's bytes, those before m_taken taken already.
    std::vector<uint8_t> m_handed;
    size_t m_taken = 0;

    State m_state = State::Idle;
    int m_clocksLeft = 0;
    uint32_t m_offset = 0; // of the ROM byte read next, within the bank
    uint8_t m_phrase = 0;
    uint32_t m_phraseAt = 0; // the phrase's first byte, as its address is read
    uint8_t m_byte = 0;      // whose nibbles are played
    int m_period = 4;        // clocks a nibble
    int m_nibblesLeft = 0;
    int m_repeats = 0;
    uint32_t m_repeatAt = 0;
    bool m_headerSeen = false; // a header other than 0 came in this phrase
    int m_signal = 0;
    int m_table = 0;
};

} // namespace tarvocore
