// SPDX-License-Identifier: GPL-3.0-or-later
// The arcade boards' FM and PSG chips, checked by measurement: pitches by the
// data sheets' formulas, envelopes at their documented rates, each chip's
// voices listed and muted, and the OPL family and the console chips beside
// an arcade chip through the engine.
#include "chips/Ay8910.h"
#include "chips/Sn76489.h"
#include "chips/Ym2151.h"
#include "chips/Ym2203.h"
#include "chips/Ym2612.h"
#include "engines/VgmEngine.h"
#include "game/VgmValidator.h"
#include "soundcore/ChipMeasures.h"
#include "tools/compose/VgmStream.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace tarvo::test;
using compose::VgmStream;
using tarvocore::Bytes;

namespace {

// A YM2151 at 3.58 MHz with channel 0 set up as one plain sine on the
// operators `keyed` (bits: MOD1, CAR1, MOD2, CAR2), connection `connection`, every
// operator at full level, multiple 1, instant attack and no decay.
struct Opm {
    tarvocore::CYm2151 chip;
    explicit Opm(int connection = 7) {
        chip.Reset();
        chip.SetClock(3579545);
        chip.Write(0x20, static_cast<uint8_t>(0xC0 | connection));
        for (int slot = 0; slot < 32; slot += 8) {
            chip.Write(static_cast<uint8_t>(0x40 + slot), 0x01); // multiple 1
            chip.Write(static_cast<uint8_t>(0x60 + slot), 0x00); // full level
            chip.Write(static_cast<uint8_t>(0x80 + slot), 0x1F); // instant attack
            chip.Write(static_cast<uint8_t>(0xA0 + slot), 0x00);
            chip.Write(static_cast<uint8_t>(0xC0 + slot), 0x00);
            chip.Write(static_cast<uint8_t>(0xE0 + slot), 0x0F);
        }
    }
    void Key(uint8_t keyCode, uint8_t keyed) {
        chip.Write(0x28, keyCode);
        chip.Write(0x08, static_cast<uint8_t>(keyed << 3));
    }
    // `seconds` of output at the chip's own rate, as frames.
    std::vector<int16_t> Render(double seconds) { return RenderStereo(chip, seconds); }
    double Hz(const std::vector<int16_t>& frames) {
        return FrequencyOf(frames, 0) * chip.Rate() / 44100;
    }
};

} // namespace

// The key code's pitch as the manual's table gives it for 3.58 MHz (A4 is
// code 0x4A), octave by octave, with the key fraction's 64ths of a semitone.
TEST(Ym2151, KeyCodesSoundAtTheirDocumentedPitches) {
    const struct {
        uint8_t keyCode, keyFraction;
        double hz;
    } notes[] = {{0x2A, 0, 110.0},  {0x3A, 0, 220.0},   {0x4A, 0, 440.0},        {0x5A, 0, 880.0},
                 {0x6A, 0, 1760.0}, {0x3E, 0, 261.626}, {0x4A, 32 << 2, 452.893}};
    for (const auto& note : notes) {
        SCOPED_TRACE(note.hz);
        Opm opm;
        opm.chip.Write(0x30, note.keyFraction);
        opm.Key(note.keyCode, 0x8);
        EXPECT_NEAR(Cents(opm.Hz(opm.Render(0.5)), note.hz), 0, 1);
    }
}

// Keyed alone, an operator sounds only when its connection makes it a
// carrier: CAR2 alone in 0 to 3, CAR1 and CAR2 in 4, all but MOD1 in 5 and 6, all
// four in 7.
TEST(Ym2151, EachConnectionHasItsCarriers) {
    const uint8_t carriers[8] = {0x8, 0x8, 0x8, 0x8,
                                 0xA, 0xE, 0xE, 0xF}; // bits: MOD1 CAR1 MOD2 CAR2
    for (int connection = 0; connection < 8; ++connection) {
        uint8_t sounding = 0;
        for (int op = 0; op < 4; ++op) {
            Opm opm(connection);
            opm.Key(0x4A, static_cast<uint8_t>(1 << op));
            const std::vector<int16_t> heard = opm.Render(0.05);
            if (PeakOf(heard, 0, heard.size() / 2) > 1000)
                sounding |= static_cast<uint8_t>(1 << op);
        }
        EXPECT_EQ(sounding, carriers[connection]) << connection;
    }
}

// A decay at rate 4k + m falls m + 4 steps of 3/32 dB in eight of every
// 2^(11 - k) envelope clocks (clock / 192). Key code 0x4A adds 2 to each rate
// (key scaling 0: its top five bits over eight), so decay 16 is rate 34 and
// falls 48 dB in 0.293 s, decay 17 rate 36 in 0.220 s, and release 7 rate 32
// in 0.439 s.
TEST(Ym2151, EnvelopesFallAtTheirDocumentedRates) {
    const struct {
        uint8_t decay, release;
        double seconds;
    } cases[] = {{16, 0, 0.2930}, {17, 0, 0.2197}, {0, 7, 0.4394}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        Opm opm;
        opm.chip.Write(0xF8, static_cast<uint8_t>(c.decay ? 0xF0 : c.release)); // CAR2: to silence
        opm.chip.Write(0xB8, c.decay);
        opm.Key(0x4A, 0x8);
        if (c.release) {
            opm.Render(0.01);
            opm.chip.Write(0x08, 0x00);
        }
        const std::vector<int16_t> heard = opm.Render(c.seconds * 1.3);
        const size_t window = static_cast<size_t>(opm.chip.Rate() / 100); // 10 ms
        const double start = PeakOf(heard, 0, window);
        size_t at = 0;
        while ((at + 1) * window < heard.size() / 2 &&
               PeakOf(heard, at * window, (at + 1) * window) > start / 251.2) // 48 dB
            ++at;
        EXPECT_NEAR(static_cast<double>(at) * 0.01 / c.seconds, 1.0, 0.05);
    }
}

// Vibrato of 400 cents from a square LFO alternates a fifth above and
// below; tremolo at full depth swings the level at the LFO's rate
// (register 0xC0: 3.41 Hz); noise sounds in channel 8 only, once enabled;
// each side hears only the channels routed to it.
TEST(Ym2151, TheLfoNoiseAndOutputsDoWhatTheirRegistersSay) {
    Opm vibrato;
    vibrato.chip.Write(0x18, 0x80); // about 0.2 Hz: a square's half lasts over 2 s
    vibrato.chip.Write(0x1B, 0x01);
    vibrato.chip.Write(0x19, 0x80 | 127);
    vibrato.chip.Write(0x38, 0x60); // PMS 6: 400 cents
    vibrato.Key(0x4A, 0x8);
    EXPECT_NEAR(Cents(vibrato.Hz(vibrato.Render(0.5)), 440.0), 400, 2);

    Opm tremolo;
    tremolo.chip.Write(0x18, 0xC0);
    tremolo.chip.Write(0x1B, 0x02);
    tremolo.chip.Write(0x19, 127);
    tremolo.chip.Write(0x38, 0x03);
    tremolo.chip.Write(0xB8, 0x80); // CAR2 takes the tremolo
    tremolo.Key(0x4A, 0x8);
    const std::vector<int16_t> swung = tremolo.Render(1.0);
    const size_t window = static_cast<size_t>(tremolo.chip.Rate() / 200);
    std::vector<double> loudest;
    for (size_t at = 0; (at + 1) * window < swung.size() / 2; ++at)
        loudest.push_back(PeakOf(swung, at * window, (at + 1) * window));
    int rises = 0;
    for (size_t i = 1; i + 1 < loudest.size(); ++i)
        if (loudest[i] > 1000 && loudest[i - 1] <= 1000) ++rises;
    EXPECT_EQ(rises, 3); // 3.41 cycles in a second, starting loud
    EXPECT_LT(*std::min_element(loudest.begin(), loudest.end()), 100);

    for (const bool enabled : {false, true}) {
        Opm noisy;
        noisy.chip.Write(0x0F, enabled ? 0x9F : 0x1F);
        noisy.chip.Write(0x27, 0xC7);
        for (int slot = 7; slot < 32; slot += 8)
            noisy.chip.Write(static_cast<uint8_t>(0x80 + slot), 0x1F);
        noisy.chip.Write(0x2F, 0x4A);
        noisy.chip.Write(0x08, 0x47); // channel 8's CAR2
        noisy.Key(0x4A, 0x8);         // channel 1 stays a sine whatever the noise does
        noisy.chip.Mute(0, true);
        EXPECT_EQ(noisy.Hz(noisy.Render(0.2)) > 2000, enabled);
        noisy.chip.Mute(0, false);
        noisy.chip.Mute(7, true);
        EXPECT_NEAR(Cents(noisy.Hz(noisy.Render(0.2)), 440.0), 0, 1);
    }

    Opm leftOnly;
    leftOnly.chip.Write(0x20, 0x47);
    leftOnly.Key(0x4A, 0x8);
    const std::vector<int16_t> sides = leftOnly.Render(0.05);
    EXPECT_GT(PeakOf(sides, 0, sides.size() / 2, 0), 4000);
    EXPECT_EQ(PeakOf(sides, 0, sides.size() / 2, 1), 0);
}

// The YM2203's FM channels take the OPN's frequency number and block (A4 at
// 4 MHz is 1038 in block 4: 439.96 Hz), its SSG squares clock / 64 / period
// (142: 440.14 Hz), heard through the engine playing a VGM for the chip,
// its FM and SSG voices listed.
TEST(Ym2203, FmAndSsgSoundAtTheirDocumentedPitches) {
    const auto render = [](tarvocore::CYm2203& chip, double seconds) {
        std::vector<int16_t> frames;
        for (int i = 0; i < static_cast<int>(seconds * chip.Rate()); ++i) {
            const auto sample = static_cast<int16_t>(std::clamp(chip.NextSample(), -32768, 32767));
            frames.push_back(sample);
            frames.push_back(sample);
        }
        return FrequencyOf(frames, 0) * chip.Rate() / 44100;
    };
    tarvocore::CYm2203 fm;
    fm.Reset();
    fm.SetClock(4000000);
    for (uint8_t reg = 0x30; reg < 0x90; reg += 4)
        fm.Write(reg, reg == 0x30 || reg == 0x34 || reg == 0x38 || reg == 0x3C ? 0x01
                      : reg >= 0x50 && reg < 0x60                              ? 0x1F
                      : reg >= 0x80                                            ? 0x0F
                                                                               : 0x00);
    fm.Write(0xB0, 0x07); // four carriers
    fm.Write(0xA4, 4 << 3 | 1038 >> 8);
    fm.Write(0xA0, 1038 & 0xFF);
    fm.Write(0x28, 0x80); // S4 alone
    EXPECT_NEAR(Cents(render(fm, 0.5), 439.96), 0, 1);

    VgmStream vgm({{0x44, 4000000}}); // the SSG's channel A, its tone alone
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{
             {0x00, 142}, {0x07, 0x3E}, {0x08, 0x0F}})
        vgm.Command({0x55, reg, value});
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(vgm.Wait(44100).Finish(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error));
    EXPECT_NEAR(Cents(FrequencyOf(RenderAll(engine, 22050), 0), 4000000.0 / 64 / 142), 0, 1);
    EXPECT_EQ(engine.Voices(),
              (std::vector<std::string>{"YM2203 FM 1", "YM2203 FM 2", "YM2203 FM 3", "YM2203 SSG 1",
                                        "YM2203 SSG 2", "YM2203 SSG 3"}));
}

// The SSG's envelope shapes, heard through a channel with tone and noise off
// (its level alone): each cycle is 16 steps of clock / 1024 / period; a
// shape without "continue" ends silent, one with "hold" keeps its last level
// (the other end with "alternate"), the others go round.
TEST(Ym2203, TheSsgEnvelopeShapesEndWhereTheyShould) {
    const struct {
        uint8_t shape;
        int afterOneCycle, afterOneAndAHalf; // levels, 0 to 15
    } shapes[] = {{0x00, 0, 0},   {0x04, 0, 0},   {0x08, 15, 7}, {0x0A, 0, 8},
                  {0x0B, 15, 15}, {0x0D, 15, 15}, {0x0E, 15, 7}, {0x0F, 0, 0}};
    for (const auto& s : shapes) {
        SCOPED_TRACE(static_cast<int>(s.shape));
        tarvocore::CYm2203 ssg;
        ssg.Reset();
        ssg.SetClock(4000000);
        ssg.Write(0x07, 0x3F); // neither tone nor noise: the level is heard
        ssg.Write(0x08, 0x10); // channel A follows the envelope
        ssg.Write(0x0B, 100);  // 16 steps in 25.6 ms
        ssg.Write(0x0C, 0);
        ssg.Write(0x0D, s.shape);
        const auto levelAt = [&ssg](double seconds, double& elapsed) {
            int sample = 0;
            for (; elapsed < seconds; elapsed += 1 / ssg.Rate())
                sample = ssg.NextSample();
            const double decibels = 20 * std::log10(std::max(sample, 1) / 4096.0);
            return sample <= 0 ? 0 : static_cast<int>(std::lround(15 + decibels / 3));
        };
        double elapsed = 0;
        EXPECT_EQ(levelAt(0.0256 * 1.02, elapsed), s.afterOneCycle);
        EXPECT_EQ(levelAt(0.0256 * 1.5, elapsed), s.afterOneAndAHalf);
    }
}

// The AY-3-8910 alone: its squares at clock / 16 / period (254 at 1.79 MHz:
// 440.4 Hz); a second chip takes the writes whose register has bit 7 set;
// each chip's channels are listed and muted apart.
TEST(Ay8910, SoundsAtItsDocumentedPitchesAloneOrInPairs) {
    constexpr uint32_t kClock = 1789772;
    VgmStream vgm({{0x74, kClock | tarvocore::kSecondChipBit}});
    for (auto [reg, value] : std::initializer_list<std::pair<uint8_t, uint8_t>>{
             {0x00, 254},
             {0x07, 0x3E},
             {0x08, 0x0F}, // chip 1: channel A
             {0x82, 127},
             {0x87, 0x3D},
             {0x89, 0x0F}}) // chip 2: channel B, an octave up
        vgm.Command({0xA0, reg, value});
    const Bytes file = vgm.Wait(3 * 44100).Finish();
    const tarvocore::CheckedMusic checked = tarvocore::CVgmValidator::Check(file);
    ASSERT_TRUE(checked.ok()) << checked.error;
    EXPECT_EQ(checked.chipSummary, "AY-3-8910 1.79 MHz");
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(file, {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error));
    EXPECT_EQ(engine.Voices(),
              (std::vector<std::string>{"AY-3-8910 1 channel 1", "AY-3-8910 1 channel 2",
                                        "AY-3-8910 1 channel 3", "AY-3-8910 2 channel 1",
                                        "AY-3-8910 2 channel 2", "AY-3-8910 2 channel 3"}));
    for (int heard = 0; heard < 2; ++heard) {
        SCOPED_TRACE(heard);
        std::vector<bool> muted(6, true);
        std::fill_n(muted.begin() + 3 * heard, 3, false);
        engine.MuteVoices(muted);
        RenderAll(engine, 4410); // what was made before the mute
        const double expected = kClock / 16.0 / (heard ? 127 : 254);
        EXPECT_NEAR(Cents(FrequencyOf(RenderAll(engine, 22050), 0), expected), 0, 1);
    }

    VgmStream tooFast({{0x74, 8000000}});
    EXPECT_NE(tarvocore::CVgmValidator::Check(tooFast.Wait(100).Finish()).error.find("8000000 Hz"),
              std::string::npos);
}

// Alone, the chip's envelope cycles through its 16 steps in 256 x period
// clocks (100 at 1 MHz: 25.6 ms), and its levels lie 3 dB apart.
TEST(Ay8910, TheEnvelopeCyclesAndTheLevelsStepAsDocumented) {
    tarvocore::CAy8910 ay;
    ay.Reset();
    ay.SetClock(1000000);
    ay.Write(0x07, 0x3F); // neither tone nor noise: the level is heard
    ay.Write(0x08, 15);
    const double full = ay.NextSample();
    ay.Write(0x08, 12);
    EXPECT_NEAR(20 * std::log10(ay.NextSample() / full), -9, 0.01);

    ay.Write(0x08, 0x10);
    ay.Write(0x0B, 100);
    ay.Write(0x0D, 0x08); // falling, over and over
    std::vector<double> restarts;
    double previous = ay.NextSample();
    for (int i = 1; i < static_cast<int>(ay.Rate() * 0.2); ++i) {
        const double sample = ay.NextSample();
        if (sample > previous) restarts.push_back(i / ay.Rate());
        previous = sample;
    }
    ASSERT_GE(restarts.size(), 5u);
    EXPECT_NEAR((restarts.back() - restarts.front()) / double(restarts.size() - 1), 0.0256,
                1 / ay.Rate());
}

namespace {

// An OPL channel (0 to 8 of a bank) set up as a plain sine: its modulator
// silent, its carrier at full level with instant attack and no decay, then
// keyed at `fnum` in `block`; written with `command` (0x5A the YM3812, 0x5B
// the YM3526, 0x5E and 0x5F the YMF262's two banks, 0xAA a second YM3812).
void OplSine(VgmStream& vgm, uint8_t command, int channel, int fnum, int block,
             uint8_t waveform = 0) {
    const uint8_t slot = static_cast<uint8_t>(channel / 3 * 8 + channel % 3);
    for (auto [reg, value] : std::initializer_list<std::pair<int, int>>{
             {0x20 + slot, 0x21},
             {0x23 + slot, 0x21}, // sustained, multiple 1
             {0x40 + slot, 0x3F},
             {0x43 + slot, 0x00}, // modulator silent, carrier full
             {0x60 + slot, 0xF0},
             {0x63 + slot, 0xF0},
             {0x80 + slot, 0x00},
             {0x83 + slot, 0x00},
             {0xE3 + slot, waveform},
             {0xC0 + channel, 0x30},
             {0xA0 + channel, fnum & 0xFF},
             {0xB0 + channel, 0x20 | block << 2 | fnum >> 8}})
        vgm.Command({command, static_cast<uint8_t>(reg), static_cast<uint8_t>(value)});
}

double LowestOf(const std::vector<int16_t>& frames) {
    return *std::min_element(frames.begin() + static_cast<long>(frames.size() / 2), frames.end());
}

} // namespace

// The OPL family on AdPlug's OPL3 emulator: a frequency number counts
// 2^-20 of the sample rate (clock / 72; the OPL3's clock / 288) at block 0,
// doubling each block (580 in block 4 at 3.58 MHz: 439.96 Hz). The OPL2
// selects waveforms only once register 1 allows it and the OPL never does;
// the OPL3's second bank holds channels 10 to 18; each channel is listed
// and muted.
TEST(OplChips, SoundAtTheirDocumentedPitchesWithTheWaveformsEachHas) {
    const double ym3812Rate = 3579545 / 72.0;
    const double expected = 580 * ym3812Rate / (1 << 16);
    const auto play = [](const Bytes& file, std::vector<bool> muted = {}) {
        tarvocore::CVgmEngine engine;
        std::string error;
        EXPECT_TRUE(engine.Open(file, {}, error)) << error;
        EXPECT_TRUE(engine.Start(0, error));
        if (!muted.empty()) engine.MuteVoices(muted);
        return RenderAll(engine, 22050);
    };
    for (auto [clockAt, command, waveformsAllowed] :
         {std::tuple{0x50, uint8_t{0x5A}, true}, std::tuple{0x54, uint8_t{0x5B}, false}}) {
        SCOPED_TRACE(command);
        VgmStream plain({{static_cast<size_t>(clockAt), 3579545}});
        OplSine(plain, command, 0, 580, 4);
        const std::vector<int16_t> sine = play(plain.Wait(44100).Finish());
        EXPECT_NEAR(Cents(FrequencyOf(sine, 0), expected), 0, 2);
        // A full carrier as loud in the mix as the other FM chips' (8192).
        EXPECT_NEAR(PeakOf(sine, 4410, 22050), 8192, 200);

        VgmStream halfSine({{static_cast<size_t>(clockAt), 3579545}});
        OplSine(halfSine, command, 0, 580, 4, 1);
        EXPECT_LT(LowestOf(play(halfSine.Wait(44100).Finish())), -1000); // not yet allowed
        VgmStream allowed({{static_cast<size_t>(clockAt), 3579545}});
        OplSine(allowed, command, 0, 580, 4, 1);
        allowed.Command({command, 0x01, 0x20});
        const double lowest = LowestOf(play(allowed.Wait(44100).Finish()));
        if (waveformsAllowed)
            EXPECT_GT(lowest, -200); // the half sine, its resampling ringing aside
        else
            EXPECT_LT(lowest, -1000);
    }

    VgmStream opl3({{0x5C, 14318180}});
    OplSine(opl3, 0x5F, 0, 580, 4); // channel 10
    const Bytes file = opl3.Wait(44100).Finish();
    EXPECT_NEAR(Cents(FrequencyOf(play(file), 0), 580 * (14318180 / 288.0) / (1 << 16)), 0, 2);
    std::vector<bool> muted(18, false);
    muted[9] = true;
    EXPECT_EQ(PeakOf(play(file, muted), 4410, 22050), 0);
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(file, {}, error));
    ASSERT_EQ(engine.Voices().size(), 18u);
    EXPECT_EQ(engine.Voices()[9], "YMF262 channel 10");
}

// A kept state holds the OPL emulator's whole state, whose pointers point
// into itself: a seek back to a place after a change of notes sounds as
// playing there did.
TEST(OplChips, ASeekBackFromAKeptStateSoundsAsPlayingThere) {
    VgmStream vgm({{0x50, 3579545 | tarvocore::kSecondChipBit}});
    for (int note = 0; note < 8; ++note) {
        OplSine(vgm, 0x5A, note % 9, 400 + 40 * note, 4);
        OplSine(vgm, 0xAA, 0, 700 - 30 * note, 3);
        vgm.Wait(22050);
    }
    const Bytes file = vgm.Finish();
    std::string error;
    tarvocore::CVgmEngine straight, sought;
    for (auto* engine : {&straight, &sought}) {
        ASSERT_TRUE(engine->Open(file, {}, error)) << error;
        ASSERT_TRUE(engine->Start(0, error));
    }
    const std::vector<int16_t> played = RenderAll(straight, 4 * 44100);
    RenderAll(sought, 4 * 44100);
    ASSERT_TRUE(sought.Seek(2500, [] { return false; }));
    const std::vector<int16_t> heard = RenderAll(sought, 44100);
    int worst = 0;
    for (size_t i = 0; i < heard.size(); ++i)
        worst = std::max(worst, std::abs(heard[i] - played[2 * 110250 + i]));
    EXPECT_LE(worst, 1);
    EXPECT_GT(PeakOf(heard, 0, 44100), 1000);
}

// The SN76489 beside an arcade chip plays in the arcade engine (alone it is
// libgme's): its squares at clock / 32 / period (254 at 3.58 MHz: 440.4 Hz),
// its attenuation 2 dB a step, its periodic noise one pulse a pass of the
// shift register, whose width the header gives (Sega's 16 bits, TI's 15).
TEST(Sn76489, PlaysBesideAnArcadeChipAsItsDataSheetSays) {
    constexpr uint32_t kClock = 3579545;
    const auto play = [](VgmStream& vgm) {
        const Bytes file = vgm.Wait(44100).Finish();
        const tarvocore::CheckedMusic checked = tarvocore::CVgmValidator::Check(file);
        EXPECT_EQ(checked.chipSummary, "YM2151 3.58 MHz, SN76489 3.58 MHz");
        tarvocore::CVgmEngine engine;
        std::string error;
        EXPECT_TRUE(engine.Open(file, {}, error)) << error;
        EXPECT_TRUE(engine.Start(0, error));
        return RenderAll(engine, 22050);
    };
    VgmStream square({{0x0C, kClock}, {0x30, kClock}});
    square.Command({0x50, 0x80 | (254 & 15)}).Command({0x50, 254 >> 4}).Command({0x50, 0x90});
    EXPECT_NEAR(Cents(FrequencyOf(play(square), 0), kClock / 32.0 / 254), 0, 1);

    for (auto [width, taps] : {std::pair{16, 0x0009}, std::pair{15, 0x0003}}) {
        SCOPED_TRACE(width);
        VgmStream noise({{0x0C, kClock}, {0x30, kClock}, {0x28, static_cast<uint32_t>(taps)}});
        noise.Command({0x50, 0xE0}).Command({0x50, 0xF0}); // periodic, clock / 512, loudest
        Bytes file = noise.Wait(44100).Finish();
        file[0x2A] = static_cast<uint8_t>(width);
        tarvocore::CVgmEngine engine;
        std::string error;
        ASSERT_TRUE(engine.Open(file, {}, error)) << error;
        ASSERT_TRUE(engine.Start(0, error));
        EXPECT_NEAR(Cents(FrequencyOf(RenderAll(engine, 22050), 0), kClock / 512.0 / width), 0, 5);
    }

    tarvocore::CSn76489 chip;
    chip.Reset();
    chip.SetClock(kClock);
    chip.Write(0x81); // a period of 1 holds the square high: the attenuation is heard
    int loud = 0, soft = 0, right = 0;
    chip.Write(0x90);
    chip.NextSample(loud, right);
    chip.Write(0x93);
    chip.NextSample(soft, right);
    EXPECT_NEAR(20 * std::log10(double(soft) / loud), -6, 0.01);
    chip.WriteStereo(0x0F); // the Game Gear's: the squares to the right only
    chip.NextSample(soft, right);
    EXPECT_EQ(soft, 0);
    EXPECT_GT(right, 0);

    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(
        engine.Open(VgmStream({{0x0C, kClock}, {0x30, kClock}}).Wait(10).Finish(), {}, error));
    const std::vector<std::string> voices = engine.Voices();
    EXPECT_EQ(std::vector(voices.end() - 4, voices.end()),
              (std::vector<std::string>{"SN76489 square 1", "SN76489 square 2", "SN76489 square 3",
                                        "SN76489 noise 1"}));
    EXPECT_FALSE(
        tarvocore::CVgmEngine::Plays(VgmStream({{0x0C, kClock}}).Wait(10).Finish())); // libgme's
}

// The YM2612 beside an arcade chip: its FM channels on the OPN's frequency
// number and block at clock / 144 (1084 in block 4 at 7.67 MHz: 440.53 Hz), the second bank's
// channels on port 1, each sent to the sides register 0xB4 names; its DAC playing the PCM bank a
// byte a command (0x80 to 0x8F) from the place 0xE0 seeks, in place of channel 6.
TEST(Ym2612, SoundsAtItsDocumentedPitchAndPlaysItsPcmBankThroughTheDac) {
    tarvocore::CYm2612 chip;
    chip.Reset();
    chip.SetClock(7670453);
    const auto sine = [&chip](int port, int channel, bool left, bool right) {
        for (uint8_t reg = 0x30; reg < 0x90; reg += 4) {
            const uint8_t value = reg < 0x40                  ? 0x01
                                  : reg >= 0x50 && reg < 0x60 ? 0x1F
                                  : reg >= 0x80               ? 0x0F
                                  : reg == 0x4C               ? 0x00 // S4 at full level
                                  : reg >= 0x40 && reg < 0x50 ? 0x7F
                                                              : 0x00;
            chip.Write(port, static_cast<uint8_t>(reg + channel), value);
        }
        chip.Write(port, static_cast<uint8_t>(0xB0 + channel), 0x07);
        chip.Write(port, static_cast<uint8_t>(0xB4 + channel),
                   (left ? 0x80 : 0) | (right ? 0x40 : 0));
        chip.Write(port, static_cast<uint8_t>(0xA4 + channel), 4 << 3 | 1084 >> 8);
        chip.Write(port, static_cast<uint8_t>(0xA0 + channel), 1084 & 0xFF);
        chip.Write(0, 0x28, static_cast<uint8_t>(0xF0 | (port * 4 + channel)));
    };
    const auto render = [&chip](double seconds) { return RenderStereo(chip, seconds); };
    sine(1, 1, false, true); // channel 5, right only
    const std::vector<int16_t> heard = render(0.5);
    EXPECT_NEAR(Cents(FrequencyOf(heard, 1) * chip.Rate() / 44100, 440.53), 0, 1);
    EXPECT_EQ(PeakOf(heard, 0, heard.size() / 2, 0), 0);
    EXPECT_GT(PeakOf(heard, 0, heard.size() / 2, 1), 6000);
    chip.Mute(4, true);
    EXPECT_EQ(PeakOf(render(0.05), 0, 2000, 1), 0);

    // Through the engine, beside a silent YM2151: the DAC plays a square of
    // 8 bytes up and 8 down, one byte every 4 samples (689 Hz).
    Bytes square(16, 0xC0);
    std::fill(square.begin() + 8, square.end(), 0x40);
    VgmStream vgm({{0x2C, 7670453}, {0x30, 3579545}});
    vgm.Command({0x67, 0x66, 0x00, 16, 0, 0, 0});
    for (uint8_t byte : square)
        vgm.Command({byte});
    vgm.Command({0x52, 0x2B, 0x80, 0x52, 0xB6, 0xC0});
    for (int pass = 0; pass < 700; ++pass) {
        vgm.Command({0xE0, 0, 0, 0, 0});
        for (int i = 0; i < 16; ++i)
            vgm.Command({0x84});
    }
    tarvocore::CVgmEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Open(vgm.Finish(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<int16_t> dac = RenderAll(engine, 22050);
    EXPECT_NEAR(FrequencyOf(dac, 0), 44100.0 / 64, 1);
    EXPECT_GT(PeakOf(dac, 2000, dac.size() / 2, 1), 3000);
    EXPECT_EQ(engine.Voices().back(), "YM2612 channel 6");
}
