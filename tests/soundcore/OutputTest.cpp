// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/AudioOutput.h"
#include "playback/OutputAnalysis.h"
#include "playback/Volume.h"
#include "soundcore/SoundCoreFixture.h"

#include <cmath>
#include <gmock/gmock.h>

using tarvocore::CSilenceDetector;

namespace {

std::vector<int16_t> Sine(int frames, double amplitude) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(amplitude * std::sin(i * 0.05));
    return samples;
}

} // namespace

TEST(SilenceDetector, ReportsEachWholeSecondAndRestartsOnSound) {
    CSilenceDetector detector;
    std::vector<int16_t> quiet(44100 * 2, 3); // within the threshold
    EXPECT_EQ(detector.Feed(quiet.data(), 44099), 0);
    EXPECT_EQ(detector.Feed(quiet.data(), 1), 1);
    EXPECT_EQ(detector.Feed(quiet.data(), 44100), 1);
    std::vector<int16_t> loud{0, 500};
    detector.Feed(loud.data(), 1);
    EXPECT_EQ(detector.Feed(quiet.data(), 44099), 0);
}

// The device is kept a period and 50 ms ahead; without one a clock stands in
// for it, so the rest of the core behaves the same, silently. A paused output
// holds no device.
TEST(AudioOutput, KeepsItsLeadOnADeviceOrOnTheClockAndAsksNothingWhilePaused) {
    using tarvocore::CAudioOutput;
    CAudioOutput offline;
    offline.SetOffline(30);
    std::string error;
    EXPECT_EQ(offline.FramesWanted(), 0); // not open yet
    ASSERT_TRUE(offline.Open(error));
    EXPECT_EQ(offline.FramesWanted(), 1323);
    offline.SetPaused(true);
    EXPECT_EQ(offline.FramesWanted(), 0);

    const std::vector<int16_t> sound(CAudioOutput::kMaxFramesPerCall * 2, 100);
    for (const char* driver : {"no-such-driver", "dummy"}) {
        SCOPED_TRACE(driver);
        setenv("SDL_AUDIODRIVER", driver, 1);
        CAudioOutput output;
        const bool device = output.Open(error);
        EXPECT_EQ(device, std::string(driver) == "dummy") << error;
        EXPECT_EQ(output.FramesWanted(), CAudioOutput::kLeadFrames);
        output.Queue(sound.data(), CAudioOutput::kMaxFramesPerCall);
        EXPECT_LT(output.FramesWanted(), CAudioOutput::kDeviceFrames); // full, whatever drained
        // A pause lets the device go; what it had not played comes back with it.
        output.SetPaused(true);
        EXPECT_EQ(output.FramesWanted(), 0);
        EXPECT_FALSE(output.HoldsDevice());
        output.SetPaused(false);
        EXPECT_EQ(output.HoldsDevice(), device);
        EXPECT_LT(output.FramesWanted(), CAudioOutput::kDeviceFrames);
        output.Flush();
        EXPECT_GT(output.FramesWanted(), CAudioOutput::kLeadFrames - CAudioOutput::kDeviceFrames);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// The device chosen by name takes the sound at once, what was queued going
// on there; one that cannot be opened is told once, and the sound goes on
// through the system's default.
TEST(AudioOutput, SwitchesToTheDeviceChosenAndFallsBackToTheDefaultSayingSo) {
    using tarvocore::CAudioOutput;
    const std::vector<std::string> names = CAudioOutput::DeviceNames();
    ASSERT_FALSE(names.empty()); // SDL's dummy driver has one
    CAudioOutput output;
    std::string error;
    ASSERT_TRUE(output.Open(error)) << error;
    const std::vector<int16_t> sound(CAudioOutput::kDeviceFrames * 2, 100);
    output.Queue(sound.data(), CAudioOutput::kDeviceFrames);
    output.SetDevice(names.front());
    EXPECT_TRUE(output.HoldsDevice());
    EXPECT_EQ(output.TakeDeviceProblem(), "");
    EXPECT_LT(output.FramesWanted(), CAudioOutput::kLeadFrames); // the queue came along

    output.SetDevice("Headphones that were unplugged");
    EXPECT_TRUE(output.HoldsDevice());
    EXPECT_THAT(output.TakeDeviceProblem(),
                testing::StartsWith("The sound device \"Headphones that were unplugged\" cannot "
                                    "be opened ("));
    EXPECT_EQ(output.TakeDeviceProblem(), ""); // once
    output.SetPaused(true);
    output.SetPaused(false); // the default again, without a word
    EXPECT_TRUE(output.HoldsDevice());
    output.FramesWanted(); // a device that plays on is not taken for one gone
    EXPECT_EQ(output.TakeDeviceProblem(), "");
}

// The volume follows the cubic curve of desktop mixers, within 0 to 100 %,
// and leaves the frames it is given as they were.
TEST(Volume, ScalesACopyOnTheMixersCurve) {
    const std::vector<int16_t> frames = Sine(100, 20000);
    const struct {
        int asked, kept;
        double decibels; // of the peak, against the music's own
    } cases[] = {{100, 100, 0}, {50, 50, -18.06}, {10, 10, -60}, {150, 100, 0}, {-5, 0, -999}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        tarvocore::CVolume volume;
        volume.SetPercent(c.asked);
        EXPECT_EQ(volume.Percent(), c.kept);
        const int16_t* heard = volume.Apply(frames.data(), 100);
        EXPECT_EQ(heard == frames.data(), c.kept == 100); // no copy at full volume
        int peak = 0;
        for (int i = 0; i < 200; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(heard[i])));
        if (c.kept == 0)
            EXPECT_EQ(peak, 0);
        else
            EXPECT_NEAR(20 * std::log10(peak / 19999.0), c.decibels, 0.2);
    }
}
