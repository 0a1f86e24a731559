// SPDX-License-Identifier: GPL-3.0-or-later
// Namco's C140, checked by measurement: linear and compressed bytes decoded
// by hand at their volumes, its rate by the rule of its frequency register,
// loops, keys and the boards' banking, and a VGM of it through the engine.
#include "chips/C140.h"
#include "engines/VgmEngine.h"
#include "game/VgmValidator.h"
#include "soundcore/ChipMeasures.h"
#include "tools/compose/VgmStream.h"

#include <gtest/gtest.h>

using namespace tarvo::test;
using tarvocore::Bytes;
using tarvocore::CC140;

namespace {

constexpr uint32_t kNamcoClock = 21390;

struct VoiceSetup {
    uint16_t frequency = 0x8000; // a byte every sample
    uint8_t mode = 0x80;         // keyed on, linear, once
    uint8_t left = 255, right = 0;
    uint16_t start = 0x10, end = 0x14, loop = 0x10;
    uint8_t bank = 0;
};

// Voice 3 (registers 0x30 to 0x3B) set up and keyed on.
void KeyVoice3(CC140& chip, const VoiceSetup& v) {
    const uint8_t values[12] = {v.right,
                                v.left,
                                static_cast<uint8_t>(v.frequency >> 8),
                                static_cast<uint8_t>(v.frequency),
                                v.bank,
                                0,
                                static_cast<uint8_t>(v.start >> 8),
                                static_cast<uint8_t>(v.start),
                                static_cast<uint8_t>(v.end >> 8),
                                static_cast<uint8_t>(v.end),
                                static_cast<uint8_t>(v.loop >> 8),
                                static_cast<uint8_t>(v.loop)};
    for (uint16_t r = 0; r < 12; ++r)
        chip.Write(static_cast<uint16_t>(0x30 + r), values[r]);
    chip.Write(0x35, v.mode);
}

CC140 ChipWith(const Bytes& rom, CC140::Banking banking = CC140::Banking::System2) {
    CC140 chip;
    chip.Reset();
    chip.SetClock(kNamcoClock);
    chip.SetBanking(banking);
    chip.Rom().Writable() = rom;
    return chip;
}

std::vector<int> Samples(CC140& chip, int count, bool right = false) {
    std::vector<int> samples;
    for (int i = 0; i < count; ++i) {
        int l = 0, r = 0;
        chip.NextSample(l, r);
        samples.push_back(right ? r : l);
    }
    return samples;
}

Bytes RampRom() {
    Bytes rom(0x20, 0);
    for (uint8_t i = 0; i < 4; ++i)
        rom[0x10 + i] = static_cast<uint8_t>(0x40 - 0x20 * i); // 64, 32, 0, -32
    return rom;
}

} // namespace

// Linear: each byte 32 times its value, scaled by each side's volume (255
// twice over); from its start to its end, then silent, or on from its loop
// point; half the frequency holds each byte two samples; keyed off it stops.
TEST(C140, PlaysLinearBytesAtEachSidesVolumeForTheirLengthOrLooped) {
    CC140 chip = ChipWith(RampRom());
    KeyVoice3(chip, {});
    EXPECT_EQ(Samples(chip, 5), (std::vector<int>{4096, 2048, 0, -2048, 0}));
    EXPECT_FALSE(chip.Playing(3));

    KeyVoice3(chip, {.left = 0, .right = 128});
    EXPECT_EQ(Samples(chip, 2, true), (std::vector<int>{2056, 1028}));
    KeyVoice3(chip, {.frequency = 0x4000});
    EXPECT_EQ(Samples(chip, 4), (std::vector<int>{4096, 4096, 2048, 2048}));
    KeyVoice3(chip, {.mode = 0x90, .loop = 0x12});
    EXPECT_EQ(Samples(chip, 8), (std::vector<int>{4096, 2048, 0, -2048, 0, -2048, 0, -2048}));
    chip.Write(0x35, 0x10);
    EXPECT_FALSE(chip.Playing(3));
    chip.Mute(3, true);
    KeyVoice3(chip, {});
    EXPECT_EQ(Samples(chip, 2), (std::vector<int>{0, 0}));
}

// Compressed: a sign and mantissa (the top five bits) shifted by the
// exponent (the low three), and the exponent's segment added away from zero.
TEST(C140, ExpandsCompressedBytesByHand) {
    const struct {
        uint8_t byte;
        int value;
    } cases[] = {{0x00, 0},   {0x08, 1},       {0x11, 2 * 2 + 16},      {0x7F, 15 * 128 + 2032},
                 {0x80, -16}, {0xF9, -2 - 16}, {0xFF, -1 * 128 - 2032}, {0x2B, 5 * 8 + 112}};
    for (const auto& c : cases)
        EXPECT_EQ(CC140::Expand(static_cast<int8_t>(c.byte)), c.value) << int{c.byte};
    Bytes rom(0x20, 0);
    rom[0x10] = 0x7F;
    rom[0x11] = 0xF9;
    CC140 chip = ChipWith(rom);
    KeyVoice3(chip, {.mode = 0x88, .end = 0x12});
    EXPECT_EQ(Samples(chip, 3), (std::vector<int>{2 * 3952, 2 * -18, 0}));
}

// The bank's high bits go to different address lines on System 2 (bit 5 of
// the bank to address bit 19) and System 21 (bits 4 and 5 to 19 and 20).
TEST(C140, ReadsTheRomWhereEachBoardWiresTheBank) {
    const struct {
        CC140::Banking banking;
        uint8_t bank;
        size_t address;
    } cases[] = {{CC140::Banking::System2, 0x01, 0x10010},
                 {CC140::Banking::System2, 0x20, 0x80010},
                 {CC140::Banking::System2, 0x10, 0x00010}, // bit 4 is no address line there
                 {CC140::Banking::System21, 0x10, 0x80010},
                 {CC140::Banking::System21, 0x20, 0x100010}};
    for (const auto& c : cases) {
        Bytes rom(0x180000, 0);
        rom[c.address] = 0x40;
        CC140 chip = ChipWith(rom, c.banking);
        KeyVoice3(chip, {.bank = c.bank});
        EXPECT_EQ(Samples(chip, 1), std::vector<int>{4096}) << int{c.bank};
    }
}

// Through the engine: its ROM from data block 0x8D, its registers on 0xD4
// (the register's high byte first); a square of 16 bytes at frequency 0x8000
// repeats clock / 16 times a second. The validator names its clock in kHz.
TEST(C140, AVgmOfTheChipSoundsAtItsPitch) {
    compose::VgmStream stream({{0xA8, kNamcoClock}});
    Bytes square(16, 0x40);
    std::fill(square.begin() + 8, square.end(), 0xC0);
    stream.Rom(0x8D, 0x10000, 0x100, square);
    const uint8_t voice0[12] = {200, 200, 0x80, 0x00, 0, 0, 0x01, 0x00, 0x01, 0x10, 0x01, 0x00};
    for (uint8_t r = 0; r < 12; ++r)
        stream.Command({0xD4, 0x00, r, voice0[r]});
    stream.Command({0xD4, 0x00, 0x05, 0x90});
    const Bytes file = stream.Wait(44100).Finish();
    const tarvocore::CheckedMusic checked = tarvocore::CVgmValidator::Check(file);
    ASSERT_TRUE(checked.ok()) << checked.error;
    EXPECT_EQ(checked.chipSummary, "C140 21.39 kHz");
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(file, {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<int16_t> heard = RenderAll(engine, 22050);
    EXPECT_NEAR(Cents(PitchOf(heard, 1), kNamcoClock / 16.0), 0, 3);
    EXPECT_EQ(engine.Voices().size(), 24u);
    EXPECT_EQ(engine.Voices().front(), "C140 voice 1");
    std::vector<bool> muted(engine.Voices().size(), true);
    engine.MuteVoices(muted);
    ASSERT_TRUE(engine.Seek(0, [] { return false; }));
    EXPECT_EQ(PeakOf(RenderAll(engine, 4410), 0, 4410), 0);
}

// The header's byte 0x96 picks the board's banking: the same bank and start
// find a System 21 sample that a System 2 board would not reach.
TEST(C140, TheHeaderSaysHowTheBoardBanksItsRom) {
    for (auto [type, heard] : {std::pair{0u, false}, {1u, true}}) {
        compose::VgmStream stream({{0xA8, kNamcoClock}, {0x94, type << 16}});
        stream.Rom(0x8D, 0x100000, 0x80100, Bytes(16, 0x40));
        const uint8_t voice0[12] = {255, 255, 0x80, 0x00, 0x10, 0, 0x01, 0x00, 0x01, 0x10, 0, 0};
        for (uint8_t r = 0; r < 12; ++r)
            stream.Command({0xD4, 0x00, r, voice0[r]});
        stream.Command({0xD4, 0x00, 0x05, 0x80});
        tarvocore::CVgmEngine engine;
        std::string error;
        ASSERT_TRUE(engine.Open(stream.Wait(4410).Finish(), {}, error)) << error;
        ASSERT_TRUE(engine.Start(0, error)) << error;
        EXPECT_EQ(PeakOf(RenderAll(engine, 2000), 0, 2000) > 1000, heard) << type;
    }
}
