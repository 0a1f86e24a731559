// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>

struct _opl3_chip;

namespace tarvocore {

// Yamaha's OPL family on the Nuked OPL3 emulator that AdPlug ships: the
// YM3526 (OPL), YM3812 (OPL2) and YMF262 (OPL3). An OPL3 plays the older
// chips' music as they did; what each older chip lacked is put back here
// (the OPL's single waveform, the OPL2's waveform-select enable). Nine
// two-operator channels, eighteen on the OPL3.
//
// The emulator's state points into itself, so a copy (a state kept) moves
// those pointers to its own; a chip never written to or sampled holds none.
class COplChip {
public:
    enum class Kind { Opl, Opl2, Opl3 };

    COplChip();
    ~COplChip();
    COplChip(const COplChip& other);
    COplChip& operator=(const COplChip& other);
    COplChip(COplChip&&) noexcept;
    COplChip& operator=(COplChip&&) noexcept;

    void SetKind(Kind kind) { m_kind = kind; }
    int Channels() const { return m_kind == Kind::Opl3 ? 18 : 9; }
    void Reset();
    void SetClock(uint32_t clock) { m_clock = clock; }
    // A sample every 72 clocks (3.58 MHz: 49.7 kHz), 288 of the OPL3's.
    double Rate() const { return m_clock / (m_kind == Kind::Opl3 ? 288.0 : 72.0); }
    // Port 1 is the OPL3's second bank of registers.
    void Write(int port, uint8_t reg, uint8_t value);
    void Mute(int channel, bool muted);
    void NextSample(int& left, int& right);

private:
    _opl3_chip& Chip();
    // A register (the bank in bit 8) as the song wrote it, passed to the
    // emulator as this chip and its mutes have it.
    void Pass(int reg);
    bool WaveformsSelectable() const;
    void Gate(int channel);

    Kind m_kind = Kind::Opl2;
    uint32_t m_clock = 3579545;
    std::unique_ptr<_opl3_chip> m_chip;
    std::array<uint8_t, 512> m_written{};
    std::array<bool, 18> m_muted{};
};

} // namespace tarvocore
