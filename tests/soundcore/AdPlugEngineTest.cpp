// SPDX-License-Identifier: GPL-3.0-or-later
// The AdLib engine as real collections meet it: loud songs keep their
// peaks, companion files are found, and each format's timing is as AdPlug
// reckons it from a file on disk.
#include "engines/AdPlugEngine.h"

#include "common/MusicFormats.h"
#include "engines/AdPlugFiles.h"
#include "soundcore/SoundCoreFixture.h"
#include "support/TempFolder.h"

#include <adplug/adplug.h>
#include <adplug/database.h>
#include <adplug/players.h>
#include <adplug/silentopl.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

// An IMF (type 1) whose nine channels strike pure sines at the carrier's
// full level at once, in nine pitches, and hold them for a second.
Bytes LoudImf() {
    Bytes writes;
    auto write = [&writes](int reg, int value, int wait = 0) {
        writes.insert(writes.end(), {static_cast<uint8_t>(reg), static_cast<uint8_t>(value),
                                     static_cast<uint8_t>(wait), static_cast<uint8_t>(wait >> 8)});
    };
    write(0x01, 0x20);
    for (int channel = 0; channel < 9; ++channel) {
        const int modulator = channel % 3 + 8 * (channel / 3);
        for (int op : {modulator, modulator + 3}) {
            write(0x20 + op, 0x21); // held, multiple 1
            write(0x60 + op, 0xF0); // the fastest attack, no decay
            write(0x80 + op, 0x00);
        }
        write(0x40 + modulator, 0x3F); // the modulator silent: a sine
        write(0x40 + modulator + 3, 0x00);
        write(0xC0 + channel, 0x01); // both operators to the output
        const int number = 345 + 41 * channel;
        write(0xA0 + channel, number & 0xFF);
        write(0xB0 + channel, 0x20 | 4 << 2 | number >> 8);
    }
    write(0, 0, 560);
    Bytes imf = {static_cast<uint8_t>(writes.size()), static_cast<uint8_t>(writes.size() >> 8)};
    imf.insert(imf.end(), writes.begin(), writes.end());
    for (char c : std::string("\x1A"
                              "Loud\0Tester\0Tests",
                              18))
        imf.push_back(static_cast<uint8_t>(c));
    imf.push_back(0);
    return imf;
}

// A God of Thunder song: a word 1, then (wait, register, value) at 120 or
// 140 ticks a second, then four zeros.
Bytes GotSong() {
    Bytes got = {1, 0};
    for (int note = 0; note < 40; ++note)
        got.insert(got.end(),
                   {static_cast<uint8_t>(7 + note % 5), 0xA0, static_cast<uint8_t>(note)});
    got.insert(got.end(), {0, 0, 0, 0});
    return got;
}

std::vector<int16_t> Render(tarvocore::CAdPlugEngine& engine, int frames) {
    std::vector<int16_t> sound(2 * static_cast<size_t>(frames));
    engine.Render(sound.data(), frames);
    return sound;
}

} // namespace

// Nine channels at full level are louder than any song; they still sound
// above half scale, where a 16-bit emulator flattened them, and below full
// scale, where the mix would.
TEST(AdPlugEngine, TheLoudestPassageKeepsItsPeaks) {
    tarvocore::CAdPlugEngine engine;
    engine.SetName("loud.imf");
    std::string error;
    ASSERT_TRUE(engine.Open(LoudImf(), {}, error)) << error;
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<int16_t> sound = Render(engine, 44100);
    const auto [low, high] = std::minmax_element(sound.begin(), sound.end());
    const int peak = std::max(-*low, static_cast<int>(*high));
    EXPECT_GT(peak, 16384 * 5 / 4);
    EXPECT_LE(std::count(sound.begin(), sound.end(), *high), 4) << "a flat top"; // both sides
    EXPECT_LT(peak, 32767);
}

// AdPlug picks some songs' tempo by a checksum of the file (God of Thunder's
// 140 Hz songs): the engine's files read as AdPlug reads them from disk, so
// the checksum, and the song's length, come out the same.
TEST(AdPlugEngine, FilesReadAsFromDiskAndSongsLastWhatAdPlugReckons) {
    tarvo::test::TempFolder temp;
    const Bytes got = GotSong();
    const std::string path = temp.File("song.got");
    temp.Write("song.got", std::string(got.begin(), got.end()));

    const CProvider_Filesystem disk;
    const tarvocore::CAdPlugFiles memory("song.got", got, {});
    binistream* fromDisk = disk.open(path);
    binistream* fromMemory = memory.open("song.got");
    ASSERT_TRUE(fromDisk && fromMemory);
    EXPECT_TRUE(CAdPlugDatabase::CKey(*fromDisk) == CAdPlugDatabase::CKey(*fromMemory));
    disk.close(fromDisk);
    memory.close(fromMemory);

    CSilentopl silent;
    std::unique_ptr<CPlayer> adplug(CAdPlug::factory(path, &silent, CAdPlug::players, disk));
    ASSERT_NE(adplug, nullptr);
    tarvocore::CAdPlugEngine engine;
    engine.SetName("song.got");
    std::string error;
    ASSERT_TRUE(engine.Open(got, {}, error)) << error;
    const int ms = engine.Info().tunes.at(0).lengthMs;
    EXPECT_NEAR(ms, static_cast<int>(adplug->songlength(0)), 10);
    EXPECT_GT(ms, 1000);
    engine.MeasureOnly(tarvocore::kNoSong); // its songs counted, none played through
    EXPECT_EQ(engine.Info().tunes.at(0).lengthMs, -1);
}

// Players open the files beside their song by names built from its own path
// ("C:\\SONGS\\standard.bnk", "SONG1.INS" for "song1.sng"): they are found
// case and folders aside, through a song renamed as a numbered clip, or as
// the game's only file of the kind; what a song lacks is named.
TEST(AdPlugEngine, CompanionFilesAreFoundAsPlayersNameThem) {
    const Bytes song = {1, 2, 3};
    const tarvocore::CompanionFiles companions = {{"STANDARD.BNK", {4}},
                                                  {"insts.dat", {5}},
                                                  {"Song1.ins", {6}},
                                                  {"Song2.ins", {7}},
                                                  {"icepatch.003", {8}}};
    const tarvocore::CAdPlugFiles files("03 Song2.sng", song, companions);
    struct Case {
        const char* asked;
        int firstByte; // 0: not found
    } cases[] = {{"03 song2.sng", 1}, {"C:\\SONGS\\standard.bnk", 4},
                 {"/x/INSTS.DAT", 5}, {"03 Song2.ins", 7},
                 {"song1.ins", 6},    {"03 patch.003", 8},
                 {"other.ins", 0},    {"missing.dat", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        binistream* stream = files.open(c.asked);
        EXPECT_EQ(stream ? static_cast<int>(stream->readInt(1)) : 0, c.firstByte);
        if (stream) files.close(stream);
    }
    EXPECT_EQ(files.MissingCompanion("01 Tune.rol"), "");
    EXPECT_EQ(tarvocore::CAdPlugFiles("01 Tune.rol", song, {}).MissingCompanion("01 Tune.rol"),
              "an instrument bank (standard.bnk)");
}

// Every extension AdPlug's own player list names is taken as AdLib music,
// but those whose files other engines play.
TEST(AdPlugEngine, EveryFormatAdPlugPlaysIsTaken) {
    int extensions = 0;
    for (const CPlayerDesc* player : CAdPlug::players)
        for (unsigned i = 0; const char* extension = player->get_extension(i); ++i) {
            SCOPED_TRACE(player->filetype + " " + extension);
            const std::string name = std::string("song") + extension;
            const tarvocore::MusicFamily family = tarvocore::FamilyOfName(name);
            if (std::string(extension) == ".s3m")
                EXPECT_EQ(family, tarvocore::MusicFamily::Tracker);
            else if (std::string(extension) == ".vgm" || std::string(extension) == ".vgz")
                EXPECT_EQ(family, tarvocore::MusicFamily::Console);
            else
                EXPECT_EQ(family, tarvocore::MusicFamily::AdLib);
            ++extensions;
        }
    EXPECT_GT(extensions, 50);
}

// A ROL plays with its bank beside it in the game, whatever the bank's case;
// without one it is refused saying so.
TEST(AdPlugEngine, ARolSongPlaysWithTheBankBesideIt) {
    tarvocore::CAdPlugEngine engine;
    engine.SetName("01 Tune.rol");
    engine.SetCompanions({{"STANDARD.BNK", tarvo::test::StandardBank()}});
    std::string error;
    ASSERT_TRUE(engine.Open(tarvo::test::RolSong(), {}, error)) << error;
    EXPECT_EQ(engine.Info().tunes.at(0).lengthMs, 8000);
    ASSERT_TRUE(engine.Start(0, error)) << error;
    const std::vector<int16_t> sound = Render(engine, 22050);
    EXPECT_GT(*std::max_element(sound.begin(), sound.end()), 1000);

    tarvocore::CAdPlugEngine bankless;
    bankless.SetName("01 Tune.rol");
    EXPECT_FALSE(bankless.Open(tarvo::test::RolSong(), {}, error));
    EXPECT_EQ(error, "it needs an instrument bank (standard.bnk) beside it, which the game lacks");
}
