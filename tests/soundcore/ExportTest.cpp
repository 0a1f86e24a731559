// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/LoudnessMeter.h"
#include "soundcore/SoundCoreFixture.h"
#include "support/FileSizeLimit.h"

#include <filesystem>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarvo::test;

namespace {

class Export : public SoundCoreTest {
protected:
    void SetUp() override {
        SoundCoreTest::SetUp();
        WriteZip(romFolder + "tunes.zip",
                 {{"03 Loop.vgm", ToneVgm(300, true)}, {"07 Jingle.vgm", ToneVgm(30, false)}});
        StartCore("tunes | Test Tunes | Tarvo Labs | 1999 | Sega Master System (VGM)\n");
        core.SetOption(CORE_OPT_FIXED_RENDER_MS, 0); // a real device, as the player has
        Load("tunes", -1);
        core.WaitForStarts();
        core.Command(CORE_CMD_SERVICE, 0);
        messages.clear();
    }

    // Exports a clip and waits for its end: the error told, or "" when written.
    std::string ExportAndWait(int clip, const std::string& name) {
        wavPath = temp.File(name);
        core.Command(CORE_CMD_EXPORT_CLIP, clip);
        core.WaitForStarts();
        core.Command(CORE_CMD_SERVICE, 0);
        const Message* told = Last(CORE_MSG_EXPORTED);
        return told ? (told->second == clip ? told->text : "another clip") : "not told";
    }
};

// An export renders the clip's known length beside the game as the player
// has it, tagged, and is told by a later service call.
TEST_F(Export, AClipIsWrittenAtItsKnownLengthWithItsTags) {
    const int lengthMs = core.GetInt(CORE_INT_TUNE_LENGTH, 3);
    EXPECT_EQ(core.GetInt(CORE_INT_EXPORT_PROGRESS, 0), -1);
    wavPath = temp.File("03 Loop.flac");
    core.Command(CORE_CMD_EXPORT_CLIP, 3);
    EXPECT_EQ(Codes(), std::vector<int>{CORE_MSG_EXPORT_PATH}); // the end comes later
    EXPECT_GE(core.GetInt(CORE_INT_EXPORT_PROGRESS, 0), 0);
    core.WaitForStarts();
    core.Command(CORE_CMD_SERVICE, 0);
    ASSERT_EQ(Count(CORE_MSG_EXPORTED), 1);
    EXPECT_EQ(Last(CORE_MSG_EXPORTED)->text, "");
    EXPECT_EQ(core.GetInt(CORE_INT_EXPORT_PROGRESS, 0), -1);
    const SoundFileContent file = ReadSoundFile(temp.File("03 Loop.flac"));
    EXPECT_EQ(file.format, SF_FORMAT_FLAC);
    EXPECT_EQ(file.samples.size(), 2ull * lengthMs * 44100 / 1000);
    EXPECT_EQ(file.tags, "tone|Test Tunes|Tarvo Labs|1999|3");
}

// Whatever cannot be exported is told at once and writes nothing; a cancel
// removes the half-written file and tells nothing; a full disk is told with
// its reason and leaves no cut file.
TEST_F(Export, RefusalsCancelsAndAFullDisk) {
    EXPECT_EQ(ExportAndWait(5, "none.wav"), "Clip 5 has no tune to export");
    EXPECT_FALSE(std::filesystem::exists(temp.File("none.wav")));

    core.SetOption(CORE_OPT_EXPORT_MS, 600000); // ten minutes: far from done at the cancel
    wavPath = temp.File("long.ogg");
    core.Command(CORE_CMD_EXPORT_CLIP, 3);
    messages.clear();
    core.Command(CORE_CMD_EXPORT_CLIP, 7);
    EXPECT_EQ(Last(CORE_MSG_EXPORTED)->text, "Another clip is being exported");
    core.Command(CORE_CMD_CANCEL_EXPORT, 0);
    core.Command(CORE_CMD_SERVICE, 0);
    EXPECT_EQ(Count(CORE_MSG_EXPORTED), 1);
    EXPECT_FALSE(std::filesystem::exists(temp.File("long.ogg")));

    core.SetOption(CORE_OPT_EXPORT_MS, 60000); // 10 MB, and room for the emulator's blocks
    std::string error;
    {
        const FileSizeLimit full(4 << 20);
        error = ExportAndWait(3, "full.wav");
    }
    EXPECT_EQ(error, temp.File("full.wav") + " could not be written: File too large.");
    // No cut file stays behind, under its name or another.
    for (const auto& left : std::filesystem::directory_iterator(temp.Path()))
        EXPECT_EQ(left.path().filename().string().find("full"), std::string::npos) << left.path();
}

// tarvo-render says in words what it wrote; it exits 1 when it cannot write
// a file and 2, before rendering anything, for a command line it cannot
// follow. Without SECONDS the clip's known length is rendered; --all renders
// every clip into a folder and replaces files only when asked.
TEST(RenderTool, SpeaksPlainlyFailsLoudlyAndRendersAWholeGame) {
    TempFolder temp;
    const std::string roms = TARVO_DEMO_ROMS;
    std::string said;
    auto render = [&](std::vector<std::string> args, rlim_t limit = RLIM_INFINITY) {
        args.insert(args.begin(), "tarvo-render");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string output = temp.File("said.txt");
        const pid_t child = fork();
        if (child == 0) {
            const FileSizeLimit full(limit);
            std::freopen(output.c_str(), "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execv(TARVO_RENDER, argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        said = temp.Read("said.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::vector<std::string> quest{roms, "tarvoquest"};
    auto clip = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), quest.begin(), quest.end());
        return rest;
    };
    EXPECT_EQ(render(clip({"1", "5", temp.File("no/such/folder/out.wav")})), 1);
    EXPECT_EQ(render(clip({"1", "60", temp.File("small.wav")}), (4 << 20) + 2), 1);
    EXPECT_FALSE(std::filesystem::exists(temp.File("small.wav"))); // no cut file
    for (const std::vector<std::string>& wrong :
         {clip({"1", "5", temp.File("out.mp3")}),
          clip({"1", "0", temp.File("out.wav")}),
          clip({"1", "5", "--loud", temp.File("out.wav")}),
          {roms, "--all", temp.File("out")},
          clip({"--all", "--format", "mp3", temp.File("out")})}) {
        EXPECT_EQ(render(wrong), 2) << wrong[2] << " " << wrong[3];
        const auto files = std::filesystem::directory_iterator(temp.Path());
        EXPECT_EQ(std::distance(begin(files), end(files)), 1); // said.txt
    }
    // A game kept as another kind of archive, its name in other case, is found
    // as the player finds it.
    const std::string kept = temp.MakeFolder("kept");
    const std::string loose = temp.MakeFolder("loose");
    ASSERT_EQ(std::system(("bsdtar -xf '" + roms + "tarvoquest.zip' -C '" + loose +
                           "' && bsdtar --format 7zip -cf '" + kept + "TarvoQuest.7z' -C '" +
                           loose + "' .")
                              .c_str()),
              0);
    std::filesystem::remove_all(loose);
    EXPECT_EQ(render({kept, "tarvoquest", "1", "1", temp.File("kept.wav")}), 0);
    std::filesystem::remove_all(kept);
    std::filesystem::remove(temp.File("kept.wav"));
    EXPECT_EQ(render(clip({"1", "5", temp.File("five.wav")})), 0);
    EXPECT_EQ(said,
              "Tarvo Quest, clip 1 \"Overture\": 5.0 s written to " + temp.File("five.wav") + "\n");
    EXPECT_EQ(temp.Read("five.wav").size(), 44u + 5 * 44100 * 4);
    EXPECT_EQ(render(clip({"1", temp.File("known.flac")})), 0); // two loops of 14.93 s, 8 s fade
    const SoundFileContent known = ReadSoundFile(temp.File("known.flac"));
    EXPECT_EQ(known.samples.size(), 2 * (37866 * 44100 / 1000));
    EXPECT_EQ(known.tags, "Overture|Tarvo Quest|Tarvo Demo Works|2026|1");

    const std::string album = temp.File("album"); // made by the tool
    EXPECT_EQ(render(clip({"--all", "--format", "ogg", album})), 0);
    EXPECT_NE(said.find("clip 12 \"Jump\": 0.5 s written to " + album + "/12 Jump.ogg"),
              std::string::npos);
    EXPECT_EQ(ReadSoundFile(album + "/01 Overture.ogg").format, SF_FORMAT_OGG);
    const auto written = std::filesystem::last_write_time(album + "/01 Overture.ogg");
    EXPECT_EQ(render(clip({"--all", "--format", "ogg", album})), 1);
    EXPECT_EQ(std::filesystem::last_write_time(album + "/01 Overture.ogg"), written);
    EXPECT_EQ(render(clip({"--all", "--replace", "--format", "OGG", album})), 0);

    // Normalized, the tune is as loud as every other (it measures -16.3 LUFS as it is).
    EXPECT_EQ(render(clip({"--normalize", "1", temp.File("even.wav")})), 0);
    const std::vector<int16_t> even = ReadSoundFile(temp.File("even.wav")).samples;
    tarvocore::CLoudnessMeter meter;
    meter.Add(even.data(), static_cast<int>(even.size() / 2));
    EXPECT_NEAR(meter.Measure().lufs, -18.0, 0.05);
}

} // namespace
