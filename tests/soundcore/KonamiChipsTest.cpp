// SPDX-License-Identifier: GPL-3.0-or-later
// Konami's K053260, checked by measurement: its pitch by the rule of its
// 12-bit pitch register, its PCM and ADPCM samples decoded by hand, volume,
// pans, loops and keys, and a VGM of it through the engine.
#include "chips/K053260.h"
#include "engines/VgmEngine.h"
#include "soundcore/ChipMeasures.h"
#include "tools/compose/VgmStream.h"

#include <gtest/gtest.h>

using namespace tarvo::test;
using tarvocore::Bytes;
using tarvocore::CK053260;

namespace {

constexpr uint32_t kKonamiClock = 3579545;

// Voice 0 set to play `length` + 1 bytes from 0x10, a step a sample, full
// volume, panned as asked, the sound on.
CK053260 Voice0(const Bytes& rom, int length, uint8_t pan, uint8_t mode = 0) {
    CK053260 chip;
    chip.Reset();
    chip.SetClock(kKonamiClock);
    chip.Rom().Writable() = rom;
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{
             {0x08, 0xC0},
             {0x09, 0x0F}, // pitch 4032: 4096 - 64, one step every sample
             {0x0A, static_cast<uint8_t>(length)},
             {0x0B, 0x00},
             {0x0C, 0x10},
             {0x0D, 0x00},
             {0x0E, 0x00},
             {0x0F, 0x7F},
             {0x2A, mode},
             {0x2C, pan},
             {0x2F, 0x02}})
        chip.Write(reg, value);
    return chip;
}

std::vector<int> Samples(CK053260& chip, int count, bool right = false) {
    std::vector<int> samples;
    for (int i = 0; i < count; ++i) {
        int left = 0, rightSample = 0;
        chip.NextSample(left, rightSample);
        samples.push_back(right ? rightSample : left);
    }
    return samples;
}

} // namespace

// PCM: each byte a signed sample, 64 times its value at full volume on the
// side its pan names (45 degrees: 0.707 of it on each); it plays its length
// and one byte more, then ends, or loops when asked; keyed off it stops.
TEST(K053260, PlaysPcmBytesAtTheirLevelsOnTheSidesTheirPanNames) {
    Bytes rom(0x20, 0);
    for (uint8_t i = 0; i < 4; ++i)
        rom[0x10 + i] = static_cast<uint8_t>(0x40 - 0x20 * i); // 64, 32, 0, -32
    CK053260 chip = Voice0(rom, 3, 0x01);                      // pan 1: left
    chip.Write(0x28, 0x01);
    EXPECT_EQ(Samples(chip, 5), (std::vector<int>{4096, 2048, 0, -2048, 0}));
    EXPECT_FALSE(chip.Playing(0));

    chip = Voice0(rom, 3, 0x04); // 45 degrees
    chip.Write(0x28, 0x01);
    EXPECT_EQ(Samples(chip, 1, true), std::vector<int>{2896});

    chip = Voice0(rom, 3, 0x07, 0x01); // right, looped
    chip.Write(0x28, 0x01);
    EXPECT_EQ(Samples(chip, 6, true), (std::vector<int>{4096, 2048, 0, -2048, 4096, 2048}));
    chip.Write(0x28, 0x00);
    EXPECT_FALSE(chip.Playing(0));
    chip.Write(0x2F, 0x00); // the sound off: silent whatever plays
    chip.Write(0x28, 0x01);
    EXPECT_EQ(Samples(chip, 2, true), (std::vector<int>{0, 0}));
}

// ADPCM: the low nibble first, each adding its step to an 8-bit signal that
// wraps: 0x21 gives 1 then 3, 0x88 takes 128 twice, 3 - 256 wrapping to 3.
TEST(K053260, DecodesItsAdpcmLowNibbleFirstWrappingItsSignal) {
    Bytes rom(0x20, 0);
    rom[0x10] = 0x21;
    rom[0x11] = 0x88;
    CK053260 chip = Voice0(rom, 1, 0x01, 0x10);
    chip.Write(0x28, 0x01);
    const std::vector<int> heard = Samples(chip, 4);
    EXPECT_EQ(heard, (std::vector<int>{1 * 64, 3 * 64, -125 * 64, 3 * 64}));
}

// Through the engine: its ROM from data block 0x8E, its registers on 0xBA; a
// square of 16 bytes at pitch 3072 repeats clock / 1024 / 16 times a second.
TEST(K053260, AVgmOfTheChipSoundsAtItsPitch) {
    compose::VgmStream stream({{0xAC, kKonamiClock}});
    Bytes square(16, 0x40);
    std::fill(square.begin() + 8, square.end(), 0xC0);
    stream.Rom(0x8E, 0x100, 0, square);
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{{0x08, 0x00},
                                                                                {0x09, 0x0C},
                                                                                {0x0A, 0x0F},
                                                                                {0x0B, 0x00},
                                                                                {0x0C, 0x00},
                                                                                {0x0D, 0x00},
                                                                                {0x0E, 0x00},
                                                                                {0x0F, 0x7F},
                                                                                {0x2A, 0x01},
                                                                                {0x2C, 0x04},
                                                                                {0x2F, 0x02},
                                                                                {0x28, 0x01}})
        stream.Command({0xBA, reg, value});
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(stream.Wait(44100).Finish(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<int16_t> heard = RenderAll(engine, 22050);
    EXPECT_NEAR(Cents(PitchOf(heard, 0), kKonamiClock / 1024.0 / 16), 0, 3);
    EXPECT_EQ(engine.Voices().front(), "K053260 voice 1");
    std::vector<bool> muted(engine.Voices().size(), true);
    engine.MuteVoices(muted);
    ASSERT_TRUE(engine.Seek(0, [] { return false; }));
    EXPECT_EQ(PeakOf(RenderAll(engine, 4410), 0, 4410), 0);
}
