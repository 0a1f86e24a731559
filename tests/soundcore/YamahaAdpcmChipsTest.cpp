// SPDX-License-Identifier: GPL-3.0-or-later
// Yamaha's chips with ADPCM, the YM2610, YM2610B and Y8950, checked by
// measurement: FM and SSG pitches by the data sheet's formulas, ADPCM-A and
// ADPCM-B samples against a hand decode, levels, sides and keys, and VGMs of
// the chips through the engine.
#include "chips/Y8950.h"
#include "chips/Ym2610.h"
#include "engines/VgmEngine.h"
#include "game/VgmValidator.h"
#include "soundcore/ChipMeasures.h"
#include "tools/compose/VgmStream.h"

#include <gtest/gtest.h>

using namespace tarvo::test;
using compose::VgmStream;
using tarvocore::Bytes;
using tarvocore::CYm2610;

namespace {

constexpr uint32_t kClock = 8000000; // the Neo Geo's: 55556 samples a second

// Channel `channel` (0 to 5) as a plain sine at full level, 1084 in block 4.
void Sine(CYm2610& chip, int channel) {
    const int port = channel / 3, index = channel % 3;
    for (uint8_t reg = 0x30; reg < 0x90; reg += 4) {
        const uint8_t value = reg < 0x40                  ? 0x01
                              : reg == 0x4C               ? 0x00 // S4 at full level
                              : reg >= 0x40 && reg < 0x50 ? 0x7F
                              : reg >= 0x50 && reg < 0x60 ? 0x1F
                              : reg >= 0x80               ? 0x0F
                                                          : 0x00;
        chip.Write(port, static_cast<uint8_t>(reg + index), value);
    }
    chip.Write(port, static_cast<uint8_t>(0xB0 + index), 0x07);
    chip.Write(port, static_cast<uint8_t>(0xB4 + index), 0xC0);
    chip.Write(port, static_cast<uint8_t>(0xA4 + index), 4 << 3 | 1084 >> 8);
    chip.Write(port, static_cast<uint8_t>(0xA0 + index), 1084 & 0xFF);
    chip.Write(0, 0x28, static_cast<uint8_t>(0xF0 | (port * 4 + index)));
}

CYm2610 Chip(bool modelB) {
    CYm2610 chip;
    chip.SetModelB(modelB);
    chip.Reset();
    chip.SetClock(kClock);
    return chip;
}

// Left samples of the chip's next `count` samples.
template <typename Chip> std::vector<int> Lefts(Chip& chip, int count) {
    std::vector<int> lefts;
    for (int i = 0; i < count; ++i) {
        int left = 0, right = 0;
        chip.NextSample(left, right);
        lefts.push_back(left);
    }
    return lefts;
}

// Nibbles 7, 7, 0, 8 at the start of the ROM's second 256 bytes.
Bytes AdpcmRom() {
    Bytes rom(512, 0x00);
    rom[256] = 0x77;
    rom[257] = 0x08;
    return rom;
}

} // namespace

// FM: the OPN's rule at clock / 144 (1084 in block 4 at 8 MHz is 459.47 Hz);
// the YM2610 has the second, third, fifth and sixth channels, the B all six.
// SSG: clock / 64 / period (250 gives 500 Hz).
TEST(Ym2610, FmAndSsgSoundAtTheirDocumentedPitchesOnTheChannelsEachModelHas) {
    for (const bool modelB : {false, true}) {
        SCOPED_TRACE(modelB);
        CYm2610 chip = Chip(modelB);
        Sine(chip, 0);
        EXPECT_EQ(PeakOf(RenderStereo(chip, 0.05), 0, 2000) > 6000, modelB);
        chip = Chip(modelB);
        Sine(chip, 4);
        const std::vector<int16_t> fm = RenderStereo(chip, 0.5);
        EXPECT_NEAR(Cents(FrequencyOf(fm, 0) * chip.Rate() / 44100, 459.47), 0, 1);
        chip.Mute(modelB ? 4 : 2, true); // the fifth channel is the third voice of four
        EXPECT_EQ(PeakOf(RenderStereo(chip, 0.05), 0, 2000), 0);
    }
    CYm2610 chip = Chip(false);
    chip.Write(0, 0x00, 250 & 0xFF); // tone A's period
    chip.Write(0, 0x01, 0);
    chip.Write(0, 0x07, 0x3E); // tone A alone
    chip.Write(0, 0x08, 0x0F);
    const std::vector<int16_t> ssg = RenderStereo(chip, 0.5);
    EXPECT_NEAR(Cents(FrequencyOf(ssg, 0) * chip.Rate() / 44100, 500), 0, 2);
}

// ADPCM-A: nibbles 7, 7, 0, 8 decode as OKI's ADPCM does (30, 93, 102, 94),
// a step every third sample, four times the signal at full level; each
// level step is 0.75 dB; a channel plays to the end of its end's 256 bytes
// and goes to the sides its register names.
TEST(Ym2610, AdpcmADecodesItsNibblesAtTheirLevelAndSides) {
    CYm2610 chip = Chip(false);
    chip.AdpcmARom().Writable() = AdpcmRom();
    chip.Write(1, 0x01, 0x3F); // total level: full
    chip.Write(1, 0x08, 0x9F); // channel 1: left only, full
    chip.Write(1, 0x10, 0x01); // start at 0x100
    chip.Write(1, 0x20, 0x01); // end with 0x1FF
    chip.Write(1, 0x00, 0x01);
    std::vector<int> lefts = Lefts(chip, 12);
    EXPECT_EQ(lefts,
              (std::vector<int>{120, 120, 120, 372, 372, 372, 408, 408, 408, 376, 376, 376}));
    int left = 0, right = 0;
    chip.NextSample(left, right);
    EXPECT_EQ(right, 0);
    Lefts(chip, 3 * 512);
    EXPECT_EQ(Lefts(chip, 3), (std::vector<int>{0, 0, 0})); // past its end

    chip.Write(1, 0x08, 0x97); // 8 steps down: 6 dB
    chip.Write(1, 0x00, 0x01);
    lefts = Lefts(chip, 12);
    lefts.erase(std::unique(lefts.begin(), lefts.end()), lefts.end()); // each step once
    if (lefts.front() == 0) lefts.erase(lefts.begin());                // held until the first step
    const double down = std::pow(10.0, -6.0 / 20);
    ASSERT_GE(lefts.size(), 4u);
    const int full[] = {120, 372, 408, 376};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(lefts[i], full[i] * down, 1) << i;
    chip.Write(1, 0x00, 0x81); // keyed off: silent from its next step
    EXPECT_EQ(Lefts(chip, 6).back(), 0);
}

// ADPCM-B: nibbles 7, 7, 0, 8 decode to 238, 806, 896, 816 (the step from 127
// scaled by 153, 153, 57 and 57 64ths); a delta-N of 32768 takes a nibble
// every second sample, the signal going by a straight line between.
TEST(Ym2610, AdpcmBDecodesItsNibblesAtTheRateDeltaNSets) {
    CYm2610 chip = Chip(false);
    chip.AdpcmBRom().Writable() = AdpcmRom();
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{{0x11, 0xC0},
                                                                                {0x12, 0x01},
                                                                                {0x13, 0x00},
                                                                                {0x14, 0x01},
                                                                                {0x15, 0x00},
                                                                                {0x19, 0x00},
                                                                                {0x1A, 0x80},
                                                                                {0x1B, 0xFF},
                                                                                {0x10, 0x80}})
        chip.Write(0, reg, value);
    const std::vector<int> lefts = Lefts(chip, 9);
    const double level = 255.0 / 256 / 4;
    const std::vector<double> signal{0, 0, 119, 238, 522, 806, 851, 896, 856};
    for (size_t i = 0; i < signal.size(); ++i)
        EXPECT_NEAR(lefts[i], signal[i] * level, 1) << i;
}

// Through the engine: the ROMs from data blocks 0x82 and 0x83, the ports on
// 0x58 and 0x59, each voice listed and muted there; the B named as such.
TEST(Ym2610, AVgmOfTheChipPlaysItsAdpcmThroughTheEngine) {
    const auto vgm = [](uint32_t clock) {
        VgmStream stream({{0x4C, clock}});
        stream.Rom(0x82, 512, 0, AdpcmRom());
        Bytes loud(256, 0x77); // a rising ramp, then held
        stream.Rom(0x83, 512, 256, loud);
        stream.Command({0x59, 0x01, 0x3F, 0x59, 0x08, 0xDF, 0x59, 0x10, 0x01, 0x59, 0x20, 0x01,
                        0x59, 0x00, 0x01});
        return stream.Wait(4410).Finish();
    };
    std::string error;
    const tarvocore::CheckedMusic checked = tarvocore::CVgmValidator::Check(vgm(kClock));
    ASSERT_TRUE(checked.ok()) << checked.error;
    EXPECT_EQ(checked.chipSummary, "YM2610 8.00 MHz");
    tarvocore::CVgmEngine engine;
    ASSERT_TRUE(engine.Open(vgm(kClock), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<std::string> voices = engine.Voices();
    ASSERT_EQ(voices.size(), 4u + 3 + 6 + 1);
    EXPECT_EQ(voices[0], "YM2610 FM 1");
    EXPECT_EQ(voices[4], "YM2610 SSG 1");
    EXPECT_EQ(voices[7], "YM2610 ADPCM-A 1");
    EXPECT_EQ(voices.back(), "YM2610 ADPCM-B 1");
    EXPECT_GT(PeakOf(RenderAll(engine, 441), 0, 441), 300);
    std::vector<bool> muted(voices.size());
    muted[7] = true;
    engine.MuteVoices(muted);
    ASSERT_TRUE(engine.Seek(0, [] { return false; }));
    EXPECT_EQ(PeakOf(RenderAll(engine, 441), 0, 441), 0);

    ASSERT_TRUE(engine.Open(vgm(kClock | 1u << 31), {}, error)) << error;
    EXPECT_EQ(engine.Voices().size(), 6u + 3 + 6 + 1);
    EXPECT_EQ(engine.Info().system, "Arcade board (YM2610B)");
}

// The Y8950: the YM3526's FM (fnum * clock / 72 / 2^(20 - block): 0x244 in
// block 4 at 3.58 MHz is 440.0 Hz) and the same ADPCM-B decode, its
// addresses in 32-byte units (start 8 is byte 256), from data block 0x88.
TEST(Y8950, PlaysItsFmAndItsAdpcmFromTheRomTheStreamGives) {
    constexpr uint32_t kOplClock = 3579545;
    VgmStream stream({{0x58, kOplClock}});
    stream.Rom(0x88, 512, 0, AdpcmRom());
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{{0x20, 0x01},
                                                                                {0x23, 0x01},
                                                                                {0x40, 0x3F},
                                                                                {0x43, 0x00},
                                                                                {0x60, 0xF0},
                                                                                {0x63, 0xF0},
                                                                                {0x80, 0x0F},
                                                                                {0x83, 0x0F},
                                                                                {0xC0, 0x01},
                                                                                {0xA0, 0x44},
                                                                                {0xB0, 0x32}})
        stream.Command({0x5C, reg, value});
    std::string error;
    tarvocore::CVgmEngine engine;
    ASSERT_TRUE(engine.Open(stream.Wait(22050).Finish(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    EXPECT_NEAR(Cents(FrequencyOf(RenderAll(engine, 22050), 0), 440.0), 0, 2);
    EXPECT_EQ(engine.Voices().back(), "Y8950 ADPCM 1");
    EXPECT_EQ(engine.Voices().size(), 10u);

    tarvocore::CY8950 chip;
    chip.Reset();
    chip.SetClock(kOplClock);
    chip.AdpcmRom().Writable() = AdpcmRom();
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{{0x09, 0x08},
                                                                                {0x0A, 0x00},
                                                                                {0x0B, 0x0F},
                                                                                {0x0C, 0x00},
                                                                                {0x10, 0x00},
                                                                                {0x11, 0x80},
                                                                                {0x12, 0xFF},
                                                                                {0x07, 0x80}})
        chip.Write(reg, value);
    const std::vector<int> lefts = Lefts(chip, 9);
    const std::vector<double> signal{0, 0, 119, 238, 522, 806, 851, 896, 856};
    for (size_t i = 0; i < signal.size(); ++i)
        EXPECT_NEAR(lefts[i], signal[i] * 255 / 256 / 4, 1) << i;
    chip.Mute(9, true);
    int left = 1, right = 1;
    chip.NextSample(left, right);
    EXPECT_EQ(left, 0);
}
