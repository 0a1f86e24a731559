// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TagText.h"
#include "soundcore/SoundCoreFixture.h"
#include "support/FileSizeLimit.h"

#include <csignal>
#include <filesystem>
#include <unistd.h>

using namespace tarvo::test;

namespace {

const char* const kCatalogue =
    "# test games\n"
    "\n"
    "tunes | Test Tunes | Tarvo Labs | 1999 | Sega Master System (VGM) | Prototype\n"
    "broken | Broken | Tarvo Labs | 2000 | Sega Master System (VGM)\n"
    "absent | Absent | Tarvo Labs | 2001 | Sega Master System (VGM)\n";

constexpr int kFramesPerCall = 1323; // 30 ms at 44100 Hz

class CoreTest : public SoundCoreTest {
protected:
    void SetUp() override {
        SoundCoreTest::SetUp();
        WriteZip(romFolder + "tunes.zip", {{"03 Loop.vgm", ToneVgm(60, true)},
                                           {"007 Jingle.vgz", ToneVgm(30, false)},
                                           {"readme.txt", {'h', 'i'}},
                                           {"music/12 Nested.vgm", ToneVgm(10, false)}});
        StartCore(kCatalogue);
    }
};

// A WAV header's number at `at`, little-endian.
uint32_t Le32(const std::string& wav, size_t at) {
    uint32_t value = 0;
    for (size_t i = 4; wav.size() >= at + 4 && i-- > 0;)
        value = value << 8 | static_cast<uint8_t>(wav[at + i]);
    return value;
}

// The header's data size, to set beside what the file really holds.
uint32_t WavDataBytes(const std::string& wav) {
    return Le32(wav, 40);
}

} // namespace

TEST_F(CoreTest, CatalogueAnswersInItsOrder) {
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(core.GetInt(CORE_INT_GAME_COUNT, 0), 3);
    EXPECT_STREQ(core.GetString(CORE_STR_ROM_NAME, 1), "broken");
    EXPECT_STREQ(core.GetString(CORE_STR_TITLE, 0), "Test Tunes");
    EXPECT_STREQ(core.GetString(CORE_STR_MANUFACTURER, 0), "Tarvo Labs");
    EXPECT_STREQ(core.GetString(CORE_STR_EXTRA_INFO, 0), "1999, Prototype");
    EXPECT_STREQ(core.GetString(CORE_STR_DRIVER_NAME, core.GetInt(CORE_INT_DRIVER_OF_GAME, 2)),
                 "Sega Master System (VGM)");
    EXPECT_STREQ(core.GetString(CORE_STR_TITLE, 3), "");
    EXPECT_EQ(std::string(core.GetString(CORE_STR_VERSION, 0)).rfind("1.0.0 (libgme ", 0), 0u);
}

TEST_F(CoreTest, MalformedCatalogueLinesAndAMissingCatalogueAreReported) {
    tarvocore::CSoundCore other;
    temp.Write(tarvocore::CCatalogue::kFileName,
               "good | Good | M | 1 | D\nonly | two\n\nbad name | X | M | 1 | D\n");
    other.Init(this, &SoundCoreTest::OnMessage, temp.Path());
    EXPECT_EQ(other.GetInt(CORE_INT_GAME_COUNT, 0), 1);
    ASSERT_EQ(Count(CORE_MSG_ERROR), 2);
    EXPECT_NE(messages[0].text.find("line 2"), std::string::npos);
    EXPECT_NE(messages[1].text.find("line 4"), std::string::npos);

    messages.clear();
    tarvocore::CSoundCore lost;
    lost.Init(this, &SoundCoreTest::OnMessage, temp.Path() + "nowhere/");
    EXPECT_EQ(lost.GetInt(CORE_INT_GAME_COUNT, 0), 0);
    ASSERT_EQ(Count(CORE_MSG_ERROR), 1);
    EXPECT_NE(messages[0].text.find(temp.Path() + "nowhere/tarvocore-games.txt"),
              std::string::npos);
}

TEST_F(CoreTest, TheUsersOwnCatalogueFollowsTheShippedOneAndCannotRepeatAGame) {
    tarvocore::CSoundCore other;
    temp.Write("mine.txt", "tunes | Again | M | 1 | D\nmine | My Game | Me | 2026 | D\n");
    other.SetUserCatalogue(temp.File("mine.txt"));
    messages.clear();
    other.Init(this, &SoundCoreTest::OnMessage, temp.Path());
    ASSERT_EQ(other.GetInt(CORE_INT_GAME_COUNT, 0), 4);
    EXPECT_STREQ(other.GetString(CORE_STR_TITLE, 0), "Test Tunes"); // the first line stays
    EXPECT_STREQ(other.GetString(CORE_STR_ROM_NAME, 3), "mine");
    ASSERT_EQ(Count(CORE_MSG_ERROR), 1);
    EXPECT_EQ(messages[0].text,
              "line 1 of " + temp.File("mine.txt") +
                  " names tunes, which is in the catalogue already; it was skipped");
    other.Shutdown();
}

// A load at a clip starts it; without one, the core stops at the lowest
// clip and plays nothing until a clip starts.
TEST_F(CoreTest, LoadingSendsItsSequenceAndStartsTheClipAskedFor) {
    Load("tunes", 3);
    EXPECT_EQ(Codes(), (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH, CORE_MSG_GAME_LOADED,
                                         CORE_MSG_DRIVER_INFO, CORE_MSG_CLIP_STARTED}));
    EXPECT_EQ(messages[1].text, "tunes.zip");
    EXPECT_EQ(romBufferTextLength, 9u);
    EXPECT_EQ(messages[2].text, "Test Tunes");
    EXPECT_EQ(messages[3].text,
              "SN76489 3.58 MHz; 3 clips"); // the nested "12" counts by its own name
    EXPECT_EQ(messages[4].second, 3);
    EXPECT_EQ(core.GetInt(CORE_INT_LOADED_GAME, 0), 0);

    Load("tunes", -1);
    EXPECT_EQ(Codes().back(), CORE_MSG_STOPPED);
    EXPECT_EQ(core.GetInt(CORE_INT_CURRENT_CLIP, 0), 3);
    framesReported = 0;
    Service(10);
    EXPECT_EQ(framesReported, 0);
}

TEST_F(CoreTest, TheTuneTableTellsNumbersTitlesAndLengths) {
    EXPECT_EQ(core.GetInt(CORE_INT_TUNE_TABLE, 0), 1);
    EXPECT_EQ(core.GetInt(CORE_INT_LAST_TUNE, 0), -1); // no game loaded
    Bytes untagged = ToneVgm(30, false);
    untagged[0x14] = untagged[0x15] = untagged[0x16] = untagged[0x17] = 0; // no tag block
    WriteZip(romFolder + "absent.zip",
             {{"02 - Tagged.vgm", ToneVgm(60, true)}, {"007 Stage Clear.vgz", untagged}});
    Load("absent", -1);
    struct Case {
        int clip;
        bool has;
        const char* title;
        int lengthMs;
    } cases[] = {{0, false, "", -1},
                 {2, true, "tone", 10000},      // the tag's title; a 1-s loop twice, a fade of 8 s
                 {7, true, "Stage Clear", 516}, // the file's name; its end
                 {8, false, "", -1}};
    EXPECT_EQ(core.GetInt(CORE_INT_LAST_TUNE, 0), 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clip);
        EXPECT_EQ(core.GetInt(CORE_INT_HAS_TUNE, c.clip), c.has ? 1 : 0);
        EXPECT_STREQ(core.GetString(CORE_STR_TUNE_TITLE, c.clip), c.title);
        EXPECT_EQ(core.GetInt(CORE_INT_TUNE_LENGTH, c.clip), c.lengthMs);
    }
    // A loop plays as many times as asked, and fades as long; a stated end stays.
    core.SetOption(CORE_OPT_LOOP_COUNT, 3);
    core.SetOption(CORE_OPT_TUNE_FADE_MS, 0);
    EXPECT_EQ(core.GetInt(CORE_INT_TUNE_LENGTH, 2), 3000);
    EXPECT_EQ(core.GetInt(CORE_INT_TUNE_LENGTH, 7), 516);
    core.SetOption(CORE_OPT_LOOP_COUNT, 0); // at least once
    core.SetOption(CORE_OPT_TUNE_FADE_MS, 2500);
    EXPECT_EQ(core.GetInt(CORE_INT_TUNE_LENGTH, 2), 3500);
}

// Inside tarvo-emulator, with the filter the emulators run under: everything
// that could reach beyond the process fails.
TEST(EmulatorSandbox, RefusesFilesSocketsProcessesSignalsAndMemoryBeyondTheLimit) {
    std::FILE* check = ::popen(TARVO_EMULATOR " --check-sandbox", "r");
    ASSERT_NE(check, nullptr);
    std::string report;
    char line[256];
    while (std::fgets(line, sizeof line, check))
        report += line;
    EXPECT_EQ(::pclose(check), 0) << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 6) << report;
    EXPECT_EQ(report.find("ALLOWED"), std::string::npos) << report;
}

TEST(TagText, EveryEncodingBecomesOneLineOfValidUtf8) {
    using tarvocore::CleanTagText;
    using tarvocore::TagEncoding;
    struct Case {
        std::string raw;
        TagEncoding encoding;
        std::string clean;
    } cases[] = {
        {"  Overture \n", TagEncoding::Latin1, "Overture"},
        {"Treasure\nstarmoth:blank 1\r\n", TagEncoding::Latin1, "Treasure starmoth:blank 1"},
        {"Caf\xc3\xa9", TagEncoding::Latin1, "Caf\xc3\xa9"}, // UTF-8 stays
        {"Caf\xe9", TagEncoding::Latin1, "Caf\xc3\xa9"},     // a SID header's Latin-1
        {"\x83\x5e\x83\x8b\x83\x7b", TagEncoding::ShiftJis,  // an SPC tag's Shift-JIS
         "\xe3\x82\xbf\xe3\x83\xab\xe3\x83\x9c"},
        {"A\xff\x81", TagEncoding::ShiftJis, "A\xef\xbf\xbd\xef\xbf\xbd"}, // unreadable bytes
        {"Tab\tand\x7f"
         "del\xc2\x85next",
         TagEncoding::Latin1, "Tab and del next"},
        {std::string(300, 'x'), TagEncoding::Latin1, std::string(255, 'x')},
        {std::string(200, ' ') + "\x01", TagEncoding::Latin1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(CleanTagText(c.raw, c.encoding), c.clean);
    }
    const std::string kana = CleanTagText(std::string(300, '\xb1'), TagEncoding::ShiftJis);
    EXPECT_TRUE(tarvocore::IsValidUtf8(kana));
    EXPECT_EQ(kana.size(), 255u * 3); // 255 characters, not bytes
}

TEST_F(CoreTest, TagsAndFileNamesGiveCleanTitles) {
    compose::VgmBuilder tagged;
    tagged.Add(compose::Frame());
    WriteZip(romFolder + "absent.zip",
             {{"01 a.vgm", tagged.Finish("Caf\xe9 \x01Treasure\nabsent:blank 1", "Game")},
              {"02 Line\nFeed.vgm", tagged.Finish("", "Game")}});
    Load("absent", -1);
    EXPECT_STREQ(core.GetString(CORE_STR_TUNE_TITLE, 1),
                 "Caf\xc3\xa9  Treasure absent:blank 1"); // GD3's UTF-16, one line
    EXPECT_STREQ(core.GetString(CORE_STR_TUNE_TITLE, 2), "Line Feed");
}

TEST_F(CoreTest, AFadeFallsSmoothlyToSilenceAndStaysThere) {
    Load("tunes", 3); // a steady tone
    std::vector<int16_t> heard;
    captured = &heard;
    Service(10);
    const size_t before = heard.size();
    core.SetOption(CORE_OPT_FADE_OUT_MS, 1000);
    Service(40); // 1.2 s
    captured = nullptr;
    int peak = 32767, previous = heard[before - 2];
    for (size_t i = before; i < heard.size(); i += 2) {
        EXPECT_LE(std::abs(heard[i] - previous), 2 * 2048)
            << i; // no click: no step beyond the tone's own
        previous = heard[i];
    }
    for (size_t block = before; block + 882 <= heard.size(); block += 882) { // 10 ms at a time
        int blockPeak = 0;
        for (size_t i = block; i < block + 882; ++i)
            blockPeak = std::max(blockPeak, std::abs(static_cast<int>(heard[i])));
        EXPECT_LE(blockPeak, peak + 1) << block;
        peak = blockPeak;
    }
    EXPECT_EQ(peak, 0);
    core.Command(CORE_CMD_PLAY_CLIP, 3); // a clip start ends the fade
    Service(5);
    EXPECT_GT(lastPeak, 1000);
}

TEST_F(CoreTest, PlayingLevelsAndUnloading) {
    Load("tunes", 3);
    messages.clear();
    Service(5);
    EXPECT_EQ(framesReported, 5 * kFramesPerCall);
    EXPECT_GT(lastPeak, 1000);
    EXPECT_EQ(Count(CORE_MSG_SILENCE), 0);

    core.Command(CORE_CMD_PAUSE, 0);
    Service(5);
    EXPECT_EQ(framesReported, 5 * kFramesPerCall);
    core.Command(CORE_CMD_RESUME, 0);

    core.Command(CORE_CMD_PLAY_CLIP, CORE_SILENCE_CLIP);
    EXPECT_EQ(Last(CORE_MSG_CLIP_STARTED)->second, CORE_SILENCE_CLIP);
    messages.clear();
    core.Command(CORE_CMD_UNLOAD, 0);
    EXPECT_EQ(Codes(), std::vector<int>{CORE_MSG_GAME_GONE});
    EXPECT_EQ(core.GetInt(CORE_INT_LOADED_GAME, 0), -1);
}

// Silence is reported once a second of it has played: at once for a clip
// number with no file, after its end for a jingle, after its known length for
// a loop (1 s: two passes and the 8-s fade), and never for a loop let play on.
TEST_F(CoreTest, SilenceIsReportedEverySecondOfItAndNeverForALoopLetPlayOn) {
    struct Case {
        int clip;
        int calls; // 30 ms each
        int silences;
        bool sounding;
        bool endAtLength;
    } cases[] = {{5, 34, 1, false, true},  {5, 68, 2, false, true},
                 {7, 60, 1, false, true},  {3, 330, 0, true, true}, // 9.9 s: fading
                 {3, 400, 2, false, true}, {3, 400, 0, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.clip) + " " + std::to_string(c.calls));
        core.SetOption(CORE_OPT_END_AT_LENGTH, c.endAtLength ? 1 : 0);
        Load("tunes", c.clip);
        messages.clear();
        Service(c.calls);
        EXPECT_EQ(Count(CORE_MSG_SILENCE), c.silences);
        EXPECT_EQ(lastPeak > 0, c.sounding);
    }
}

TEST_F(CoreTest, RecordsExactlyWhatWasPlayedEvenWhenShutDown) {
    Load("tunes", 3);
    wavPath = temp.File("out.wav");
    core.SetOption(CORE_OPT_RECORD, 1);
    EXPECT_EQ(Count(CORE_MSG_WAV_PATH), 1);
    framesReported = 0;
    Service(20);
    core.SetOption(CORE_OPT_RECORD, 0);
    Service(3); // not recorded

    const std::string wav = temp.Read("out.wav");
    ASSERT_EQ(wav.size(), 44u + 20u * kFramesPerCall * 4u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(wav, 24), 44100u);
    EXPECT_EQ(Le32(wav, 28), 44100u * 4);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(WavDataBytes(wav), 20u * kFramesPerCall * 4);

    wavPath = temp.File("cut.wav"); // a shutdown completes an open recording
    core.SetOption(CORE_OPT_RECORD, 1);
    Service(2);
    core.Shutdown();
    EXPECT_EQ(temp.Read("cut.wav").size(), 44u + 2u * kFramesPerCall * 4u);
    EXPECT_EQ(WavDataBytes(temp.Read("cut.wav")), 2u * kFramesPerCall * 4u);
}

// A recording that cannot be made, or stops on a full disk, says so once; what
// was written stays playable.
TEST_F(CoreTest, ARecordingOnAFullDiskSaysSoOnceAndKeepsWhatWasWrittenPlayable) {
    Load("tunes", 3);
    wavPath = temp.File("no/such/folder.wav");
    core.SetOption(CORE_OPT_RECORD, 1);
    ASSERT_NE(Last(CORE_MSG_ERROR), nullptr);
    EXPECT_NE(Last(CORE_MSG_ERROR)->text.find("no/such/folder.wav"), std::string::npos);
    messages.clear();
    wavPath = temp.File("full.wav");
    {
        const FileSizeLimit full(300 * 1024 + 2); // not a whole frame
        core.SetOption(CORE_OPT_RECORD, 1);
        Service(100); // 529 KB of sound
        core.SetOption(CORE_OPT_RECORD, 0);
    }
    EXPECT_EQ(Count(CORE_MSG_ERROR), 1);
    EXPECT_NE(Last(CORE_MSG_ERROR)->text.find("full.wav"), std::string::npos);
    const std::string wav = temp.Read("full.wav");
    EXPECT_EQ(WavDataBytes(wav), wav.size() - 44);
    EXPECT_EQ((wav.size() - 44) % 4, 0u);
    EXPECT_GT(wav.size(), 200u * 1024);
}

// A load that cannot be made tells its errors, then that it failed.
TEST_F(CoreTest, LoadFailures) {
    const std::string absent = romFolder + "absent.zip";
    struct Case {
        const char* name;
        std::function<void()> prepare;
        int errors;
    } cases[] = {
        {"no path given", [&] { romAnswer = 0; }, 0},
        {"archive missing", [] {}, 1},
        {"random bytes", [&] { temp.Write("roms/absent.zip", std::string(5000, 'x')); }, 1},
        {"an archive cut inside its only member",
         [&] {
             WriteZip(absent, {{"01.vgm", ToneVgm(600, true)}});
             std::filesystem::resize_file(absent, 100);
         },
         2},
        {"no music file",
         [&] {
             WriteZip(absent, {{"notes.txt", {'x'}}});
         },
         1},
        {"member above the size limit",
         [&] {
             WriteZip(absent, {{"01.vgm", Bytes(17u << 20, 0)}});
         },
         2},
        {"a multi-track file of random bytes",
         [&] {
             WriteZip(absent, {{"game.nsf", RandomBytes(4000, 1)}});
         },
         1},
        {"an archive whose reader fails without a word (found by fuzzing)",
         [&] {
             std::filesystem::copy_file(std::string(TARVO_TEST_DATA) +
                                            "/hostile/archive-failing-without-a-message.zip",
                                        absent);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        romAnswer = 1;
        std::filesystem::remove(absent);
        c.prepare();
        messages.clear();
        Load("absent", 1);
        std::vector<int> told{CORE_MSG_BUSY, CORE_MSG_ROM_PATH};
        told.insert(told.end(), static_cast<size_t>(c.errors), CORE_MSG_ERROR);
        told.push_back(CORE_MSG_LOAD_FAILED);
        EXPECT_EQ(Codes(), told);
        EXPECT_EQ(core.GetInt(CORE_INT_LOADED_GAME, 0), -1);
    }
}

// A game's archive may be of any kind its music comes in; the core reads it
// by its content, whatever its name. Encrypted archives and volumes of a
// RAR of several are refused with a word.
TEST_F(CoreTest, EveryKindOfArchiveLoadsAndPlays) {
    const std::string loose = temp.MakeFolder("loose");
    const Bytes tune = ToneVgm(60, true);
    temp.Write("loose/03 Loop.vgm", std::string(tune.begin(), tune.end()));
    const auto bsdtar = [&](const std::string& archive, const std::string& options) {
        return std::system(
            ("bsdtar " + options + " -cf '" + archive + "' -C '" + loose + "' '03 Loop.vgm'")
                .c_str());
    };
    struct Case {
        const char* file;
        const char* options; // for bsdtar; null: the test's own RAR writer
    } cases[] = {{"absent.7z", "--format 7zip"},
                 {"absent.tar", "--format ustar"},
                 {"absent.tar.gz", "-z --format ustar"},
                 {"absent.tar.xz", "-J --format ustar"},
                 {"absent.tbz2", "-j --format ustar"},
                 {"absent.zip", "--format zip"},
                 {"absent.rsn", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::filesystem::remove(romFolder + "absent.zip");
        if (c.options)
            ASSERT_EQ(bsdtar(romFolder + c.file, c.options), 0);
        else
            WriteRar(romFolder + c.file, {{"music/03 Loop.vgm", tune}});
        romFile = c.file;
        messages.clear();
        Load("absent", 3);
        EXPECT_EQ(Count(CORE_MSG_ERROR), 0)
            << (Last(CORE_MSG_ERROR) ? Last(CORE_MSG_ERROR)->text : "");
        ASSERT_EQ(Codes().back(), CORE_MSG_CLIP_STARTED);
        Service(5);
        EXPECT_GT(lastPeak, 1000);
    }
    ASSERT_EQ(bsdtar(romFolder + "locked.zip",
                     "--format zip --options zip:encryption=traditional --passphrase secret"),
              0);
    WriteRar(romFolder + "part1.rsn", {{"03 Loop.vgm", tune}}, true);
    for (auto [file, says] : {std::pair{"locked.zip", "is encrypted"},
                              {"part1.rsn", "is one volume of a RAR archive of several"}}) {
        romFile = file;
        messages.clear();
        Load("absent", 3);
        ASSERT_NE(Last(CORE_MSG_ERROR), nullptr);
        EXPECT_NE(Last(CORE_MSG_ERROR)->text.find(says), std::string::npos);
        EXPECT_EQ(Codes().back(), CORE_MSG_LOAD_FAILED);
    }
}

TEST_F(CoreTest, DamagedMusicFilesAreRefusedWhenPlayed) {
    Bytes truncated = ToneVgm(60, true);
    truncated.resize(0x45);
    WriteZip(romFolder + "broken.zip", {{"01 Noise.vgm", RandomBytes(3000, 2)},
                                        {"02 Truncated.vgm", truncated},
                                        {"03 Good.vgm", ToneVgm(60, true)}});
    Load("broken", 1);
    EXPECT_EQ(Codes(), (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH, CORE_MSG_ERROR,
                                         CORE_MSG_GAME_LOADED, CORE_MSG_DRIVER_INFO, CORE_MSG_ERROR,
                                         CORE_MSG_CLIP_STARTED}));
    EXPECT_EQ(messages[2].text, "broken.zip: 2 of the game's 3 files could not be read; they are "
                                "listed by their names");
    messages.clear();
    Service(40);
    EXPECT_EQ(lastPeak, 0); // a refused clip plays silence, so it can be marked blank
    EXPECT_EQ(Count(CORE_MSG_SILENCE), 1);

    core.Command(CORE_CMD_PLAY_CLIP, 3);
    Service(3);
    EXPECT_GT(lastPeak, 0);
}

namespace {

// Twenty AdLib songs whose player never finishes a tick: each would use up
// the emulator's whole limit, so the load's one budget ends the reading and
// the songs are listed by their names, with one word of it.
void WriteSlowGame(const std::string& path) {
    const Bytes song = HostileFile("adlib-midi-tick-that-never-ends.cmf");
    std::vector<ZipMember> members;
    for (int n = 1; n <= 20; ++n)
        members.push_back({std::to_string(n) + " Song " + std::to_string(n) + ".cmf", song});
    WriteZip(path, members);
}

} // namespace

TEST_F(CoreTest, AGameOfUnreadableFilesLoadsWithinOneBudgetAndSaysSo) {
    WriteSlowGame(romFolder + "absent.zip");
    Load("absent", -1);
    ASSERT_EQ(Count(CORE_MSG_ERROR), 1);
    EXPECT_EQ(Last(CORE_MSG_ERROR)->text,
              "absent.zip: 20 of the game's 20 files could not be read; they are listed by their "
              "names");
    EXPECT_EQ(core.GetInt(CORE_INT_LAST_TUNE, 0), 20);
    EXPECT_STREQ(core.GetString(CORE_STR_TUNE_TITLE, 17), "Song 17");
}

// The player's thread never waits on a load or a clip's start: the call
// returns once the core is busy, the outcome comes with a later service call,
// and a load that is no longer wanted (another game asked for, or none) is
// never told.
TEST_F(CoreTest, AGameLoadsWhileTheCallerGoesOnAndAnUnwantedLoadIsNeverTold) {
    WriteSlowGame(romFolder + "absent.zip");
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 0); // a real device, as the player has
    Load("absent", -1);
    EXPECT_EQ(TakeCodes(), (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH}));
    Service(1);
    EXPECT_EQ(core.GetInt(CORE_INT_LOADED_GAME, 0), -1);
    Load("tunes", 3);
    core.WaitForStarts();
    EXPECT_EQ(TakeCodes(), (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH}));
    Service(1);
    // named, should a busy machine make one
    const std::string said = Last(CORE_MSG_ERROR) ? Last(CORE_MSG_ERROR)->text : std::string();
    EXPECT_EQ(TakeCodes(), (std::vector<int>{CORE_MSG_GAME_LOADED, CORE_MSG_DRIVER_INFO})) << said;
    core.WaitForStarts(); // the clip's file on its way to the emulator
    Service(1);
    EXPECT_EQ(TakeCodes(), std::vector<int>{CORE_MSG_CLIP_STARTED});
    EXPECT_EQ(core.GetInt(CORE_INT_CURRENT_CLIP, 0), 3);
    // Nothing holds the sound device while nothing plays.
    EXPECT_TRUE(core.HoldsSoundDevice());
    core.Command(CORE_CMD_PAUSE, 0);
    EXPECT_FALSE(core.HoldsSoundDevice());
    core.Command(CORE_CMD_RESUME, 0);
    EXPECT_TRUE(core.HoldsSoundDevice());

    Load("absent", -1);
    core.Command(CORE_CMD_UNLOAD, 0);
    EXPECT_FALSE(core.HoldsSoundDevice());
    Service(1);
    core.Shutdown(); // waits for the cancelled loads
    EXPECT_EQ(TakeCodes(),
              (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH, CORE_MSG_GAME_GONE}));
}

TEST_F(CoreTest, PathBuffersHoldTheAgreedCapacity) {
    // The player may fill the whole buffer: 4095 bytes and the terminating zero.
    tarvocore::CSoundCore other;
    std::string longName(4000, 'a');
    temp.Write(tarvocore::CCatalogue::kFileName, "tunes | T | M | 1 | D\n");
    other.Init(this, &SoundCoreTest::OnMessage, temp.Path());
    romFolder = temp.Path() + std::string(CORE_PATH_BUFFER_SIZE - 1 - 9 - temp.Path().size(), 'd');
    other.SetOption(CORE_OPT_GAME, 0);
    other.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
    other.Command(CORE_CMD_START_GAME, 1);
    EXPECT_EQ(Codes(), (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH, CORE_MSG_ERROR,
                                         CORE_MSG_LOAD_FAILED}));
    other.Shutdown();
}

// Each hostile file kept from fuzzing ends one way: refused with its reason,
// stopped in the emulator's process, or played as the harmless data it
// becomes; and the next game plays.
TEST_F(CoreTest, HostileInputsEndWithAMessageOrPlayAndTheCoreGoesOn) {
    const std::string folder = std::string(TARVO_TEST_DATA) + "/hostile/";
    struct Case {
        const char* name;
        const char* message; // among the errors told; empty: plays without one; null: either
    } cases[] = {{"old-header-ym2612-clock.vgm", "a chip clock of 642789200 Hz is out of range"},
                 {"sn76489-clock-too-high.vgm", "a chip clock of 16859136 Hz is out of range"},
                 {"ym2612-commands-without-clock.vgm", "noise register width of 255 bits"},
                 {"kss-ay-overrun.kss", ""},
                 {"ay-start-null-copy.ay", ""},
                 {"psid-data-offset-beyond-the-file.sid", "wrong data offset"},
                 {"module-of-endless-length.mod", ""},
                 {"adlib-midi-tick-that-never-ends.cmf", "stopped the emulator"},
                 // AdPlug's LDS player reads out of bounds while its tags are read:
                 // what it finds there decides whether its process stops.
                 {"adplug-lds-player-crash.lds", nullptr},
                 // ... and its HSP player crashes on these bytes (a 10-minute fuzz
                 // run), while its tags are read or as it plays.
                 {"adplug-hsp-player-crash.hsp", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes data = HostileFile(c.name);
        ASSERT_FALSE(data.empty());
        WriteZip(romFolder + "absent.zip", {{std::string("01 ") + c.name, data}});
        messages.clear();
        Load("absent", 1);
        Service(100); // 3 s
        std::string said;
        for (const Message& message : messages)
            if (message.code == CORE_MSG_ERROR) said += message.text + "\n";
        if (c.message && *c.message) {
            EXPECT_NE(said.find(c.message), std::string::npos) << said;
        } else if (c.message) {
            EXPECT_EQ(said, "");
        }
        messages.clear();
        Load("tunes", 3);
        Service(5);
        EXPECT_GT(lastPeak, 1000);
        EXPECT_EQ(Count(CORE_MSG_ERROR), 0);
    }

    std::filesystem::copy_file(folder + "many-entries-one-member.zip", romFolder + "absent.zip",
                               std::filesystem::copy_options::overwrite_existing);
    messages.clear();
    Load("absent", 1); // 64 entries for one huge member: one message, bounded work
    EXPECT_EQ(Codes(), (std::vector<int>{CORE_MSG_BUSY, CORE_MSG_ROM_PATH, CORE_MSG_ERROR,
                                         CORE_MSG_ERROR, CORE_MSG_LOAD_FAILED}));
    EXPECT_NE(messages[2].text.find("is damaged or larger than 16 MiB"), std::string::npos)
        << messages[2].text;
}

TEST_F(CoreTest, AnEmulatorThatDiesEndsItsClipWithAMessageAndTheNextClipPlays) {
    Load("tunes", 3);
    Service(5);
    messages.clear();
    ::kill(core.Emulator().Pid(), SIGKILL);
    Service(80); // the clip goes on as silence
    ASSERT_EQ(Count(CORE_MSG_ERROR), 1);
    EXPECT_EQ(Last(CORE_MSG_ERROR)->text, "03 Loop.vgm stopped the emulator");
    EXPECT_EQ(lastPeak, 0);
    EXPECT_GE(Count(CORE_MSG_SILENCE), 1);
    core.Command(CORE_CMD_SEEK, 1500); // a silent clip moves at once, so the player goes on
    EXPECT_EQ(Last(CORE_MSG_SEEKED)->second, 1500);
    EXPECT_EQ(Count(CORE_MSG_ERROR), 1);
    core.Command(CORE_CMD_PLAY_CLIP, 3);
    Service(5);
    EXPECT_GT(lastPeak, 1000);
}
