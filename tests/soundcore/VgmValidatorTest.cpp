// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/VgmValidator.h"

#include "soundcore/SoundCoreFixture.h"

using namespace tarvo::test;
using compose::PutLe32;
using tarvocore::CVgmValidator;

namespace {

// A valid tune for both chips without its tag block, with these commands as its data.
Bytes WithCommands(std::vector<uint8_t> commands, uint32_t ym2612Clock = 7670453) {
    Bytes file = ToneVgm(1, false);
    file.resize(0x40);
    PutLe32(file, 0x14, 0);
    PutLe32(file, 0x2C, ym2612Clock);
    file.insert(file.end(), commands.begin(), commands.end());
    PutLe32(file, 0x04, static_cast<uint32_t>(file.size() - 4));
    return file;
}

// A DAC stream of VGM 1.60 over a 16-byte data block: set up for the YM2612,
// its data, its frequency, started on 12 bytes from byte 4, then stopped;
// `more` comes before the end.
std::vector<uint8_t> StreamCommands(std::vector<uint8_t> more = {}) {
    std::vector<uint8_t> commands = {0x67, 0x66, 0x00, 16, 0, 0, 0};
    commands.insert(commands.end(), 16, 0x80);
    commands.insert(commands.end(), {0x52, 0x2B, 0x80,                   // the DAC on
                                     0x90, 0x00, 0x02, 0x00, 0x2A,       // set up
                                     0x91, 0x00, 0x00, 0x01, 0x00,       // its data
                                     0x92, 0x00, 0x40, 0x1F, 0x00, 0x00, // 8 kHz
                                     0x93, 0x00, 4,    0,    0,    0,    0x01, 12, 0, 0, 0, // start
                                     0x62, 0x95, 0x00, 0x00, 0x00, 0x00, // block 0
                                     0x62, 0x94, 0x00, 0x94, 0xFF});     // stop
    commands.insert(commands.end(), more.begin(), more.end());
    commands.push_back(0x66);
    return commands;
}

// A looping tone with one thing damaged.
Bytes Damaged(const std::function<void(Bytes&)>& damage) {
    Bytes file = ToneVgm(10, true);
    damage(file);
    return file;
}

} // namespace

TEST(VgmValidator, AcceptsWhatTheComposerWrites) {
    const auto checked = CVgmValidator::Check(ToneVgm(120, true));
    EXPECT_TRUE(checked.ok()) << checked.error;
    EXPECT_EQ(checked.chipSummary, "SN76489 3.58 MHz");
    EXPECT_TRUE(CVgmValidator::Check(compose::Gzip(ToneVgm(120, false))).ok());
    const auto streamed = CVgmValidator::Check(WithCommands(StreamCommands()));
    EXPECT_TRUE(streamed.ok()) << streamed.error;
}

// Whatever would read out of bounds, in the header or the commands, or
// make libgme misplay or spin, is refused with its reason.
TEST(VgmValidator, RefusesWhatWouldReadOutOfBoundsOrHarmThePlayer) {
    Bytes pcmInLoop = WithCommands({0x62, 0x67, 0x66, 0x00, 1, 0, 0, 0, 9, 0x62, 0x66});
    PutLe32(pcmInLoop, 0x1C, 0x41 - 0x1C);
    std::vector<uint8_t> dense;
    for (int i = 0; i < 12000; ++i)
        dense.insert(dense.end(), {0x50, 0x9F, 0x70});
    dense.push_back(0x66);
    Bytes denseLoop = WithCommands(dense);
    PutLe32(denseLoop, 0x1C, 0x40 - 0x1C);
    struct Case {
        const char* name;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"not a VGM", Damaged([](Bytes& f) { f[0] = 'X'; }), "not a VGM file"},
        {"too short", Damaged([](Bytes& f) { f.resize(0x30); }), "not a VGM file"},
        {"1 Hz clock", Damaged([](Bytes& f) { PutLe32(f, 0x0C, 1); }), "out of range"},
        {"absurd clock", Damaged([](Bytes& f) { PutLe32(f, 0x0C, 0x3FFFFFFF); }), "out of range"},
        {"no chip", Damaged([](Bytes& f) { PutLe32(f, 0x0C, 0); }), "no sound chip"},
        {"YM2413", Damaged([](Bytes& f) { PutLe32(f, 0x10, 3579545); }), "YM2413"},
        {"SN76489 beyond what libgme renders",
         Damaged([](Bytes& f) { PutLe32(f, 0x0C, 16859136); }), "out of range"},
        {"YM2612 clock of an old header, which libgme reads all the same", Damaged([](Bytes& f) {
             PutLe32(f, 0x08, 0x101);
             PutLe32(f, 0x2C, 0x2F50C950);
         }),
         "out of range"},
        {"noise register wider than the chip", Damaged([](Bytes& f) { f[0x2A] = 255; }),
         "noise register"},
        {"data offset outside", Damaged([](Bytes& f) { PutLe32(f, 0x34, 0x7FFFFFF0); }),
         "outside the file"},
        {"truncated wait", WithCommands({0x62, 0x61, 0x10}), "truncated"},
        {"truncated write", WithCommands({0x50}), "truncated"},
        {"seek without a bank", WithCommands({0xE0, 0, 0, 0, 0, 0x66}), "PCM seek"},
        {"seek past the bank",
         WithCommands({0x67, 0x66, 0x00, 4, 0, 0, 0, 1, 2, 3, 4, 0xE0, 5, 0, 0, 0, 0x66}),
         "PCM seek"},
        {"reads past the bank",
         WithCommands({0x67, 0x66, 0x00, 1, 0, 0, 0, 9, 0xE0, 0, 0, 0, 0, 0x81, 0x81, 0x66}),
         "past the data bank"},
        {"data block past the end", WithCommands({0x67, 0x66, 0x00, 0xFF, 0xFF, 0, 0, 1}),
         "past the end"},
        {"YM2413 command", WithCommands({0x51, 0x20, 0x10, 0x66}), "YM2413"},
        {"unknown command", WithCommands({0xC5, 1, 2, 3, 0x66}), "unknown command 0xC5"},
        {"YM2612 writes without its clock", WithCommands({0x52, 0x28, 0xF0, 0x62, 0x66}, 0),
         "YM2612, whose clock"},
        {"a PCM block inside the loop", pcmInLoop, "inside its loop"},
        {"a stream for a chip without a clock",
         WithCommands({0x90, 0x00, 0x02, 0x00, 0x2A, 0x66}, 0), "chip the file does not clock"},
        {"a stream used before it is set up", WithCommands({0x92, 0x03, 1, 0, 0, 0, 0x66}),
         "before it is set up"},
        {"a stream of data the file lacks",
         WithCommands(StreamCommands({0x91, 0x00, 0x07, 0x01, 0x00})), "data the file lacks"},
        {"a stream started past its data",
         WithCommands(StreamCommands({0x93, 0x00, 17, 0, 0, 0, 0x01, 1, 0, 0, 0})),
         "starts past its data"},
        {"a stream read past its data",
         WithCommands(StreamCommands({0x93, 0x00, 8, 0, 0, 0, 0x01, 9, 0, 0, 0})),
         "plays past its data"},
        {"a stream's block the file lacks",
         WithCommands(StreamCommands({0x95, 0x00, 0x01, 0x00, 0x00})), "data block the file lacks"},
        {"a stream command cut short", WithCommands({0x90, 0x00, 0x02}), "truncated"},
        {"a loop of one-sample waits", denseLoop, "real time"},
    };
    for (const Case& c : cases) {
        const auto checked = CVgmValidator::Check(c.file);
        EXPECT_NE(checked.error.find(c.reason), std::string::npos)
            << c.name << ": " << checked.error;
    }
}

TEST(VgmValidator, MendsWhatItCanInsteadOfRefusing) {
    // A stream without its end command gets one.
    auto unterminated = CVgmValidator::Check(WithCommands({0x50, 0x9F, 0x62}));
    ASSERT_TRUE(unterminated.ok()) << unterminated.error;
    EXPECT_EQ(unterminated.data.back(), 0x66);

    // A loop point inside a command, or a loop without any wait, would hang the
    // emulator or misread the stream: the loop is dropped.
    for (uint32_t loopAt : {0x41u, 0x40u}) {
        Bytes file = WithCommands({0x50, 0x9F, 0x66});
        PutLe32(file, 0x1C, loopAt - 0x1C);
        auto checked = CVgmValidator::Check(file);
        ASSERT_TRUE(checked.ok()) << checked.error;
        EXPECT_EQ(checked.data[0x1C] | checked.data[0x1D], 0) << loopAt;
    }

    // A tag block pointing past the end is dropped.
    Bytes tagged = ToneVgm(5, false);
    PutLe32(tagged, 0x14, 0x7FFFFF00);
    auto checked = CVgmValidator::Check(tagged);
    ASSERT_TRUE(checked.ok());
    EXPECT_EQ(checked.data[0x14], 0);
}

TEST(VgmValidator, InflatesUnderTheCap) {
    const Bytes bomb = compose::Gzip(Bytes(40u << 20, 0x62)); // 40 MiB of waits in a few KiB
    Bytes out;
    std::string error;
    EXPECT_FALSE(CVgmValidator::Inflate(bomb, out, error));
    EXPECT_NE(error.find("16 MiB"), std::string::npos);
    EXPECT_LE(out.size(), tarvocore::kMaxMusicFileSize);

    Bytes damaged = compose::Gzip(ToneVgm(100, false));
    damaged.resize(damaged.size() / 2);
    EXPECT_FALSE(CVgmValidator::Inflate(damaged, out, error));
}

TEST(VgmValidator, RandomBytesNeverPass) {
    for (unsigned seed = 0; seed < 200; ++seed) {
        Bytes noise = RandomBytes(64 + seed * 13, seed);
        if (seed % 2) std::copy_n("Vgm ", 4, noise.begin()); // with a plausible start
        EXPECT_FALSE(CVgmValidator::Check(noise).ok()) << seed;
    }
}
