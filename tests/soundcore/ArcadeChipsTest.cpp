// SPDX-License-Identifier: GPL-3.0-or-later
// The arcade boards' PCM chips and the engine that plays their VGM files,
// checked by measurement: samples decoded as the data sheet defines them,
// pitches at the documented rates, and the stream's loops and data blocks.
#include "chips/Okim6295.h"
#include "chips/SegaPcm.h"
#include "engines/VgmEngine.h"
#include "game/VgmValidator.h"
#include "soundcore/ChipMeasures.h"
#include "soundcore/SoundCoreFixture.h"
#include "tools/compose/ArcadeBuilder.h"
#include "tools/compose/VgmStream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>

using namespace tarvo::test;
using tarvocore::Bytes;

namespace {

using compose::VgmStream;

constexpr uint32_t kSegaPcmClock = 4000000; // 31250 samples a second
constexpr uint32_t kOkiClock = 1056000;     // 8000 with the seventh pin high

// A square wave of 32 bytes, eight times over: one 256-byte page.
Bytes SquarePage() {
    Bytes page(256);
    for (size_t i = 0; i < page.size(); ++i)
        page[i] = i % 32 < 16 ? 0xC0 : 0x40;
    return page;
}

// SegaPCM channel 0 playing the page at pitch 0x80 (half a byte a sample),
// looping, louder on the left.
VgmStream SegaPcmSquare(uint32_t clock = kSegaPcmClock) {
    VgmStream vgm({{0x38, clock}, {0x3C, 0x00F8000D}});
    vgm.Rom(0x80, 0x10000, 0, SquarePage());
    for (auto [reg, value] : std::initializer_list<std::pair<uint16_t, uint8_t>>{{0x02, 0x7F},
                                                                                 {0x03, 0x20},
                                                                                 {0x04, 0},
                                                                                 {0x05, 0},
                                                                                 {0x06, 0},
                                                                                 {0x07, 0x80},
                                                                                 {0x84, 0},
                                                                                 {0x85, 0},
                                                                                 {0x86, 0x00}})
        vgm.Command({0xC0, static_cast<uint8_t>(reg), static_cast<uint8_t>(reg >> 8), value});
    return vgm;
}

} // namespace

// Four nibbles decoded by hand from the data sheet's step table: 7 from the
// first step (16) adds 2 + 4 + 8 + 16 = 30, then 7 from step 34 adds 63, 0
// from step 73 adds 9, 8 from step 66 takes 8; the index moves 8, 8, -1, -1.
TEST(Okim6295, DecodesAPhraseSampleForSampleAsTheDataSheetDefinesIt) {
    tarvocore::COkim6295 oki;
    oki.Reset();
    oki.SetClock(kOkiClock);
    EXPECT_DOUBLE_EQ(oki.Rate(), 8000);
    oki.SetPin7High(false);
    EXPECT_DOUBLE_EQ(oki.Rate(), 6400);
    Bytes& rom = oki.Rom().Writable();
    rom.assign(0x40000, 0);
    const uint8_t phrase[] = {0x00, 0x04, 0x00, 0x00, 0x04, 0x01};    // 0x400 to 0x401
    std::copy(std::begin(phrase), std::end(phrase), rom.begin() + 8); // phrase 1
    rom[0x400] = 0x77;
    rom[0x401] = 0x08;
    oki.Write(0x81);
    oki.Write(0x10); // voice 1, full volume
    std::vector<int> samples;
    for (int i = 0; i < 5; ++i)
        samples.push_back(oki.NextSample());
    EXPECT_EQ(samples, (std::vector<int>{30, 93, 102, 94, 0}));
    EXPECT_FALSE(oki.Playing(0));

    oki.Write(0x81);
    oki.Write(0x22); // voice 2 at 6 dB less: half
    EXPECT_EQ(oki.NextSample(), 15);
    oki.Write(0x10); // stop voice 2
    EXPECT_FALSE(oki.Playing(1));

    // A phrase of 1000 nibbles lasts 1000 samples: 125 ms at 1.056 MHz / 132.
    VgmStream vgm({{0x98, 1056000 | 0x80000000u}});
    Bytes phraseRom(0x400 + 500, 0x17);
    std::fill(phraseRom.begin(), phraseRom.begin() + 0x400, 0);
    const uint8_t entry[6] = {0x00, 0x04, 0x00, 0x00, 0x05, 0xF3}; // 0x400 to 0x5F3
    std::copy(std::begin(entry), std::end(entry), phraseRom.begin() + 8);
    vgm.Rom(0x8B, 0x40000, 0, phraseRom).Command({0xB8, 0x00, 0x81, 0xB8, 0x00, 0x10});
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(vgm.Wait(44100).Finish(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error));
    const std::vector<int16_t> heard = RenderAll(engine, 44100);
    size_t last = heard.size() / 2; // where the sound settles, the resampler's ringing included
    while (last > 0 && std::abs(heard[2 * (last - 1)] - heard[heard.size() - 2]) < 64)
        --last;
    EXPECT_NEAR(static_cast<double>(last) / 44100, 1000.0 / 8000, 0.002);

    tarvocore::COkim6295::Decoder decoder; // the signal holds at the 12-bit bounds
    for (int i = 0; i < 100; ++i)
        decoder.Decode(0x7);
    EXPECT_EQ(decoder.signal, 2047);
    for (int i = 0; i < 100; ++i)
        decoder.Decode(0xF);
    EXPECT_EQ(decoder.signal, -2048);
}

// A 32-byte square read half a byte a sample at clock / 128: 31250 / 2 / 32
// = 488.28 Hz, within a cent; each side at its own volume; a one-shot
// sample ends and turns its channel off.
TEST(SegaPcm, PlaysASampleAtTheDocumentedRateOnEachSideAndEndsAOneShot) {
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(SegaPcmSquare().Wait(44100).Finish(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error));
    const std::vector<int16_t> heard = RenderAll(engine, 44100);
    EXPECT_NEAR(Cents(FrequencyOf(heard, 0), 31250.0 / 2 / 32), 0, 1);
    int left = 0, right = 0;
    for (size_t i = 0; i < heard.size(); i += 2) {
        left = std::max(left, std::abs(heard[i]));
        right = std::max(right, std::abs(heard[i + 1]));
    }
    EXPECT_NEAR(right * 4.0, left, left / 20.0); // 0x20 against 0x7F

    tarvocore::CSegaPcm pcm;
    pcm.Reset();
    pcm.Rom().Writable() = SquarePage();
    for (auto [reg, value] : std::initializer_list<std::pair<uint16_t, uint8_t>>{
             {0x02, 0x7F}, {0x06, 0}, {0x07, 0}, {0x84, 0}, {0x85, 0}, {0x86, 0x02}})
        pcm.Write(reg, value);
    pcm.Write(0x07, 0xFF); // 255/256 of a byte a sample: 258 samples reach the page's end
    int samples = 0, l = 0, r = 0;
    for (; samples < 1000 && !(pcm.Read(0x86) & 1); ++samples)
        pcm.NextSample(l, r);
    EXPECT_EQ(samples, 259); // and the one that finds it
}

// The engine: a loop's intro and length from the header, the stream played
// round its loop, both chips' voices, and a file for a missing chip still
// refused with the chip's name.
TEST(VgmEngine, PlaysTheStreamRoundItsLoopAndListsEachChipsVoices) {
    VgmStream vgm = SegaPcmSquare();
    vgm.Wait(22050).MarkLoop().Wait(44100);
    const Bytes looping = vgm.Finish();
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(looping, {}, error)) << error;
    const tarvocore::MusicInfo info = engine.Info();
    EXPECT_EQ(info.system, "Arcade board (SegaPCM)");
    ASSERT_EQ(info.tunes.size(), 1u);
    EXPECT_EQ(info.tunes[0].introMs, 500);
    EXPECT_EQ(info.tunes[0].loopMs, 1000);
    ASSERT_TRUE(engine.Start(0, error));
    const std::vector<int16_t> heard = RenderAll(engine, 4 * 44100); // round the loop twice
    EXPECT_NEAR(Cents(FrequencyOf(heard, 0), 31250.0 / 2 / 32), 0, 1);

    tarvocore::CVgmEngine both;
    ASSERT_TRUE(both.Open(
        VgmStream({{0x38, kSegaPcmClock | 1u << 30}, {0x98, kOkiClock}}).Wait(100).Finish(), {},
        error));
    const std::vector<std::string> voices = both.Voices();
    ASSERT_EQ(voices.size(), 2u * 16 + 4);
    EXPECT_EQ(voices.front(), "SegaPCM 1 channel 1");
    EXPECT_EQ(voices[16], "SegaPCM 2 channel 1");
    EXPECT_EQ(voices.back(), "OKIM6295 voice 4");

    for (auto [clocks, refusal] :
         {std::pair<std::vector<std::pair<size_t, uint32_t>>, std::string>{
              {{0x48, 7987200}, {0x38, kSegaPcmClock}}, "it needs the YM2608 sound chip"},
          {{{0xB4, 4000000}, {0x98, kOkiClock}}, "it needs the QSound sound chip"},
          {{{0xA8, 44100}, {0x94, 2u << 16}}, "it needs Namco's C219 sound chip"},
          {{{0x98, 5}}, "a chip clock of 5 Hz is out of range"},
          // Two YM2151s at 50 MHz would take the emulator fourteen times a board's work.
          {{{0x30, 50000000 | 1u << 30}}, "a chip clock of 50000000 Hz is out of range"}}) {
        const tarvocore::CheckedMusic checked =
            tarvocore::CVgmValidator::Check(VgmStream(clocks).Wait(10).Finish());
        EXPECT_EQ(checked.error.substr(0, refusal.size()), refusal);
    }
    Bytes cut = VgmStream({{0x98, kOkiClock}}).Wait(10).Command({0x62}).Finish();
    cut.pop_back(); // a one-byte wait, the file's last byte (found by fuzzing)
    ASSERT_TRUE(both.Open(cut, {}, error)) << error;
    ASSERT_TRUE(both.Start(0, error));
    EXPECT_EQ(RenderAll(both, 2000), std::vector<int16_t>(4000, 0));

    const tarvocore::CheckedMusic played = tarvocore::CVgmValidator::Check(looping);
    EXPECT_TRUE(played.ok()) << played.error;
    EXPECT_EQ(played.chipSummary, "SegaPCM 4.00 MHz");
}

// The header's volume modifier scales the whole mix by 2^(n/32); 0xC1 counts
// as -64, as the format's own player has it.
TEST(VgmEngine, TheMixFollowsTheHeadersVolumeModifier) {
    const auto rms = [](uint32_t modifier) {
        VgmStream vgm = SegaPcmSquare();
        const Bytes plain = vgm.Wait(44100).Finish();
        Bytes file = plain;
        file[0x7C] = static_cast<uint8_t>(modifier);
        tarvocore::CVgmEngine engine;
        std::string error;
        EXPECT_TRUE(engine.Open(file, {}, error)) << error;
        EXPECT_TRUE(engine.Start(0, error)) << error;
        double sum = 0;
        const std::vector<int16_t> heard = RenderAll(engine, 22050);
        for (int16_t sample : heard)
            sum += double(sample) * sample;
        return std::sqrt(sum / double(heard.size()));
    };
    const double unity = rms(0x00);
    ASSERT_GT(unity, 300);
    for (auto [modifier, gain] : {std::pair{0x20u, 2.0}, {0xE0u, 0.5}, {0xC1u, 0.25}})
        EXPECT_NEAR(rms(modifier) / unity, gain, 0.01 * gain) << modifier;
}

// The engine keeps its whole state as a tune plays, so a seek back starts
// from the nearest state kept before the place, with the ROMs as they were
// and the voices as muted now, and sounds sample for sample as playing there
// does (to a unit of rounding); the states kept stay as they were (a replay
// would start them again).
TEST(VgmEngine, ASeekBackStartsFromAKeptStateAndSoundsAsPlayingThere) {
    for (auto board : {compose::ArcadeBoard::Oki, compose::ArcadeBoard::SegaPcm}) {
        SCOPED_TRACE(static_cast<int>(board));
        const Bytes vgm = compose::ToArcadeVgm(kTune, board, true, "Kept");
        std::string error;
        tarvocore::CVgmEngine straight, sought;
        for (auto* engine : {&straight, &sought}) {
            ASSERT_TRUE(engine->Open(vgm, {}, error)) << error;
            ASSERT_TRUE(engine->Start(0, error));
        }
        const std::vector<int16_t> played = RenderAll(straight, 9 * 44100);
        RenderAll(sought, 9 * 44100);
        const size_t kept = sought.KeptStates();
        EXPECT_EQ(kept, 5u);            // at 0, 2, 4, 6 and 8 s
        const auto from = [&](int ms) { // a second of the straight play
            const auto start = played.begin() + ms * 441 / 10 * 2;
            return std::vector<int16_t>(start, start + 2 * 44100);
        };
        for (int ms : {5250, 500, 7000}) {
            ASSERT_TRUE(sought.Seek(ms, [] { return false; }));
            const std::vector<int16_t> heard = RenderAll(sought, 44100), there = from(ms);
            int worst = 0;
            for (size_t i = 0; i < heard.size(); ++i)
                worst = std::max(worst, std::abs(heard[i] - there[i]));
            EXPECT_LE(worst, 1) << ms; // the resamplers' rounding, in blocks of their own
        }
        EXPECT_EQ(sought.KeptStates(), kept);
        sought.MuteVoices(std::vector<bool>(sought.Voices().size(), true));
        ASSERT_TRUE(sought.Seek(3000, [] { return false; }));
        EXPECT_EQ(RenderAll(sought, 44100), std::vector<int16_t>(2 * 44100, 0));
    }
    // Two of every kind, the most a state can hold, still keep their states within 8 MiB.
    std::vector<std::pair<size_t, uint32_t>> clocks;
    using Chips = std::span<const tarvocore::VgmChip>;
    for (const Chips chips : {Chips(tarvocore::kArcadeChips), Chips(tarvocore::kCompanionChips)})
        for (const tarvocore::VgmChip& chip : chips)
            clocks.emplace_back(chip.clockOffset, chip.minClock | tarvocore::kSecondChipBit);
    tarvocore::CVgmEngine everyChip;
    std::string error;
    ASSERT_TRUE(everyChip.Open(VgmStream(clocks).Wait(10).Finish(), {}, error)) << error;
    EXPECT_LE(everyChip.MostKeptStates() * everyChip.StateBytes(), 8u << 20);
    EXPECT_GE(everyChip.MostKeptStates(), tarvocore::CVgmEngine::kFewestKeptStates);
}

namespace {

// A tenth of a second of sound as the golden renders keep it: its level in
// dB of full scale (both channels; -99 for silence) and the rising zero
// crossings of its left channel, which follow its pitches.
struct Tenth {
    double level = 0;
    int crossings = 0;
};

std::vector<Tenth> Tenths(const std::vector<int16_t>& frames) {
    std::vector<Tenth> tenths;
    constexpr size_t kTenth = 4410;
    for (size_t at = 0; at + kTenth <= frames.size() / 2; at += kTenth) {
        double sum = 0;
        Tenth tenth;
        for (size_t i = at; i < at + kTenth; ++i) {
            sum += double(frames[2 * i]) * frames[2 * i] +
                   double(frames[2 * i + 1]) * frames[2 * i + 1];
            if (i > at && frames[2 * i - 2] < 0 && frames[2 * i] >= 0) ++tenth.crossings;
        }
        const double rms = std::sqrt(sum / (2 * kTenth)) / 32768;
        tenth.level = rms > 0 ? std::round(200 * std::log10(rms)) / 10 : -99;
        tenths.push_back(tenth);
    }
    return tenths;
}

// The tenths the two boards' renders of the test tune had when the chips
// were checked against their data sheets.
std::vector<Tenth> GoldenTenths(const std::string& board) {
    std::ifstream file(std::string(TARVO_TEST_DATA) + "/golden/arcade-" + board + ".txt");
    std::vector<Tenth> tenths;
    for (Tenth tenth; file >> tenth.level >> tenth.crossings;)
        tenths.push_back(tenth);
    return tenths;
}

} // namespace

// The whole chain of a board (FM patches, samples in ROM, the rate brought to
// 44.1 kHz) renders the test tune as it did when each chip was verified: a
// tenth of a second at a time, its level within half a decibel and its zero
// crossings (its pitches) within 5 %.
TEST(VgmEngine, EachBoardRendersTheTestTuneAsItsGoldenRenderDid) {
    for (auto [board, name] : {std::pair{compose::ArcadeBoard::Oki, "oki"},
                               std::pair{compose::ArcadeBoard::SegaPcm, "segapcm"}}) {
        SCOPED_TRACE(name);
        tarvocore::CVgmEngine engine;
        std::string error;
        ASSERT_TRUE(engine.Open(compose::ToArcadeVgm(kTune, board, true, "Golden"), {}, error));
        ASSERT_TRUE(engine.Start(0, error));
        const std::vector<Tenth> tenths = Tenths(RenderAll(engine, 5 * 44100));
        if (std::getenv("TARVO_PRINT_GOLDEN")) { // to make the files again, knowingly
            for (const Tenth& tenth : tenths)
                std::printf("%.1f %d\n", tenth.level, tenth.crossings);
            continue;
        }
        const std::vector<Tenth> golden = GoldenTenths(name);
        ASSERT_EQ(tenths.size(), golden.size());
        for (size_t i = 0; i < tenths.size(); ++i) {
            EXPECT_NEAR(tenths[i].level, golden[i].level, 0.5) << "tenth " << i;
            EXPECT_NEAR(tenths[i].crossings, golden[i].crossings, 1 + golden[i].crossings / 20)
                << "tenth " << i;
        }
    }
}

namespace {

// The level of the left channel at `hz`, Hann-windowed over its last half second.
double LevelAt(const std::vector<int16_t>& frames, double hz) {
    const size_t count = 22050, from = frames.size() / 2 - count;
    const double step = 2 * M_PI * hz / 44100, coefficient = 2 * std::cos(step);
    double previous = 0, before = 0;
    for (size_t i = 0; i < count; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count));
        const double now = frames[2 * (from + i)] * window + coefficient * previous - before;
        before = previous;
        previous = now;
    }
    return std::sqrt(previous * previous + before * before - coefficient * previous * before);
}

} // namespace

// A sine of the YM2151's (A6 times 12 or 6, at the chip's 55.93 kHz) brought
// to 44.1 kHz leaves no image of the chip's rate: a straight line between
// samples left one 10 dB down at 9.29 kHz, and 24 dB down at 1.27 kHz.
TEST(VgmEngine, AChipsRateLeavesNoImageAt44kHz) {
    const struct {
        uint8_t multiple;
        double tone, image;
    } sines[] = {{12, 21120, 9290}, {6, 10560, 1270}};
    for (const auto& sine : sines) {
        SCOPED_TRACE(sine.tone);
        VgmStream vgm({{0x30, 3579545}});
        vgm.Command({0x54, 0x20, 0xC7}); // connection 7, both outputs
        vgm.Command({0x54, 0x58, sine.multiple}).Command({0x54, 0x78, 0x00}); // CAR2: full level
        vgm.Command({0x54, 0x98, 0x1F}).Command({0x54, 0xF8, 0x0F});          // instant attack
        vgm.Command({0x54, 0x28, 0x6A}).Command({0x54, 0x08, 0x40});          // A6, CAR2 keyed
        tarvocore::CVgmEngine engine;
        std::string error;
        ASSERT_TRUE(engine.Open(vgm.Wait(44100).Finish(), {}, error)) << error;
        ASSERT_TRUE(engine.Start(0, error));
        const std::vector<int16_t> heard = RenderAll(engine, 44100);
        const double tone = LevelAt(heard, sine.tone);
        EXPECT_GT(20 * std::log10(tone / (22050 * 8192 / 4)), -12); // the tone itself passes
        EXPECT_LT(20 * std::log10(LevelAt(heard, sine.image) / tone), -90);
    }
}

// A ROM shared by copies of a chip is copied only when one copy writes to it.
TEST(SharedRom, ACopyWritesToARomOfItsOwn) {
    tarvocore::CSharedRom first;
    EXPECT_EQ(first.size(), 0u);
    first.Writable() = {1, 2, 3};
    tarvocore::CSharedRom second = first;
    EXPECT_EQ(&second.Data(), &first.Data());
    second.Writable()[0] = 9;
    EXPECT_EQ(first[0], 1);
    EXPECT_EQ(second[0], 9);
}
