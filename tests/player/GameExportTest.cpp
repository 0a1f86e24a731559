// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/EngineFixture.h"

#include <algorithm>

using namespace tarvo;
using namespace tarvo::test;

namespace {

class GameExport : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        core.tellsTunes = true;
        core.tunes = {"", "Overture", "Village", "", "Fanfare"};
        LoadGameAt(0, 1);
        CClipInfo& clips = romList.GetEntry(0)->clipInfo;
        clips.SetBlank(2, true);
        clips.SetTitle(4, "My Fanfare");
        core.TakeActions();
    }
    std::string Folder() { return temp.Path(); }
    std::vector<ExportItem> Items(const std::string& extension) {
        return engine->Export().Items(engine->LoadedGame()->clipInfo, extension);
    }
};

std::vector<std::string> Names(const std::vector<ExportItem>& items) {
    std::vector<std::string> names;
    for (const ExportItem& item : items)
        names.push_back(std::to_string(item.clip) + ":" + item.fileName);
    return names;
}

} // namespace

// The clips with a tune that are not marked blank, by the user's titles where
// given; a core without a tune table gives the range's unmarked clips, at most 100.
TEST_F(GameExport, ExportsTheTunesNotMarkedBlank) {
    EXPECT_EQ(Names(Items(".ogg")),
              (std::vector<std::string>{"1:01 Overture.ogg", "4:04 My Fanfare.ogg"}));
    core.tellsTunes = false;
    core.tunes.clear();
    engine->LoadGame(1, -1);
    romList.GetEntry(1)->clipInfo.SetBlank(5, true);
    const std::vector<ExportItem> range = Items(".wav");
    ASSERT_EQ(range.size(), 100u);
    EXPECT_EQ(range[5].clip, 6);
    EXPECT_EQ(range[99].fileName, "100.wav");
}

// One clip after the other, each named on the core's request; the first
// failure ends it, and a cancel tells the core and ignores what comes after.
TEST_F(GameExport, RunsClipByClipUntilDoneFailedOrCancelled) {
    const std::vector<ExportItem> items = Items(".flac");
    engine->Export().Start(Folder(), items);
    EXPECT_EQ(core.TakeActions(), std::vector<std::string>{"Command(EXPORT_CLIP, 1)"});
    EXPECT_EQ(engine->TickNeeded(), TickNeed::Timer); // the service call tells the end
    EXPECT_EQ(core.SendPathRequest(CORE_MSG_EXPORT_PATH, ""), Folder() + "01 Overture.flac");
    core.exportProgress = 500;
    EXPECT_EQ(engine->Export().Permille(), 250);
    core.Send(CORE_MSG_EXPORTED, nullptr, 1);
    EXPECT_EQ(core.TakeActions(), std::vector<std::string>{"Command(EXPORT_CLIP, 4)"});
    EXPECT_EQ(engine->Export().CurrentFile(), "04 My Fanfare.flac");
    core.Send(CORE_MSG_EXPORTED, nullptr, 4);
    EXPECT_FALSE(engine->Export().Running());
    EXPECT_EQ(engine->Export().Written(), 2);
    EXPECT_EQ(engine->Export().Permille(), 1000);

    std::string full = "The disk is full";
    engine->Export().Start(Folder(), items);
    core.Send(CORE_MSG_EXPORTED, full.data(), 1);
    EXPECT_EQ(engine->Export().Error(), "01 Overture.flac: " + full); // names the clip
    EXPECT_EQ(engine->Export().Written(), 0);
    EXPECT_FALSE(engine->Export().Running());

    engine->Export().Start(Folder(), items);
    core.TakeActions();
    engine->Export().Cancel();
    EXPECT_EQ(core.TakeActions(), std::vector<std::string>{"Command(CANCEL_EXPORT, 0)"});
    core.Send(CORE_MSG_EXPORTED, nullptr, 1); // one finished as the cancel went out
    EXPECT_TRUE(core.TakeActions().empty());
    EXPECT_TRUE(engine->Export().Cancelled());
    EXPECT_EQ(engine->Export().Written(), 0);

    engine->Export().Start(Folder(), items); // the next clips would come from another game
    engine->LoadGame(1, -1);
    const std::vector<std::string> actions = core.TakeActions();
    EXPECT_EQ(std::count(actions.begin(), actions.end(), "Command(CANCEL_EXPORT, 0)"), 1);
    EXPECT_EQ(engine->Export().Error(), "another game was loaded before every clip was written");
}

// A folder whose path with a file name passes the core's path buffer is
// refused before anything starts, not told as "No file name was given".
TEST(GameExportPaths, AFolderTooDeepForTheCoresBufferIsFoundBeforeTheExport) {
    const std::vector<ExportItem> items{{1, "01 Overture.flac"},
                                        {2, "02 A Much Longer Title.flac"}};
    const std::string deep = "/" + std::string(CORE_PATH_BUFFER_SIZE - 20, 'd') + "/";
    EXPECT_FALSE(CGameExport::PathsFit(deep, items));
    EXPECT_TRUE(CGameExport::PathsFit("/music/", items));
}
