// SPDX-License-Identifier: GPL-3.0-or-later
// NEC's uPD7759, checked by measurement: a phrase's ADPCM decoded by hand,
// its nibbles' rate by the rule of their block's header, silence, repeats,
// the phrase count, slave mode's handed bytes, and a VGM through the engine.
#include "chips/Upd7759.h"
#include "engines/VgmEngine.h"
#include "game/VgmValidator.h"
#include "soundcore/ChipMeasures.h"
#include "tools/compose/VgmStream.h"

#include <gtest/gtest.h>

using namespace tarvo::test;
using tarvocore::Bytes;
using tarvocore::CUpd7759;

namespace {

constexpr uint32_t kNecClock = 640000;
constexpr size_t kPhraseAt = 0x20; // phrase 1's first byte (word 0x10)

// A ROM of two phrases, phrase 1 the given blocks (after the byte passed over).
Bytes RomWithPhrase1(const Bytes& blocks) {
    Bytes rom(kPhraseAt, 0);
    rom[0] = 1; // the last phrase
    rom[7] = 0x00;
    rom[8] = kPhraseAt / 2;
    rom.push_back(0xFF); // passed over
    rom.insert(rom.end(), blocks.begin(), blocks.end());
    rom.push_back(0x00); // the end
    return rom;
}

CUpd7759 Chip(bool slave = false) {
    CUpd7759 chip;
    chip.SetClock(kNecClock);
    chip.SetSlaveMode(slave);
    chip.Reset();
    return chip;
}

void StartPhrase(CUpd7759& chip, uint8_t phrase) {
    chip.Write(2, phrase);
    chip.Write(1, 1);
    chip.Write(1, 0);
}

// The values the signal takes, each with the samples it lasts, until the
// chip is idle (or `most` samples).
std::vector<std::pair<int, int>> Runs(CUpd7759& chip, int most = 100000) {
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < most && chip.Playing(); ++i) {
        const int sample = chip.NextSample();
        if (runs.empty() || runs.back().first != sample)
            runs.push_back({sample, 1});
        else
            ++runs.back().second;
    }
    return runs;
}

// Nibbles 7, 15, 4 and 9 from table 0: +10 (to table 3), -19 (table 6), +12
// (table 7), -4; each 32 times at full scale.
const Bytes kFourNibbles = {0x83, 0x03, 0x7F, 0x49};

} // namespace

// A phrase's nibbles decoded by hand, the high nibble of each byte first,
// each held 4 * (x + 1) clocks: 4 samples for x = 3; the phrase then ends.
TEST(Upd7759, DecodesAPhraseByHandAtItsHeadersRate) {
    CUpd7759 chip = Chip();
    chip.Rom().Writable() = RomWithPhrase1(kFourNibbles);
    StartPhrase(chip, 1);
    std::vector<std::pair<int, int>> runs = Runs(chip);
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[0].first, 0); // the chip reading its way to the phrase
    EXPECT_EQ(std::vector(runs.begin() + 1, runs.begin() + 4),
              (std::vector<std::pair<int, int>>{{320, 4}, {-288, 4}, {96, 4}}));
    EXPECT_EQ(runs[4].first, -32);
    EXPECT_FALSE(chip.Playing());

    StartPhrase(chip, 2); // past the last phrase: nothing
    EXPECT_EQ(Runs(chip), (std::vector<std::pair<int, int>>{{0, 9}})); // reading the count
    chip.Write(0, 0); // held in reset, a start is not taken
    StartPhrase(chip, 1);
    EXPECT_FALSE(chip.Playing());
}

// A silence block of (x + 1) * 1024 clocks (512 samples for x = 1) between
// two blocks; a repeat header plays the next block (x & 7) + 1 times, the
// ADPCM going on from where it was: 7 then 7 adds 10, then 19.
TEST(Upd7759, KeepsSilencesAndRepeatsBlocks) {
    CUpd7759 chip = Chip();
    chip.Rom().Writable() = RomWithPhrase1({0x80, 0x00, 0x70, 0x01, 0xC1, 0x80, 0x00, 0x70});
    StartPhrase(chip, 1);
    const std::vector<std::pair<int, int>> runs = Runs(chip);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[1].first, 320);
    EXPECT_EQ(runs[2].first, 0); // the silence sets the ADPCM back to its start
    EXPECT_GE(runs[2].second, 512);
    EXPECT_LT(runs[2].second, 512 + 40);
    EXPECT_EQ(runs[3].first, 320);
    EXPECT_EQ(runs[4].first, 320 + 19 * 32);
    EXPECT_EQ(runs[5].first, 0); // the end header sets the signal back as it stops
}

// In slave mode the board hands the chip the bytes it would read: the count,
// one passed over, the address, another passed over, then the blocks. It
// waits while none is handed, and decodes as from its ROM.
TEST(Upd7759, TakesTheBoardsBytesInSlaveMode) {
    CUpd7759 chip = Chip(true);
    chip.Write(2, 0x55); // before the start: not taken
    StartPhrase(chip, 0);
    Bytes handed = {0x01, 0x00, 0x00, 0x10, 0xFF};
    handed.insert(handed.end(), kFourNibbles.begin(), kFourNibbles.end());
    handed.push_back(0x00);
    for (int i = 0; i < 100; ++i)
        chip.NextSample();
    EXPECT_TRUE(chip.Playing());
    for (uint8_t byte : handed)
        chip.Write(2, byte);
    std::vector<int> values;
    for (const auto& [value, samples] : Runs(chip))
        values.push_back(value);
    EXPECT_EQ(values, (std::vector<int>{0, 320, -288, 96, -32, 0}));
}

// Through the engine: its ROM from data block 0x8A, its lines on 0xB6;
// nibbles 7 and 15 by turns settle to a square two nibbles long, at
// clock / 8 / (x + 1) hertz: 1250 Hz for x = 63.
TEST(Upd7759, AVgmOfTheChipSoundsAtItsNibbleRate) {
    compose::VgmStream stream({{0x8C, kNecClock}});
    Bytes blocks;
    for (int block = 0; block < 40; ++block) {
        blocks.push_back(0x7F);
        blocks.insert(blocks.end(), 128, 0x7F);
    }
    stream.Rom(0x8A, 0x20000, 0, RomWithPhrase1(blocks));
    stream.Command({0xB6, 0x02, 0x01}).Command({0xB6, 0x01, 0x01}).Command({0xB6, 0x01, 0x00});
    const Bytes file = stream.Wait(44100).Finish();
    const tarvocore::CheckedMusic checked = tarvocore::CVgmValidator::Check(file);
    ASSERT_TRUE(checked.ok()) << checked.error;
    EXPECT_EQ(checked.chipSummary, "uPD7759 640 kHz");
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(file, {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<int16_t> heard = RenderAll(engine, 22050);
    EXPECT_NEAR(Cents(PitchOf(heard, 0), kNecClock / 8.0 / 64), 0, 3);
    EXPECT_EQ(engine.Voices(), std::vector<std::string>{"uPD7759 voice 1"});
    engine.MuteVoices({true});
    ASSERT_TRUE(engine.Seek(0, [] { return false; }));
    EXPECT_EQ(PeakOf(RenderAll(engine, 4410), 0, 4410), 0);
}
