// SPDX-License-Identifier: GPL-3.0-or-later
// The four engines behind the core: which one a file gets, what each tells of
// its demo game, and how each refuses a damaged file.
#include "engines/AdPlugEngine.h"
#include "engines/GmeEngine.h"
#include "engines/OpenMptEngine.h"
#include "engines/SidEngine.h"
#include "game/GameClips.h"
#include "soundcore/SoundCoreFixture.h"
#include "tools/compose/ImfBuilder.h"
#include "tools/compose/ModuleBuilder.h"
#include "tools/compose/SidBuilder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <typeinfo>

using namespace tarvo::test;

namespace {

Bytes TwoTuneSid() {
    compose::SidBuilder sid("Twin Peaks", "Tester", "2026 Tests");
    sid.AddTune(kTune);
    sid.AddTune({"Other", "A4/16", "A2/16", 6});
    return sid.Finish();
}

Bytes Module(const std::string& title, std::vector<compose::LeadAndBass> tunes) {
    compose::ModuleBuilder module(title);
    for (auto& tune : tunes)
        module.AddTune(tune);
    return module.Finish("Tester");
}

Bytes Prefixed(const std::string& magic, size_t size) {
    Bytes data = RandomBytes(size, 7);
    std::copy(magic.begin(), magic.end(), data.begin());
    return data;
}

class EnginesTest : public SoundCoreTest {
protected:
    void SetUp() override {
        SoundCoreTest::SetUp();
        StartCore("tiderunner | T | M | 1 | D\ncometminer | C | M | 1 | D\n"
                  "embercrypt | E | M | 1 | D\nmine | Mine | M | 1 | D\n"
                  "tarvoquest | Q | M | 1 | D\npixelracer | P | M | 1 | D\n"
                  "starmoth | S | M | 1 | D\nneondragon | N | M | 1 | D\n"
                  "coastrider | R | M | 1 | D\nstormblade | B | M | 1 | D\n"
                  "ironwing | I | M | 1 | D\n");
    }

    static constexpr int kReport = tarvocore::CSoundCore::kLevelReportFrames;

    // What the core renders in this many level reports (30 ms each).
    std::vector<int16_t> Listen(int reports) {
        std::vector<int16_t> heard;
        captured = &heard;
        for (int i = 0; i < reports; ++i)
            core.Render(kReport);
        captured = nullptr;
        return heard;
    }

    // The clips the core tells of the loaded game: number, title, length.
    std::map<int, std::pair<std::string, int>> Tunes() {
        std::map<int, std::pair<std::string, int>> told;
        for (int clip = 0; clip <= core.GetInt(CORE_INT_LAST_TUNE, 0); ++clip)
            if (core.GetInt(CORE_INT_HAS_TUNE, clip))
                told[clip] = {core.GetString(CORE_STR_TUNE_TITLE, clip),
                              core.GetInt(CORE_INT_TUNE_LENGTH, clip)};
        return told;
    }
};

} // namespace

TEST(EngineChoice, ByContentFirstThenByName) {
    const Bytes module = Module("M", {kTune});
    const Bytes imf = compose::ToImf(kTune, "Tester");
    struct Case {
        const char* what;
        Bytes data;
        std::string name;
        const std::type_info* engine; // null: nothing plays it
    } cases[] = {
        {"PSID", TwoTuneSid(), "tune.sid", &typeid(tarvocore::CSidEngine)},
        {"PSID under a module's name", TwoTuneSid(), "tune.mod", &typeid(tarvocore::CSidEngine)},
        {"RSID", Prefixed("RSID", 200), "x", &typeid(tarvocore::CSidEngine)},
        {"ProTracker module", module, "song.mod", &typeid(tarvocore::COpenMptEngine)},
        {"module without a name", module, "", &typeid(tarvocore::COpenMptEngine)},
        {"VGM named .sid", ToneVgm(10, false), "x.sid", &typeid(tarvocore::CGmeEngine)},
        {"NSF", Prefixed("NESM\x1a", 300), "game.nsf", &typeid(tarvocore::CGmeEngine)},
        {"DOSBox capture", Prefixed("DBRAWOPL", 100), "capture", &typeid(tarvocore::CAdPlugEngine)},
        {"RAD", Prefixed("RAD by REALiTY!!", 100), "x.bin", &typeid(tarvocore::CAdPlugEngine)},
        {"IMF, known by its name alone", imf, "01 Tune.imf", &typeid(tarvocore::CAdPlugEngine)},
        {"IMF without its name", imf, "01 Tune", nullptr},
        {"random bytes named .mod", RandomBytes(4000, 3), "x.mod", nullptr},
        {"empty", {}, "x.txt", nullptr},
        {"empty, named as a module", {}, "x.mod", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto engine = tarvocore::MakeMusicEngine(c.data, c.name);
        if (!c.engine) {
            EXPECT_EQ(engine, nullptr);
            continue;
        }
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(typeid(*engine), *c.engine);
    }
}

// Every demo game, of every engine: its details, its tunes' numbers, titles
// and lengths, and each tune sounds.
TEST_F(EnginesTest, TheDemoGamesOfEachEngineTellTheirTunesAndSound) {
    romFolder = TARVO_DEMO_ROMS;
    using Table = std::map<int, std::pair<std::string, int>>;
    const struct {
        const char* game;
        const char* details;
        Table tunes; // lengths in ms, to the tick of each format's player
    } cases[] = {
        {"tarvoquest",
         "SN76489 3.58 MHz; 7 clips",
         {{1, {"Overture", 37866}},
          {2, {"Quiet Village", 46400}},
          {4, {"Treasure Found", 3700}},
          {5, {"Game Over", 5833}},
          {10, {"Sword", 533}},
          {11, {"Coin", 600}},
          {12, {"Jump", 500}}}},
        {"pixelracer",
         "SN76489 3.58 MHz; 4 clips",
         {{0, {"Neon Highway", 29332}},
          {1, {"Finish Line", 3166}},
          {3, {"Engine", 1800}},
          {7, {"Boost", 800}}}},
        {"starmoth",
         "SN76489 3.58 MHz; 5 clips",
         {{1, {"Moonlit Swarm", 37866}},
          {2, {"Hive Queen", 29332}},
          {5, {"Stage Clear", 3700}},
          {20, {"Laser", 466}},
          {21, {"Explosion", 966}}}},
        {"tiderunner",
         "4-channel ProTracker MOD (M.K.) module; 2 clips",
         {{0, {"Harbour Lights", 7680}}, {1, {"Storm Chase", 5120}}}},
        {"cometminer",
         "MOS 6581 SID, PAL; 3 clips",
         {{1, {"Surface", 7680}}, {2, {"Deep Shaft", 10240}}, {5, {"Game Over", 5120}}}},
        {"embercrypt",
         "OPL2 (AdLib), IMF File Format; 3 clips",
         {{1, {"Torchlit Halls", 8960}},
          {2, {"Ember Guardian", 6400}},
          {4, {"Crypt Cleared", 3840}}}},
        {"neondragon",
         "YM2151 3.58 MHz, OKIM6295 1.00 MHz; 5 clips",
         {{1, {"Dragon Gate", 20800}},
          {2, {"Night Market", 23360}},
          {5, {"Round Clear", 3300}},
          {20, {"Laser", 583}},
          {21, {"Power Up", 750}}}},
        {"coastrider",
         "YM2151 3.58 MHz, SegaPCM 4.00 MHz; 5 clips",
         {{1, {"Sunset Boulevard", 20800}},
          {2, {"Palm Highway", 20800}},
          {5, {"Checkpoint", 2740}},
          {20, {"Laser", 583}},
          {21, {"Power Up", 750}}}},
        {"stormblade",
         "YM2610 8.00 MHz; 5 clips",
         {{1, {"Thunder Pass", 20800}},
          {2, {"Steel Harbour", 23360}},
          {5, {"Mission Clear", 3300}},
          {20, {"Laser", 583}},
          {21, {"Power Up", 750}}}},
        {"ironwing",
         "YM3812 3.58 MHz, OKIM6295 1.00 MHz; 5 clips",
         {{1, {"Sky Fortress", 20800}},
          {2, {"Cloud Base", 23360}},
          {5, {"Area Clear", 3300}},
          {20, {"Laser", 583}},
          {21, {"Power Up", 750}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.game);
        messages.clear();
        Load(c.game, -1);
        ASSERT_NE(Last(CORE_MSG_DRIVER_INFO), nullptr);
        EXPECT_EQ(Last(CORE_MSG_DRIVER_INFO)->text, c.details);
        Table told = Tunes();
        for (auto& [clip, tune] : told) // AdPlug leaves the last wait out of its count
            if (c.tunes.count(clip) &&
                std::abs(tune.second - c.tunes.at(clip).second) * 20 <= c.tunes.at(clip).second)
                tune.second = c.tunes.at(clip).second;
        EXPECT_EQ(told, c.tunes);
        for (const auto& [clip, tune] : c.tunes) {
            Load(c.game, clip);
            int loudest = 0;
            for (int call = 0; call < 10; ++call) {
                Service(1);
                loudest = std::max(loudest, lastPeak);
            }
            EXPECT_GT(loudest, 1000) << clip;
        }
        EXPECT_EQ(Count(CORE_MSG_ERROR), 0);
    }
}

// A file's songs are clips wherever it stands: alone, clip n is song n;
// numbered among others, its songs follow its own number up to the next
// file's.
TEST_F(EnginesTest, EverySongOfAFileIsAClipAloneOrSharingAGame) {
    const compose::LeadAndBass other{"Other", "A4/16", "A2/16", 3};
    struct Case {
        const char* what;
        std::vector<ZipMember> files;
        std::map<int, std::pair<std::string, int>> tunes;
    } cases[] = {
        {"SID subtunes, without song lengths",
         {{"twin.sid", TwoTuneSid()}},
         {{0, {"Twin Peaks, tune 1", -1}}, {1, {"Twin Peaks, tune 2", -1}}}},
        {"a module with one song",
         {{"solo.mod", Module("Solo", {kTune})}},
         {{0, {"Tune", 7680}}}}, // a whole pattern
        {"a module with two songs, whatever its name says",
         {{"pair.xm", Module("Pair", {kTune, other})}},
         {{0, {"Tune", 7680}}, {1, {"Other", 3840}}}},
        {"an AdLib song with the bank it opens, whatever its case",
         {{"01 Tune.rol", RolSong()}, {"STANDARD.BNK", StandardBank()}},
         {{1, {"Tune", 8000}}}},
        {"modules sharing a game",
         {{"01 a.xm", Module("A", {kTune, other, kTune})},
          {"03 b.xm", Module("B", {other, kTune})},
          {"04 c.xm", Module("C", {kTune})}},
         {{1, {"Tune", 7680}}, {2, {"Other", 3840}}, {3, {"Other", 3840}}, {4, {"Tune", 7680}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteZip(romFolder + "mine.zip", c.files);
        Load("mine", -1);
        EXPECT_EQ(Tunes(), c.tunes);
        Load("mine", c.tunes.rbegin()->first);
        lastPeak = 0;
        Service(10);
        EXPECT_GT(lastPeak, 1000);
    }
}

// Songs that last less than half a second are no clips, but in a console's
// file of tracks, where they are its sound effects, and in a file of one.
TEST(SongsOf, ShortSongsAreLeftOutButConsoleTracksAndOnlySongs) {
    tarvocore::MusicInfo adl;
    for (int ms : {0, 80000, 499, 500, -1})
        adl.tunes.push_back({"", ms});
    EXPECT_EQ(tarvocore::SongsOf(adl, false), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(tarvocore::SongsOf(adl, true), (std::vector<int>{0, 1, 2, 3, 4}));
    tarvocore::MusicInfo blip;
    blip.tunes.push_back({"", 120});
    EXPECT_EQ(tarvocore::SongsOf(blip, false), std::vector<int>{0});
}

// Where measuring every song stops the emulator, the songs are measured one
// by one: those that stop it are left out and named, the others kept.
TEST(ReadSongs, ASongThatStopsTheEmulatorIsLeftOutAndTheOthersKept) {
    const std::string stopped = tarvocore::CEmulatorProcess::kStoppedReason;
    const auto reader = [&](std::set<int> crashing, std::vector<int>& asked) {
        return [&asked, crashing, stopped](int measured, tarvocore::MusicInfo& info,
                                           std::string& error) {
            asked.push_back(measured);
            if (measured == tarvocore::kEverySong ? !crashing.empty() : crashing.count(measured)) {
                error = stopped;
                return false;
            }
            info.tunes.assign(4, {"Song", -1});
            for (int song = 0; song < 4; ++song)
                if (measured == tarvocore::kEverySong || measured == song)
                    info.tunes[static_cast<size_t>(song)].lengthMs = 60000;
            return true;
        };
    };
    std::vector<int> asked, left;
    tarvocore::MusicInfo info;
    std::string error;
    ASSERT_TRUE(tarvocore::CGameClips::ReadSongs(reader({}, asked), info, left, error));
    EXPECT_EQ(asked, std::vector<int>{tarvocore::kEverySong}); // one read when none stops it
    asked.clear();
    ASSERT_TRUE(tarvocore::CGameClips::ReadSongs(reader({2}, asked), info, left, error));
    EXPECT_EQ(asked, (std::vector<int>{tarvocore::kEverySong, tarvocore::kNoSong, 0, 1, 2, 3}));
    EXPECT_EQ(left, std::vector<int>{2});
    EXPECT_EQ(tarvocore::SongsOf(info, false), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(error, "");
    EXPECT_FALSE(tarvocore::CGameClips::ReadSongs(reader({0, 1, 2, 3}, asked), info, left, error));
    EXPECT_EQ(error, stopped);
}

TEST_F(EnginesTest, DamagedFilesEndWithAMessageAndTheCoreGoesOn) {
    Bytes truncatedSid = TwoTuneSid();
    truncatedSid.resize(0x60);
    Bytes truncatedImf = compose::ToImf(kTune, "Tester");
    truncatedImf.resize(3);
    struct Case {
        const char* what;
        ZipMember file;
        const char* says;
    } cases[] = {
        {"truncated PSID, one file", {"game.sid", truncatedSid}, "game.sid:"},
        {"truncated PSID, numbered", {"01 Title.sid", truncatedSid}, "01 Title.sid:"},
        {"random bytes as a .sid", {"01 Noise.sid", RandomBytes(5000, 4)}, "01 Noise.sid"},
        {"random bytes as an .xm", {"01 Noise.xm", RandomBytes(5000, 5)}, "01 Noise.xm"},
        {"truncated IMF", {"01 Cut.imf", truncatedImf}, "01 Cut.imf"},
        {"random bytes as a .dro", {"01 Noise.dro", RandomBytes(5000, 6)}, "01 Noise.dro"},
        {"an RSID tune in BASIC",
         {"01 Basic.sid", HostileFile("rsid-written-in-basic.sid")},
         "Commodore 64's own ROMs"},
        {"a SID header pointing past the file", // libsidplayfp would read there
         {"far.sid", HostileFile("psid-data-offset-beyond-the-file.sid")},
         "far.sid: its SID header gives a wrong data offset"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteZip(romFolder + "mine.zip", {c.file});
        messages.clear();
        Load("mine", 1);
        Service(20);
        const Message* error = Last(CORE_MSG_ERROR);
        ASSERT_NE(error, nullptr);
        EXPECT_NE(error->text.find(c.says), std::string::npos) << error->text;
        EXPECT_EQ(lastPeak, 0);
    }
    romFolder = TARVO_DEMO_ROMS;
    Load("tiderunner", 0);
    Service(5);
    EXPECT_GT(lastPeak, 1000);
}

namespace {

double RmsOf(const std::vector<int16_t>& samples, size_t from) {
    double sum = 0;
    for (size_t i = from; i < samples.size(); ++i)
        sum += double(samples[i]) * samples[i];
    return samples.size() > from ? std::sqrt(sum / double(samples.size() - from)) : 0;
}

// How far apart two stretches of sound are, in dB of full scale, leaving out
// their first 100 ms.
double DifferenceDb(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    std::vector<int16_t> difference;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        difference.push_back(static_cast<int16_t>(std::clamp(a[i] - b[i], -32768, 32767)));
    return 20 * std::log10(std::max(RmsOf(difference, 2 * 4410), 0.01) / 32768);
}

} // namespace

// In every engine a seek, forward or back, sounds as playing there does, and
// a muted voice leaves the sound at once.
TEST_F(EnginesTest, EachEngineSeeksAndMutesItsVoices) {
    romFolder = TARVO_DEMO_ROMS;
    const struct {
        const char* game;
        int clip;
        int seekMs; // a whole number of level reports (30 ms)
        std::vector<std::string> firstVoices;
    } cases[] = {
        {"tarvoquest", 1, 19980, {"Square 1", "Square 2", "Square 3", "Noise"}},
        {"tiderunner", 0, 4980, {"Channel 1", "Channel 2", "Channel 3", "Channel 4"}},
        {"cometminer", 1, 4980, {"Voice 1", "Voice 2", "Voice 3"}},
        {"embercrypt", 1, 6000, {"OPL channel 1", "OPL channel 2"}},
        {"neondragon", 1, 4980, {"YM2151 channel 1", "YM2151 channel 2"}},
        {"coastrider", 2, 4980, {"YM2151 channel 1", "YM2151 channel 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.game);
        Load(c.game, c.clip);
        Listen(c.seekMs / 30);
        const std::vector<int16_t> straight = Listen(20);
        ASSERT_GT(RmsOf(straight, 0), 300);

        Load(c.game, c.clip);
        Listen(33);
        core.Command(CORE_CMD_SEEK, c.seekMs); // forward
        EXPECT_EQ(Last(CORE_MSG_SEEKED)->second, c.seekMs);
        EXPECT_LE(DifferenceDb(Listen(20), straight), -40);
        core.Command(CORE_CMD_SEEK, c.seekMs); // and back
        EXPECT_LE(DifferenceDb(Listen(20), straight), -40);

        std::vector<std::string> voices;
        for (int voice = 0; voice < core.GetInt(CORE_INT_VOICE_COUNT, 0); ++voice)
            voices.push_back(core.GetString(CORE_STR_VOICE_NAME, voice));
        ASSERT_GE(voices.size(), c.firstVoices.size());
        EXPECT_EQ(std::vector(voices.begin(), voices.begin() + c.firstVoices.size()),
                  c.firstVoices);
        core.Command(CORE_CMD_MUTE_VOICE, -1);
        core.Command(CORE_CMD_SEEK, c.seekMs);
        EXPECT_LT(RmsOf(Listen(20), 2 * 4410), 100) << "every voice muted"; // below -50 dBFS
        core.Command(CORE_CMD_UNMUTE_VOICE, -1);
        core.Command(CORE_CMD_SEEK, c.seekMs);
        EXPECT_LE(DifferenceDb(Listen(20), straight), -40) << "every voice back";
        EXPECT_EQ(Count(CORE_MSG_ERROR), 0);
    }
    // Mutes hold for the game, through a new emulator, until another game loads.
    Load("tarvoquest", 1);
    core.Command(CORE_CMD_MUTE_VOICE, 0);
    core.Emulator().Kill();
    core.Command(CORE_CMD_PLAY_CLIP, 2);
    EXPECT_EQ(core.GetInt(CORE_INT_VOICE_MUTED, 0), 1);
    EXPECT_GT(core.GetInt(CORE_INT_VOICE_COUNT, 0), 0);
    Load("tiderunner", 0);
    EXPECT_EQ(core.GetInt(CORE_INT_VOICE_MUTED, 0), 0);
}

// In every engine a seek asked while another runs takes its place: the one
// under way is given up where it got to (the first target here lies an hour
// into the tune, which no engine reaches within the seek's minute), the
// emulator goes on in the same process, and only the last place is told,
// with no error; the sound there is the sound of playing there.
TEST_F(EnginesTest, OverlappingSeeksReplaceEachOtherInEveryEngine) {
    romFolder = TARVO_DEMO_ROMS;
    const struct {
        const char* game;
        int clip;
        int seekMs; // a whole number of level reports (30 ms)
    } cases[] = {{"tarvoquest", 1, 19980},
                 {"tiderunner", 0, 4980},
                 {"cometminer", 1, 4980},
                 {"embercrypt", 1, 6000},
                 {"neondragon", 1, 4980}};
    core.SetOption(CORE_OPT_END_AT_LENGTH, 0); // every tune plays on, so an hour is a place
    for (const auto& c : cases) {
        SCOPED_TRACE(c.game);
        core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
        Load(c.game, c.clip);
        Listen(c.seekMs / 30);
        const std::vector<int16_t> straight = Listen(20);

        Load(c.game, c.clip);
        Listen(10);
        const pid_t emulator = core.Emulator().Pid();
        core.SetOption(CORE_OPT_FIXED_RENDER_MS, 0); // the seeks run beside this thread
        core.Command(CORE_CMD_PAUSE, 0);             // and the service renders nothing
        messages.clear();
        core.Command(CORE_CMD_SEEK, 3600 * 1000);
        core.Command(CORE_CMD_SEEK, 1800 * 1000);
        core.Command(CORE_CMD_SEEK, c.seekMs);
        while (Count(CORE_MSG_SEEKED) == 0) {
            core.WaitForStarts();
            core.Command(CORE_CMD_SERVICE, 0);
        }
        EXPECT_EQ(Count(CORE_MSG_SEEKED), 1);
        EXPECT_EQ(Last(CORE_MSG_SEEKED)->second, c.seekMs);
        EXPECT_EQ(Count(CORE_MSG_ERROR), 0) << Last(CORE_MSG_ERROR)->text;
        EXPECT_EQ(core.Emulator().Pid(), emulator);
        core.Command(CORE_CMD_RESUME, 0);
        core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
        EXPECT_LE(DifferenceDb(Listen(20), straight), -40);
    }
}

// In an engine that would replay a tune to go back (a C64 tune, AdLib
// music), a mute past the tune's first seconds is not rendered again from
// the place heard: the tune goes on where it was, without a gap, and the
// voices fall silent once the little rendered ahead has played.
TEST_F(EnginesTest, AMuteThatWouldReplayTheTuneIsHeardOnceTheLittleRenderedAheadHasPlayed) {
    romFolder = TARVO_DEMO_ROMS;
    for (auto [game, clip] : {std::pair{"cometminer", 1}, std::pair{"embercrypt", 1}}) {
        SCOPED_TRACE(game);
        Load(game, clip);
        Listen(100);
        const std::vector<int16_t> straight = Listen(5);
        Load(game, clip);
        Listen(100);
        messages.clear();
        core.Command(CORE_CMD_MUTE_VOICE, -1);
        const std::vector<int16_t> heard = Listen(60);
        EXPECT_LE(
            DifferenceDb(std::vector<int16_t>(heard.begin(), heard.begin() + 4 * kReport),
                         std::vector<int16_t>(straight.begin(), straight.begin() + 4 * kReport)),
            -40); // the tune went on, without a gap
        EXPECT_EQ(Count(CORE_MSG_SEEKED), 0);
        // The report from which the sound stays below -40 dBFS, its steady
        // part (a C64's volume register, which no voice mutes) set aside.
        const auto swing = [&heard](size_t from, size_t to) {
            double mean = 0, sum = 0;
            for (size_t i = from; i < to; ++i)
                mean += heard[i];
            mean /= double(to - from);
            for (size_t i = from; i < to; ++i)
                sum += (heard[i] - mean) * (heard[i] - mean);
            return std::sqrt(sum / double(to - from));
        };
        size_t quietFrom = heard.size();
        while (quietFrom >= 2 * kReport && swing(quietFrom - 2 * kReport, quietFrom) < 328)
            quietFrom -= 2 * kReport;
        const double mutedAfter = double(quietFrom) / 2 / 44100;
        EXPECT_GT(mutedAfter, 0.0); // what was rendered ahead plays out
        EXPECT_LT(mutedAfter, 0.1);
    }
}

// A demo tune of each engine falls silent within 0.1 s of the length the
// core tells for it; a looping one after its loops and its fade, as many
// loops as asked.
TEST_F(EnginesTest, EachEnginesTuneFallsSilentAtItsKnownLength) {
    romFolder = TARVO_DEMO_ROMS;
    const struct {
        const char* game;
        int clip;
        int loops;
        int lengthMs;
    } cases[] = {
        {"tarvoquest", 1, 1, 22933}, {"tarvoquest", 1, 2, 37866}, {"tiderunner", 0, 2, 7680},
        {"cometminer", 1, 2, 7680},  {"embercrypt", 1, 2, 8960},  {"neondragon", 1, 1, 14400},
        {"coastrider", 5, 2, 2740},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.game) + " " + std::to_string(c.loops));
        core.SetOption(CORE_OPT_LOOP_COUNT, c.loops);
        Load(c.game, c.clip);
        EXPECT_NEAR(core.GetInt(CORE_INT_TUNE_LENGTH, c.clip), c.lengthMs, c.lengthMs / 20);
        std::vector<int16_t> heard;
        captured = &heard;
        while (heard.size() / 2 < static_cast<size_t>(c.lengthMs + 1000) * 441 / 10)
            core.Render(kReport);
        captured = nullptr;
        const auto lastSound =
            std::find_if(heard.rbegin(), heard.rend(), [](int16_t s) { return s; });
        const double silentFrom = double(heard.rend() - lastSound) / 2 / 44100;
        EXPECT_NEAR(silentFrom, core.GetInt(CORE_INT_TUNE_LENGTH, c.clip) / 1000.0, 0.1);
    }
    // A seek past the end ends the clip at once: silence, told every second.
    Load("tiderunner", 0);
    messages.clear();
    core.Command(CORE_CMD_SEEK, 60000);
    lastPeak = 0;
    for (int report = 0; report < 68; ++report)
        core.Render(kReport);
    EXPECT_EQ(lastPeak, 0);
    EXPECT_EQ(TakeCodes(), (std::vector<int>{CORE_MSG_SEEKED, CORE_MSG_SILENCE, CORE_MSG_SILENCE}));
}

// A clip's start and a seek run on threads of their own while the caller
// goes on: voices muted while a clip starts are muted once it has started,
// the voices told meanwhile are those of the last start that finished, and a
// seek asked while another runs takes its place, with no error.
TEST_F(EnginesTest, MutesDuringAStartAndSeeksDuringASeekLandOnTheCallersThread) {
    romFolder = TARVO_DEMO_ROMS;
    Load("cometminer", 1); // at once, as rendering offline does
    const int voices = core.GetInt(CORE_INT_VOICE_COUNT, 0);
    ASSERT_EQ(voices, 3);
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 0); // the jobs run beside the caller
    auto finishJobs = [this] {
        for (int round = 0; round < 3; ++round) {
            core.WaitForStarts();
            core.Command(CORE_CMD_SERVICE, 0);
        }
    };

    messages.clear();
    core.Command(CORE_CMD_PLAY_CLIP, 1);
    core.Command(CORE_CMD_MUTE_VOICE, -1); // while the clip starts
    EXPECT_EQ(core.GetInt(CORE_INT_VOICE_COUNT, 0), voices);
    EXPECT_EQ(std::string(core.GetString(CORE_STR_VOICE_NAME, 2)), "Voice 3");
    finishJobs();
    ASSERT_NE(Last(CORE_MSG_CLIP_STARTED), nullptr);
    EXPECT_EQ(core.GetInt(CORE_INT_VOICE_MUTED, 2), 1);
    std::vector<int16_t> heard;
    captured = &heard;
    for (int report = 0; report < 20; ++report)
        core.Render(tarvocore::CSoundCore::kLevelReportFrames);
    captured = nullptr;
    EXPECT_LT(RmsOf(heard, 2 * 4410), 100) << "every voice muted"; // below -50 dBFS

    core.Command(CORE_CMD_SEEK, 20000); // a C64 tune is played there unheard
    core.Command(CORE_CMD_UNMUTE_VOICE, 1);
    core.Command(CORE_CMD_SEEK, 3000); // meanwhile: the latest wins
    finishJobs();
    ASSERT_NE(Last(CORE_MSG_SEEKED), nullptr);
    EXPECT_EQ(Last(CORE_MSG_SEEKED)->second, 3000);
    EXPECT_EQ(core.GetInt(CORE_INT_VOICE_MUTED, 1), 0);

    // A seek given up for another clip ends its emulator from this thread.
    core.Command(CORE_CMD_SEEK, 60000);
    core.Command(CORE_CMD_PLAY_CLIP, 2);
    finishJobs();
    EXPECT_EQ(Last(CORE_MSG_CLIP_STARTED)->second, 2);
    EXPECT_EQ(Count(CORE_MSG_ERROR), 0) << Last(CORE_MSG_ERROR)->text;

    // So is a clip start given up for another, however many in a row: each
    // call returns with the clip started later, and only the last is told.
    messages.clear();
    for (int clip : {1, 2, 1, 2})
        core.Command(CORE_CMD_PLAY_CLIP, clip);
    EXPECT_EQ(core.GetInt(CORE_INT_CURRENT_CLIP, 0), 2);
    EXPECT_EQ(Count(CORE_MSG_CLIP_STARTED), 0);
    finishJobs();
    EXPECT_EQ(Count(CORE_MSG_CLIP_STARTED), 1);
    EXPECT_EQ(Last(CORE_MSG_CLIP_STARTED)->second, 2);
    EXPECT_EQ(Count(CORE_MSG_ERROR), 0) << Last(CORE_MSG_ERROR)->text;
    EXPECT_EQ(core.GetInt(CORE_INT_VOICE_COUNT, 0), voices);
}

// The C64 demo tune sounds at the level sidplayfp gives it with the same
// emulator (reSID, the chip and video standard of its header, the library's
// own filter): -22.03 dB of full scale over its first 7.5 s, measured with
// sidplayfp 2.4 (its reSIDfp gives -22.40). Tarvo samples the chip by interpolation where sidplayfp
// resamples it, whose filter takes off a little more of the top octave.
TEST_F(EnginesTest, TheC64DemoTuneSoundsAtSidplayfpsLevel) {
    romFolder = TARVO_DEMO_ROMS;
    Load("cometminer", 1);
    const std::vector<int16_t> heard = Listen(250); // 7.5 s
    double mean = 0;
    for (int16_t sample : heard)
        mean += sample;
    mean /= static_cast<double>(heard.size());
    double sum = 0;
    for (int16_t sample : heard)
        sum += (sample - mean) * (sample - mean);
    const double db = 20 * std::log10(std::sqrt(sum / static_cast<double>(heard.size())) / 32768);
    EXPECT_NEAR(db, -22.03, 0.5);
}
