// SPDX-License-Identifier: GPL-3.0-or-later
// The program's side of the emulator process, spoken to directly: a file's
// tunes and its start, the blocks of sound, seeks given up by their numbers
// (so that only the seek meant is given up, whichever message comes first),
// and an emulator that stops, which the next request starts afresh.
#include "ipc/EmulatorProcess.h"

#include "soundcore/SoundCoreFixture.h"
#include "tools/compose/SidBuilder.h"

#include <thread>

using namespace tarvo::test;
using tarvocore::SeekOutcome;

namespace {

Bytes Sid() {
    compose::SidBuilder sid("Numbered", "Tester", "2026 Tests");
    sid.AddTune(kTune);
    return sid.Finish();
}

class Emulator : public testing::Test {
protected:
    tarvocore::CEmulatorProcess emulator{TARVO_EMULATOR};
    std::string error;
    tarvocore::CEmulatorProcess::Started started;

    bool StartSid() { return emulator.Start("tune.sid", Sid(), {}, {}, {0, {}}, started, error); }
    // The frames of the next block, or -1 when none came.
    int NextBlockFrames() {
        const int16_t* frames = nullptr;
        int count = 0;
        const auto taken = emulator.TakeNext(frames, count, error);
        return taken == tarvocore::CEmulatorProcess::Block::Taken ? count : -1;
    }
};

} // namespace

TEST_F(Emulator, TellsAFilesTunesStartsOneAndHandsOnItsSound) {
    tarvocore::MusicInfo info;
    ASSERT_TRUE(emulator.Info("tune.sid", Sid(), {}, {}, info, error)) << error;
    EXPECT_EQ(info.game, "Numbered");
    ASSERT_EQ(info.tunes.size(), 1u);
    EXPECT_FALSE(emulator.Info("noise.bin", RandomBytes(4096, 3), {}, {}, info, error));
    EXPECT_EQ(error, "it is not a music file this core plays");

    ASSERT_TRUE(StartSid()) << error;
    EXPECT_EQ(started.voices, (std::vector<std::string>{"Voice 1", "Voice 2", "Voice 3"}));
    EXPECT_FALSE(started.goesBackCheaply); // a C64 tune is replayed to go back
    // Short from the first on: a mute is heard soon.
    for (int block = 0; block < 3; ++block)
        EXPECT_EQ(NextBlockFrames(), tarvocore::kShortBlockFrames);
}

// An abandon names the seek it gives up: one for a seek that has ended leaves
// the next alone, one sent before its seek began gives it up as it begins,
// and one sent from another thread while the seek runs stops it where it got
// to (the hour asked would take the emulator minutes). The emulator goes on.
TEST_F(Emulator, ASeekIsGivenUpOnlyByTheAbandonThatNamesIt) {
    ASSERT_TRUE(StartSid()) << error;
    const pid_t pid = emulator.Pid();
    emulator.AbandonSeek(1);
    EXPECT_EQ(emulator.Seek(2000, 2, 60000, error), SeekOutcome::Done) << error;
    emulator.AbandonSeek(3);
    EXPECT_EQ(emulator.Seek(3600 * 1000, 3, 60000, error), SeekOutcome::GivenUp);

    std::thread other([this] { emulator.AbandonSeek(4); });
    const SeekOutcome outcome = emulator.Seek(3600 * 1000, 4, 60000, error);
    other.join();
    EXPECT_EQ(outcome, SeekOutcome::GivenUp);

    EXPECT_EQ(emulator.Seek(1000, 5, 60000, error), SeekOutcome::Done) << error;
    EXPECT_GT(NextBlockFrames(), 0);
    EXPECT_EQ(emulator.Pid(), pid);
}

// An emulator ended from another thread (a clip given up while it seeks)
// fails the request under way with the reason; the next request starts a
// fresh process, which knows no tune until one is started again.
TEST_F(Emulator, AnEmulatorEndedMidSeekIsStartedAfreshByTheNextRequest) {
    ASSERT_TRUE(StartSid()) << error;
    const pid_t pid = emulator.Pid();
    std::thread other([this] { emulator.Interrupt(); });
    const SeekOutcome outcome = emulator.Seek(3600 * 1000, 1, 60000, error);
    other.join();
    EXPECT_EQ(outcome, SeekOutcome::Failed);
    EXPECT_EQ(error, "stopped the emulator");

    EXPECT_EQ(emulator.Seek(1000, 2, 60000, error), SeekOutcome::Failed);
    EXPECT_EQ(error, "the emulator could not do it");
    EXPECT_NE(emulator.Pid(), pid);
    ASSERT_TRUE(StartSid()) << error;
    EXPECT_GT(NextBlockFrames(), 0);
}
