// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-add on small collections the test makes itself: a pack of tagged VGZ
// tunes, loose tunes in a folder, a multi-track file with its track list,
// clashing names, damaged inputs, and a second run that adds nothing.
#include "archive/RomArchive.h"
#include "library/AddReport.h"
#include "library/ROMList.h"
#include "soundcore/SoundCoreFixture.h"
#include "support/TextMatchers.h"
#include "tools/compose/ModuleBuilder.h"
#include "tools/compose/SidBuilder.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sidplayfp/SidTune.h>
#include <sys/stat.h>

using namespace tarvo::test;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

namespace {

Bytes Tune(const std::string& title, const std::string& game) {
    compose::VgmBuilder builder;
    for (int i = 0; i < 20; ++i) {
        compose::Frame frame;
        frame.period[0] = compose::VgmBuilder::PeriodOf(440 + 20 * static_cast<int>(title.size()));
        frame.attenuation[0] = 2;
        builder.Add(frame);
    }
    return builder.Finish(title, game);
}

// A Game Boy sound file of three silent songs, with its tags.
Bytes Gbs(const std::string& title) {
    Bytes file(0x70 + 16, 0xC9); // the songs' code: returns
    std::fill(file.begin(), file.begin() + 0x70, 0);
    std::memcpy(file.data(), "GBS\x01\x03\x01", 6);
    for (auto [at, value] : {std::pair{6, 0x400}, {8, 0x400}, {10, 0x400}, {12, 0xFFFE}}) {
        file[at] = static_cast<uint8_t>(value);
        file[at + 1] = static_cast<uint8_t>(value >> 8);
    }
    std::memcpy(&file[0x10], title.c_str(), title.size());
    std::memcpy(&file[0x50], "1999 Tarvo Labs", 15);
    return file;
}

Bytes Sid(const std::string& name, int tunes) {
    compose::SidBuilder sid(name, "Tester", "1987 Tarvo Labs");
    for (int i = 0; i < tunes; ++i)
        sid.AddTune(kTune);
    return sid.Finish();
}

std::string Md5(const Bytes& sid) {
    SidTune tune(sid.data(), static_cast<uint_least32_t>(sid.size()));
    return tune.createMD5New();
}

// A DOSBox capture (DRO version 2) of one OPL2 note held for a second.
Bytes Dro() {
    const std::vector<std::pair<uint8_t, uint8_t>> writes = {
        {0x20, 0x01}, {0x23, 0x01}, {0x40, 0x10}, {0x43, 0x00}, {0x60, 0xF0},
        {0x63, 0xF0}, {0x80, 0x77}, {0x83, 0x77}, {0xA0, 0x98}, {0xB0, 0x31}};
    Bytes codemap, data;
    for (auto [reg, value] : writes) {
        data.insert(data.end(), {static_cast<uint8_t>(codemap.size()), value});
        codemap.push_back(reg);
    }
    data.insert(data.end(), {0x71, 3, 9, 0x11, 0x70, 99}); // 1024 ms, key off, 100 ms
    Bytes file = {'D', 'B', 'R', 'A', 'W', 'O', 'P', 'L', 2, 0, 0, 0};
    const uint32_t pairs = static_cast<uint32_t>(data.size() / 2), ms = 1124;
    for (uint32_t value : {pairs, ms})
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(value >> (8 * i)));
    file.insert(file.end(), {0, 0, 0, 0x70, 0x71, static_cast<uint8_t>(codemap.size())});
    file.insert(file.end(), codemap.begin(), codemap.end());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// A VGM for the SN76489 and the YM2151, which no engine of the core plays together.
// A YM2151's tune that needs a YM2612 beside it, which no engine here plays.
Bytes ArcadeVgmWithYm2413() {
    Bytes vgm = Tune("Arcade", "Arcade");
    for (int i = 0; i < 4; ++i) {
        vgm[0x30 + i] = static_cast<uint8_t>(3579545 >> (8 * i));
        vgm[0x10 + i] = static_cast<uint8_t>(3579545 >> (8 * i));
    }
    return vgm;
}

void WriteBytes(const TempFolder& temp, const std::string& name, const Bytes& data) {
    temp.Write(name, std::string(data.begin(), data.end()));
}

Bytes Module(const std::string& title, int songs = 1) {
    compose::ModuleBuilder module(title);
    for (int song = 0; song < songs; ++song)
        module.AddTune(kTune);
    return module.Finish("Tester");
}

// The names of an archive's members, none when it cannot be read.
std::vector<std::string> MemberNames(const std::string& path) {
    tarvocore::CRomArchive archive;
    std::string error;
    std::vector<std::string> names;
    if (archive.Open(path, error))
        for (const auto& member : archive.Members())
            names.push_back(member.name);
    return names;
}

class AddCollection : public ::testing::Test {
protected:
    void SetUp() override {
        roms = temp.MakeFolder("roms");
        catalogue = temp.File("games.txt");
        temp.Write("games.txt", "# my games\nknown | Known Game | Someone | 1990 | Test\n");
    }

    // Runs the tool on the test's folders; its output, and its exit code.
    // What tarvo-add prints: both streams, or with `redirect` only standard error.
    std::string Add(const std::vector<std::string>& inputs, int* code = nullptr,
                    const std::string& extra = "", const char* redirect = " 2>&1") {
        std::string command = std::string(TARVO_ADD) + " --roms " + roms + " --catalogue " +
                              catalogue + " --clip-data " + temp.File("clips.dat") + " " + extra;
        for (const std::string& input : inputs)
            command += " '" + input + "'";
        std::FILE* pipe = ::popen((command + redirect).c_str(), "r");
        std::string output;
        std::array<char, 4096> chunk;
        while (size_t got = std::fread(chunk.data(), 1, chunk.size(), pipe))
            output.append(chunk.data(), got);
        const int status = ::pclose(pipe);
        if (code) *code = WEXITSTATUS(status);
        return output;
    }

    // The collection of the test: a pack, a folder of loose tunes, a multi-track file.
    std::vector<std::string> MakeCollection() {
        const std::string game = "Cosmic Racer";
        WriteZip(temp.File("Cosmic Racer (Mega Drive).zip"),
                 {{"01 Start.vgz", compose::Gzip(Tune("Start Line", game))},
                  {"02 Boss.vgz", compose::Gzip(Tune("Final Boss", game))},
                  {"info.txt", {'h', 'i'}}});
        temp.MakeFolder("loose/Forest Tales");
        WriteBytes(temp, "loose/Forest Tales/a.vgm", Tune("Morning", "Forest Tales"));
        WriteBytes(temp, "loose/Forest Tales/b.vgm", Tune("Evening", "Forest Tales"));
        temp.MakeFolder("gb");
        WriteBytes(temp, "gb/cave.gbs", Gbs("Cave Quest"));
        temp.Write("gb/cave.m3u", "cave.gbs::GBS,1,Entrance\ncave.gbs::GBS,2,Deep Water\n"
                                  "cave.gbs::GBS,3,Exit\n");
        return {temp.File("Cosmic Racer (Mega Drive).zip"), temp.File("loose"), temp.File("gb")};
    }

    TempFolder temp;
    std::string roms;
    std::string catalogue;
};

} // namespace

TEST_F(AddCollection, EveryKindOfInputBecomesATitledGameAndASecondRunAddsNothing) {
    const auto inputs = MakeCollection();
    int code = -1;
    const std::string output = Add(inputs, &code);
    EXPECT_EQ(code, 0);
    EXPECT_THAT(output, HasAll({"added     cosmic-racer             Cosmic Racer, 2 clips",
                                "added     forest-tales             Forest Tales, 2 clips",
                                "added     cave-quest               Cave Quest, 3 clips",
                                "Edit > Import Clip Data"}));
    for (const char* archive : {"cosmic-racer.zip", "forest-tales.zip", "cave-quest.zip"})
        EXPECT_TRUE(fs::exists(roms + archive)) << archive;

    const std::string lines = temp.Read("games.txt");
    EXPECT_THAT(lines, ::testing::StartsWith("# my games\nknown | Known Game | Someone | 1990 |"));
    EXPECT_THAT(lines, HasSubstr("cave-quest | Cave Quest | Tarvo Labs | 1999 | Game Boy (GBS) |"));

    // The clip data file, as Edit > Import Clip Data reads it.
    tarvo::CROMList list;
    for (const char* name : {"cosmic-racer", "forest-tales", "cave-quest"}) {
        tarvo::CGameEntry game;
        game.romName = name;
        list.AddGameForTesting(game);
    }
    list.LoadClipInfo(temp.File("clips.dat"));
    EXPECT_EQ(list.FindGame("cosmic-racer")->clipInfo.GetTitle(2), "Final Boss");
    EXPECT_TRUE(list.FindGame("cosmic-racer")->clipInfo.IsBlank(0));
    EXPECT_EQ(list.FindGame("forest-tales")->clipInfo.GetTitle(1), "Morning");
    EXPECT_EQ(list.FindGame("cave-quest")->clipInfo.GetTitle(1), "Deep Water");

    const std::string again = Add(inputs, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(temp.Read("games.txt"), lines);
    EXPECT_THAT(
        again, AllOf(HasSubstr("already in the catalogue as cave-quest"), Not(HasSubstr("added"))));
}

// Leading numbers that number the files keep them as clip numbers: before a
// title however far apart ("01 A", "40 D", a sound test's codes), or bare
// and close together; names that are only numbers far apart ("2001.vgm"
// beside "2.vgm") are titles, and the files follow in name order from clip
// 1, rather than a range of two thousand empty clips.
TEST_F(AddCollection, OnlyNumbersThatNumberTheFilesBecomeClipNumbers) {
    temp.MakeFolder("Dense");
    temp.MakeFolder("Digits");
    for (auto [file, title] : {std::pair{"Dense/01 A.vgm", "A"},
                               {"Dense/02 B.vgm", "B"},
                               {"Dense/05 C.vgm", "C"},
                               {"Dense/40 D.vgm", "D"},
                               {"Digits/2.vgm", "Two"},
                               {"Digits/2001.vgm", "Odyssey"},
                               {"Digits/7.vgm", "Seven"}})
        WriteBytes(temp, file,
                   Tune(title, std::string(file).substr(0, std::string(file).find('/'))));
    int code = -1;
    Add({temp.File("Dense"), temp.File("Digits")}, &code);
    ASSERT_EQ(code, 0);
    tarvo::CROMList list;
    for (const char* name : {"dense", "digits"}) {
        tarvo::CGameEntry game;
        game.romName = name;
        list.AddGameForTesting(game);
    }
    list.LoadClipInfo(temp.File("clips.dat"));
    const tarvo::CClipInfo& dense = list.FindGame("dense")->clipInfo;
    EXPECT_EQ(dense.lastClip, 40);
    EXPECT_EQ(dense.GetTitle(5), "C");
    EXPECT_EQ(dense.GetTitle(40), "D");
    EXPECT_TRUE(dense.IsBlank(3));
    const tarvo::CClipInfo& digits = list.FindGame("digits")->clipInfo;
    EXPECT_EQ(digits.lastClip, 3);
    EXPECT_EQ(digits.GetTitle(1), "Two");
    EXPECT_EQ(digits.GetTitle(2), "Odyssey");
    EXPECT_EQ(digits.GetTitle(3), "Seven");
}

// Sets that come as 7z or RAR (".rsn") archives become zip game archives.
TEST_F(AddCollection, SevenZipAndRarSetsBecomeZipGames) {
    temp.MakeFolder("pack");
    WriteBytes(temp, "pack/01 Start.vgm", Tune("Start", "Seven Game"));
    ASSERT_EQ(std::system(("bsdtar --format 7zip -cf '" + temp.File("Seven Game.7z") + "' -C '" +
                           temp.File("pack") + "' '01 Start.vgm'")
                              .c_str()),
              0);
    WriteRar(temp.File("Snes Set.rsn"), {{"01 Intro.vgm", Tune("Intro", "Snes Set")}});
    int code = -1;
    const std::string output = Add({temp.File("Seven Game.7z"), temp.File("Snes Set.rsn")}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_THAT(output, HasAll({"added     seven-game               Seven Game, 1 clip",
                                "added     snes-set                 Snes Set, 1 clip"}));
    for (const char* game : {"seven-game", "snes-set"}) {
        tarvocore::CRomArchive archive;
        std::string error;
        EXPECT_TRUE(archive.Open(roms + game + ".zip", error)) << error;
        EXPECT_EQ(temp.Read(std::string("roms/") + game + ".zip").substr(0, 2), "PK"); // a zip
    }
}

TEST_F(AddCollection, ClashingNamesDryRunsAndWhatIsInTheWay) {
    WriteZip(temp.File("one.zip"), {{"01 A.vgm", Tune("A", "Known Game")}});
    WriteZip(temp.File("two.zip"), {{"01 B.vgm", Tune("B", "Known Game")}});
    const std::string dry = Add({temp.File("one.zip")}, nullptr, "--dry-run");
    EXPECT_THAT(dry, HasSubstr("would add known-game "));
    EXPECT_FALSE(fs::exists(roms + "known-game.zip"));
    EXPECT_FALSE(fs::exists(temp.File("clips.dat")));

    temp.Write("roms/known-game.zip", "someone else's"); // a file the catalogue does not name
    const std::string blocked = Add({temp.File("one.zip")});
    EXPECT_THAT(blocked, HasSubstr("is in the way"));
    EXPECT_EQ(temp.Read("roms/known-game.zip"), "someone else's");

    fs::remove(roms + "known-game.zip");
    const std::string both = Add({temp.File("one.zip"), temp.File("two.zip")});
    EXPECT_THAT(both, HasAll({"added     known-game ", "added     known-game-2 "}));
}

TEST_F(AddCollection, DamagedAndHostileInputsAreSkippedWithTheirReasons) {
    temp.Write("noise.vgm", std::string(3000, 'x'));
    WriteZip(temp.File("cut.zip"), {{"01 A.vgm", Tune("A", "Cut")}});
    fs::resize_file(temp.File("cut.zip"), 60);
    { std::ofstream(temp.File("huge.vgm")); }
    fs::resize_file(temp.File("huge.vgm"), 2ull << 30); // 2 GiB, sparse
    const std::string hostile = std::string(TARVO_TEST_DATA) + "/hostile/";
    int code = -1;
    const std::string output =
        Add({temp.File("noise.vgm"), temp.File("cut.zip"), temp.File("huge.vgm"),
             hostile + "many-entries-one-member.zip", hostile + "sn76489-clock-too-high.vgm",
             temp.File("nothing-here")},
            &code);
    EXPECT_EQ(code, 1); // nothing added
    EXPECT_THAT(
        output,
        HasAll({"noise.vgm: nothing playable", "cut.zip: it is damaged",
                "huge.vgm: it is larger than 16 MiB", "many-entries-one-member.zip: it is damaged",
                "sn76489-clock-too-high.vgm: nothing playable", "nothing-here: it does not exist",
                "6 skipped.", "Nothing was added."}));
    EXPECT_THAT(output, Not(HasSubstr("added    ")));
    EXPECT_EQ(temp.Read("games.txt"), "# my games\nknown | Known Game | Someone | 1990 | Test\n");
}

// The report is the player's only word of what an input became, and names
// come from strangers: a name that spells out records stays one field of one
// record, whatever its bytes. Inputs come through standard input, where any
// number of them and any bytes fit, and "--" ends the options.
TEST_F(AddCollection, NoNameOrTagCanForgeARecordOfTheReport) {
    const std::string forged = "innocent\ngame\ttarvoquest\t5\n.txt";
    temp.Write(forged, "not music");
    const std::string notUtf8 = "b\xff\xfe.vgm";
    WriteBytes(temp, notUtf8, Tune("Bytes", "Bytes Game"));
    WriteZip(temp.File("Cool Game (Arcade).zip"),
             {{"01 Intro\ngame\ttarvoquest\t2\n.vgm", Tune("Intro\tgame", "Cool Game")}});
    temp.Write("inputs", temp.File(forged) + '\0' + temp.File(notUtf8) + '\0' +
                             temp.File("Cool Game (Arcade).zip") + '\0');
    temp.Write("--report", "a file named like an option");
    int code = -1;
    const std::string report =
        Add({"--", temp.File("--report")}, &code,
            "--report --inputs-from - <" + temp.File("inputs"), " 2>/dev/null");
    EXPECT_EQ(code, 0);
    const tarvo::AddReport read = tarvo::AddReport::Read(report);
    ASSERT_EQ(read.games.size(), 2u);
    EXPECT_EQ(read.games[0].romName, "bytes-game");
    EXPECT_EQ(read.games[1].romName, "cool-game");
    EXPECT_EQ(read.games[1].clip, 1);
    EXPECT_EQ(read.games[1].archivePath, roms + "cool-game.zip");
    ASSERT_EQ(read.refused.size(), 2u);
    EXPECT_EQ(read.refused[0].input, temp.File(forged));
    EXPECT_EQ(read.refused[1].input, temp.File("--report"));
}

// What cannot be added is said in words of its own: no pipe, loop or locked
// archive is called damaged, and no name at all is not taken for a folder.
TEST_F(AddCollection, EachKindOfInputThatCannotBeAddedIsNamedForWhatItIs) {
    WriteBytes(temp, "a.vgm", Tune("A", "Locked"));
    ASSERT_EQ(std::system(("cd '" + temp.Path() +
                           "' && bsdtar --format zip --options zip:encryption=traditional "
                           "--passphrase secret -cf locked.zip a.vgm")
                              .c_str()),
              0);
    WriteRar(temp.File("set.part1.rar"), {{"01 Intro.vgm", Tune("Intro", "Set")}}, true);
    fs::create_symlink(temp.File("loop"), temp.File("loop"));
    ASSERT_EQ(::mkfifo(temp.File("pipe.vgm").c_str(), 0600), 0);
    temp.MakeFolder("Hively");
    temp.Write("Hively/song.hvl", "THX");
    temp.Write("Hively/other.ahx", "THX");
    temp.Write("inputs", temp.File("locked.zip") + '\0' + temp.File("set.part1.rar") + '\0' +
                             temp.File("loop") + '\0' + temp.File("pipe.vgm") + '\0' + '\0' +
                             temp.File("gone.vgm") + '\0' + temp.File("Hively") + '\0');
    int code = -1;
    const std::string output = Add({}, &code, "--inputs-from - <" + temp.File("inputs"), " 2>&1");
    EXPECT_EQ(code, 1);
    EXPECT_THAT(output,
                HasAll({"locked.zip: it is encrypted", "set.part1.rar: it is one volume",
                        "loop: it is a link that leads round in a loop",
                        "pipe.vgm: it is a pipe, not a file",
                        "skipped   : an empty name names no file", "gone.vgm: it does not exist",
                        "Hively: it holds no music file the core plays (2 files of other kinds, "
                        "such as other.ahx)"}));
    EXPECT_THAT(output, Not(HasSubstr("damaged")));
}

TEST_F(AddCollection, ADamagedFileAmongGoodOnesIsNamedOnStandardErrorAndCounted) {
    temp.MakeFolder("Forest Tales");
    WriteBytes(temp, "Forest Tales/01 Morning.vgm", Tune("Morning", "Forest Tales"));
    WriteBytes(temp, "Forest Tales/02 Evening.vgm", Tune("Evening", "Forest Tales"));
    temp.Write("Forest Tales/damaged.vgm", std::string(5000, '\x5a'));
    // A tag and a file name that would write records of other games.
    WriteBytes(temp, "Forest Tales/03 x.vgm", Tune("Treasure\nknown:blank 1", "Forest Tales"));
    WriteBytes(temp, "Forest Tales/04 Line\nknown:title 2 X.vgm", Tune("", "Forest Tales"));
    const std::string planned = Add({temp.File("Forest Tales")}, nullptr, "--dry-run");
    EXPECT_THAT(planned, HasAll({"Forest Tales, 4 clips", "1 skipped."}));
    int code = -1;
    const std::string errors = Add({temp.File("Forest Tales")}, &code, "", " 2>&1 >/dev/null");
    EXPECT_EQ(code, 0);
    EXPECT_THAT(errors, HasSubstr("skipped   " + temp.File("Forest Tales") + "/damaged.vgm: "));
    EXPECT_THAT(temp.Read("clips.dat"), AllOf(HasAll({":title 3 Treasure known:blank 1\n",
                                                      ":title 4 Line known:title 2 X\n"}),
                                              Not(HasSubstr("\nknown:"))));
}

// A collection as hostile as a file system allows: a file whose read fails,
// a folder with links to itself, a link out of the collection, and the same
// folder given twice. Each real file is read once and tarvo-add ends.
TEST_F(AddCollection, FailingReadsLinkLoopsAndRepeatedInputsAddEachGameOnce) {
    temp.MakeFolder("Loop/inner");
    WriteBytes(temp, "Loop/01 Morning.vgm", Tune("Morning", "Loop Game"));
    WriteBytes(temp, "Loop/02 Evening.vgm", Tune("Evening", "Loop Game"));
    fs::create_symlink(temp.File("Loop"), temp.File("Loop/again"));
    fs::create_symlink(temp.File("Loop"), temp.File("Loop/inner/back"));
    fs::create_symlink("/proc/self/mem", temp.File("unreadable.vgm"));
    temp.MakeFolder("Outside");
    WriteBytes(temp, "Outside/03 Far.vgm", Tune("Far", "Elsewhere"));
    fs::create_symlink(temp.File("Outside"), temp.File("Loop/outside"));
    int code = -1;
    const std::string output =
        Add({temp.File("Loop"), temp.File("Loop"), temp.File("unreadable.vgm")}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_THAT(output, AllOf(HasAll({"added     loop-game                Loop Game, 2 clips",
                                      "unreadable.vgm: it cannot be read", "1 skipped."}),
                              Not(HasSubstr("Elsewhere"))));
}

// The core reads 1,024 files of an archive: a folder of more tunes becomes
// several games, in order, the first with the folder's name.
TEST_F(AddCollection, AFolderOfMoreTunesThanAnArchiveHoldsBecomesSeveralGames) {
    temp.MakeFolder("Big Soundtrack");
    const Bytes tune = Tune("T", "");
    for (int i = 1; i <= 2100; ++i)
        WriteBytes(temp, "Big Soundtrack/" + std::to_string(i) + " Track.vgm", tune);
    const std::string output = Add({temp.File("Big Soundtrack")}, nullptr, "--dry-run");
    EXPECT_THAT(output, HasAll({"Big Soundtrack, 1024 clips", "Big Soundtrack (part 2), 1024 clips",
                                "Big Soundtrack (part 3), 52 clips"}));
}

// More music than the core reads of one archive (64 MiB) becomes parts by
// size too, from a folder as from an archive: nothing is dropped unsaid.
TEST_F(AddCollection, MoreMusicThanAnArchiveHoldsBecomesPartsAndNothingIsDroppedUnsaid) {
    temp.MakeFolder("Long Play");
    for (int i = 1; i <= 5; ++i) {
        Bytes tune = Tune("Song " + std::to_string(i), "Long Play");
        tune.resize(15u << 20, 0); // past its end, which the core reads no further than
        WriteBytes(temp, "Long Play/0" + std::to_string(i) + " Song.vgm", tune);
    }
    ASSERT_EQ(std::system(("bsdtar -cf '" + temp.File("long.tar") + "' -C '" +
                           temp.File("Long Play") + "' .")
                              .c_str()),
              0);
    for (const std::string& input : {temp.File("Long Play"), temp.File("long.tar")}) {
        SCOPED_TRACE(input);
        int code = -1;
        const std::string output = Add({input}, &code, "--dry-run");
        EXPECT_EQ(code, 0);
        EXPECT_THAT(output, HasAll({"Long Play, 4 clips", "Long Play (part 2), 1 clip"}));
        EXPECT_THAT(output, Not(HasSubstr("skipped")));
    }
}

TEST_F(AddCollection, SidTunesModulesAndAdLibMusicBecomeGamesAndArcadeChipsAreNamed) {
    // Laid out like HVSC: composer folders, and the song lengths in DOCUMENTS.
    const Bytes twin = Sid("Twin Peaks", 2);
    temp.MakeFolder("C64Music/MUSICIANS/T/Tester");
    temp.MakeFolder("C64Music/DOCUMENTS");
    WriteBytes(temp, "C64Music/MUSICIANS/T/Tester/Twin_Peaks.sid", twin);
    const std::string lengths = Md5(twin) + "=0:30 0:12.5";
    temp.Write("C64Music/DOCUMENTS/Songlengths.md5",
               "[Database]\n; /MUSICIANS/T/Tester/Twin_Peaks.sid\n" + lengths + "\n");
    compose::ModuleBuilder module("Storm Tunes");
    module.AddTune(kTune);
    module.AddTune({"Calm", "A4/16", "A2/16", 6});
    WriteZip(temp.File("Storm Pack.zip"), {{"storm.mod", module.Finish("Tester")}});
    temp.MakeFolder("mixed");
    WriteBytes(temp, "mixed/Comet.sid", Sid("Comet", 1));
    WriteBytes(temp, "mixed/Calm.mod", Module("Calm Waters"));
    WriteBytes(temp, "mixed/Cave Organ.dro", Dro());
    WriteBytes(temp, "mixed/arcade.vgm", ArcadeVgmWithYm2413());

    int code = -1;
    const std::string output = Add(
        {temp.File("C64Music/MUSICIANS"), temp.File("Storm Pack.zip"), temp.File("mixed")}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_THAT(output, HasAll({"added     twin-peaks               Twin Peaks, 2 clips",
                                // a module's title is a song's, so the archive names the game
                                "added     storm-pack               Storm Pack, 2 clips",
                                "added     comet                    Comet, 1 clip",
                                "added     calm                     Calm, 1 clip",
                                "added     cave-organ               Cave Organ, 1 clip",
                                "it needs the YM2413 sound chip", "1 skipped."}));
    EXPECT_THAT(output, Not(HasSubstr("tester"))); // no composer folder names

    tarvocore::CRomArchive archive;
    std::string error;
    ASSERT_TRUE(archive.Open(roms + "twin-peaks.zip", error)) << error;
    std::string kept;
    for (const auto& member : archive.Members())
        if (member.name == "Songlengths.md5") kept.assign(member.data.begin(), member.data.end());
    EXPECT_EQ(kept, "[Database]\n" + lengths + "\n");
    EXPECT_THAT(temp.Read("games.txt"),
                HasSubstr("twin-peaks | Twin Peaks | Tarvo Labs | 1987 | MOS 6581"));
}

// Modules sharing a folder give every song: each file is numbered after the
// songs of the one before, and the core finds them where tarvo-add put them.
TEST_F(AddCollection, EverySongOfFilesSharingAFolderIsAClip) {
    temp.MakeFolder("Ball Game/musics");
    WriteBytes(temp, "Ball Game/musics/area1.xm", Module("Area 1", 3));
    WriteBytes(temp, "Ball Game/musics/area2.xm", Module("Area 2", 2));
    WriteBytes(temp, "Ball Game/musics/menu.xm", Module("Menu"));
    const std::string output = Add({temp.File("Ball Game/musics")});
    EXPECT_THAT(output, HasSubstr(", 6 clips"));
    EXPECT_THAT(MemberNames(roms + "ball-game.zip"),
                testing::ElementsAre("01 area1.xm", "04 area2.xm", "06 menu.xm"));
    EXPECT_THAT(temp.Read("clips.dat"), HasAll({":title 1 Tune\n", ":title 3 Tune\n",
                                                ":title 5 Tune\n", ":title 6 Tune\n"}));
}

// An AdLib song's bank goes into its game's archive beside it, not as a
// clip; every other file of a folder left out is named with its reason, also
// where the folder gives no game at all.
TEST_F(AddCollection, CompanionFilesGoWithTheirSongsAndEveryFileLeftOutIsNamed) {
    temp.MakeFolder("Organ");
    WriteBytes(temp, "Organ/Cave Organ.dro", Dro());
    temp.Write("Organ/STANDARD.BNK", "bank");
    temp.Write("Organ/cover.jpg", "jpeg");
    temp.MakeFolder("Banks");
    temp.Write("Banks/insts.dat", "instruments");
    temp.Write("Banks/tune.hvl", "THX");
    temp.MakeFolder("Goat"); // songs of another tracker, named as AdLib ones
    temp.Write("Goat/a.sng", "GTS5 a");
    temp.Write("Goat/b.sng", "GTS5 b");

    int code = -1;
    const std::string output =
        Add({temp.File("Organ"), temp.File("Banks"), temp.File("Goat")}, &code, "", " 2>&1");
    EXPECT_THAT(output,
                HasAll({"added     organ                    Organ, 1 clip",
                        "Organ/cover.jpg: it is not a music file the core plays",
                        "Banks/insts.dat: it goes with AdLib songs, and this folder holds none",
                        "Banks/tune.hvl: it is a HivelyTracker or AHX song",
                        "Banks: it holds no music file the core plays",
                        "Goat/a.sng: ", "Goat/b.sng: ", "7 skipped."}));
    EXPECT_THAT(MemberNames(roms + "organ.zip"),
                testing::UnorderedElementsAre("Cave Organ.dro", "STANDARD.BNK"));
}

// Games are named as a person would: a folder that says nothing of the game
// ("musics", "data") gives way to the one above it, and a file given alone is
// named after its folder.
TEST_F(AddCollection, GamesAreNamedAfterTheFoldersThatSaySomething) {
    temp.MakeFolder("Area Game/data/musics");
    for (const char* name : {"area1-game.mod", "area2-game.mod"})
        WriteBytes(temp, std::string("Area Game/data/musics/") + name, Module("area1-game"));
    temp.MakeFolder("Doom/music");
    WriteBytes(temp, "Doom/music/e1m1.dro", Dro());
    const std::string output =
        Add({temp.File("Area Game/data"), temp.File("Doom/music/e1m1.dro")}, nullptr, "--dry-run");
    EXPECT_THAT(output, AllOf(HasAll({"Area Game, 2 clips", "Doom, 1 clip"}),
                              Not(HasSubstr("area1-game,"))));
}
