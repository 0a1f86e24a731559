// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ROMList.h"

#include "support/FakeCore.h"
#include "support/FakeListView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace tarvo;
using test::FakeCore;

namespace {

class ROMListTest : public ::testing::Test {
protected:
    void SetUp() override {
        core.SetCatalogue({{"alpha", "Alpha Story", "Tarvo Soft", "", 0},
                           {"beta", "Beta Run", "Tarvo Soft", "1987", 1},
                           {"gamma", "Gamma", "Other", "", 0}},
                          {"Driver A", "Driver B"});
        list.BuildFromCore(core);
    }

    std::string Reload(const std::string& text) {
        std::istringstream in(text);
        list.ReadClipInfo(in);
        std::ostringstream out;
        list.WriteClipInfoFile(out, CROMList::Lines::WithUnsupported);
        return out.str();
    }

    FakeCore core;
    CROMList list;
    test::TempFolder temp;
};

} // namespace

TEST_F(ROMListTest, BuildsFromTheCoreInItsOrder) {
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetEntry(1)->romName, "beta");
    EXPECT_EQ(list.GetEntry(1)->extraInfo, "1987");
    EXPECT_EQ(list.GetEntry(1)->driverName, "Driver B");
    EXPECT_EQ(list.GetEntry(3), nullptr);
    EXPECT_EQ(list.GetEntry(-1), nullptr);

    core.SetCatalogue({{"x", "X", "", "", 7}}, {}); // driver 7 is unknown
    CROMList other;
    other.BuildFromCore(core);
    EXPECT_EQ(other.GetEntry(0)->driverName, "");
}

TEST_F(ROMListTest, LookupsIgnoreCaseAndTakeTheTextBeforeTheFirstDot) {
    EXPECT_EQ(list.FindGameIndex("BETA"), 1);
    EXPECT_EQ(list.FindGameIndex("delta"), -1);
    EXPECT_EQ(CROMList().FindGameIndex("alpha"), -1);

    std::string roms = temp.MakeFolder("roms");
    temp.Write("roms/beta.zip", "z");
    list.AddFolder(roms);
    list.ScanROMFolders();
    for (const char* name : {"beta", "beta.zip", " Beta .zip", "beta.part.two"})
        EXPECT_EQ(list.GetRomPathForFile(name), roms + "beta.zip") << name;
    EXPECT_EQ(list.GetRomPathForFile("delta.zip"), "");
}

TEST_F(ROMListTest, ScanFindsArchivesWithoutCaseAndTheEarlierFolderWins) {
    std::string first = temp.MakeFolder("first");
    std::string second = temp.MakeFolder("second");
    std::string third = temp.MakeFolder("third");
    // Any kind of archive counts; within a folder a zip comes first.
    for (const char* file : {"second/alpha.7z", "second/ALPHA.ZIP", "third/alpha.zip",
                             "third/gamma.tar.gz", "third/beta.rsn.txt", "first/.7z"})
        temp.Write(file, "z");
    for (std::string* f : {&first, &second, &third})
        ASSERT_TRUE(list.AddFolder(*f));
    EXPECT_FALSE(list.IsScanned());
    list.ScanROMFolders();
    EXPECT_TRUE(list.IsScanned());
    EXPECT_EQ(list.GetRomPath(0), second + "ALPHA.ZIP");
    EXPECT_EQ(list.GetRomPath(2), third + "gamma.tar.gz");
    EXPECT_FALSE(list.IsAvailable(1));
    EXPECT_EQ(list.CountAvailable(), 2);
    std::filesystem::remove(second + "ALPHA.ZIP");
    list.ScanROMFolders();
    EXPECT_EQ(list.GetRomPath(0), second + "alpha.7z");

    // A deleted archive stays available until the next scan.
    std::filesystem::remove(third + "gamma.tar.gz");
    EXPECT_TRUE(list.IsAvailable(2));
    list.ScanROMFolders();
    EXPECT_FALSE(list.IsAvailable(2));

    // Removing every folder leaves every game missing after the scan;
    // clearing them does so at once.
    list.RemoveFolder(first);
    list.RemoveFolder(third);
    list.ScanROMFolders();
    EXPECT_TRUE(list.IsAvailable(0));
    list.ClearFolders();
    EXPECT_FALSE(list.IsAvailable(0));
    EXPECT_FALSE(list.IsScanned());
}

TEST_F(ROMListTest, FolderRules) {
    std::string roms = temp.MakeFolder("roms");
    std::string bare = roms.substr(0, roms.size() - 1);
    std::string upper = temp.Path() + "ROMS/";
    std::string missing = temp.Path() + "nowhere";
    std::string empty;

    EXPECT_TRUE(list.AddFolder(bare));
    EXPECT_EQ(bare, roms); // the "/" is added in place
    std::string again = bare.substr(0, bare.size() - 1);
    EXPECT_FALSE(list.AddFolder(again)); // same folder once its "/" is added
    EXPECT_FALSE(list.AddFolder(upper)); // does not exist: case tells folders apart here
    EXPECT_FALSE(list.AddFolder(missing));
    EXPECT_FALSE(list.AddFolder(empty));
    EXPECT_EQ(list.GetFolders(), std::vector<std::string>{roms});

    list.ScanROMFolders();
    EXPECT_FALSE(list.RemoveFolderAt(5));
    EXPECT_TRUE(list.IsScanned());

    std::ostringstream lines;
    list.WriteFolderLines(lines);
    EXPECT_EQ(lines.str(), "ROMFolder=" + roms + "\n");

    test::FakeListView view;
    list.FillFolderList(view);
    EXPECT_EQ(view.Column(0), std::vector<std::string>{roms});
}

TEST_F(ROMListTest, ClipInfoRoundTripsThroughTheFileAndAFailedSaveSaysWhere) {
    std::ostringstream none; // no section for unknown games while there are none
    list.WriteClipInfoFile(none, CROMList::Lines::WithUnsupported);
    EXPECT_EQ(none.str().find("not supported"), std::string::npos);
    const std::string text =
        "; Tarvo Clip Info File - Stores clip information for supported ROMsets\n"
        "\n"
        "alpha:range 0 20\n"
        "alpha:blank 3\n"
        "alpha:title 4   leading and trailing  \n"
        "beta:range 5 100\n"
        "beta:title 7 Stage 1\n"
        "\n"
        "; Clips not supported by this version of the sound core:\n"
        "\n"
        "zeta:range 0 9\n"
        "zeta:title 1 Kept Word For Word\n";
    EXPECT_EQ(Reload(text), text);
    std::ostringstream exported; // nor in an export
    list.WriteClipInfoFile(exported, CROMList::Lines::KnownGames);
    EXPECT_EQ(exported.str().find("not supported"), std::string::npos);

    test::ScriptedDialogs dialogs;
    ASSERT_TRUE(
        list.SaveClipInfo(temp.File("tarvoclips.dat"), CROMList::Lines::WithUnsupported, dialogs));
    EXPECT_TRUE(dialogs.shown.empty());
    CROMList fresh;
    fresh.BuildFromCore(core);
    fresh.LoadClipInfo(temp.File("tarvoclips.dat"));
    for (int g = 0; g < list.GetCount(); ++g)
        EXPECT_EQ(fresh.GetEntry(g)->clipInfo, list.GetEntry(g)->clipInfo) << g;
    EXPECT_EQ(fresh.GetUnsupportedLines(), list.GetUnsupportedLines());

    EXPECT_FALSE(list.SaveClipInfo(temp.File("no/such/folder.dat"),
                                   CROMList::Lines::WithUnsupported, dialogs));
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"ERROR saving clip information: Unable to open [" +
                                       temp.File("no/such/folder.dat") + "] for writing."});
}

TEST_F(ROMListTest, ClipLineGrammar) {
    Reload("ALPHA:RANGE 5 100\n"   // keyword and name in any case
           "alpha:Title 300 Far\n" // extends the range
           "alpha:range 0 100\n"   // shrinks it again, dropping the title
           "beta:title 2\r\n"      // CRLF, empty title
           "beta:blank 4\n"
           "gamma:bogus 1\n" // unknown keyword: dropped
           "omega:bogus 1\n" // unknown keyword of an unknown game: dropped too
           "omega:blank 2\n" // kept for the unsupported section
           "no colon here\n"
           "alpha:\n"
           "beta:title 99999999999 Huge\n" // beyond the limit: skipped
           "beta:blank 40000\n"
           "beta:range 0 2000000000\n");
    const CClipInfo& alpha = list.GetEntry(0)->clipInfo;
    EXPECT_EQ(alpha.firstClip, 0);
    EXPECT_EQ(alpha.lastClip, 100);
    EXPECT_TRUE(alpha.IsBlank(4)); // marked by the first range line, never cleared
    EXPECT_EQ(alpha.GetTitle(300), "");
    const CClipInfo& beta = list.GetEntry(1)->clipInfo;
    EXPECT_EQ(beta.firstClip, 0); // title and blank lines extend an empty range
    EXPECT_EQ(beta.lastClip, 4);
    EXPECT_TRUE(beta.IsBlank(4));
    EXPECT_EQ(list.GetEntry(2)->clipInfo.lastClip, -1);
    EXPECT_EQ(list.GetUnsupportedLines(), std::vector<std::string>{"omega:blank 2"});
}

TEST_F(ROMListTest, BadFilesChangeNothing) {
    list.LoadClipInfo(temp.File("missing.dat"));
    list.LoadClipInfo(temp.Path()); // a folder
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 37);
    temp.Write("binary.dat", binary);
    list.LoadClipInfo(temp.File("binary.dat"));
    for (int g = 0; g < list.GetCount(); ++g)
        EXPECT_LE(list.GetEntry(g)->clipInfo.lastClip, 31999);
}

TEST_F(ROMListTest, AHugeImportKeepsTheWindowAliveAndItsMemoryBounded) {
    const std::string line = "omega:title 1 " + std::string(1000, 'x') + "\n";
    std::string huge;
    for (int i = 0; i < 20000; ++i) // 20 MB of lines for a game nobody knows
        huge += line;
    std::istringstream in(huge);
    int progressCalls = 0;
    list.ReadClipInfo(in, [&] { ++progressCalls; });
    size_t kept = 0;
    for (const std::string& l : list.GetUnsupportedLines())
        kept += l.size();
    EXPECT_LE(kept, CROMList::kMaxUnsupportedBytes);
    EXPECT_GT(kept, CROMList::kMaxUnsupportedBytes - line.size());
    EXPECT_GT(progressCalls, 0); // the window was called back during the long read
}

TEST_F(ROMListTest, AFuzzedFileReadsBackAsItWasRead) {
    // Titles whose lines ended in several carriage returns once lost one of
    // them on every save.
    std::ifstream found(std::string(TARVO_TEST_DATA) +
                        "/hostile/clipinfo-title-ending-in-carriage-returns.dat");
    std::string text((std::istreambuf_iterator<char>(found)), {});
    text += "\nalpha:title 1 Ends in two\r\r\n";
    const std::string written = Reload(text);
    CROMList again;
    again.BuildFromCore(core);
    std::istringstream back(written);
    again.ReadClipInfo(back);
    for (int game = 0; game < list.GetCount(); ++game)
        EXPECT_EQ(again.GetEntry(game)->clipInfo, list.GetEntry(game)->clipInfo) << game;
    EXPECT_EQ(list.GetEntry(0)->clipInfo.GetTitle(1), "Ends in two");
}
