// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundcore/SoundCoreFixture.h"
#include "src/OutputAnalysis.h"

#include <cmath>

using tarvocore::CNormalizer;
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

TEST(Normalizer, RaisesQuietClipsWithoutClipping) {
    CNormalizer normalizer;
    normalizer.SetEnabled(true);
    int peak = 0;
    for (int block = 0; block < 400; ++block) {
        auto samples = Sine(1323, 4000);
        normalizer.Process(samples.data(), 1323);
        if (block == 399)
            for (int16_t s : samples)
                peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_GT(peak, 12000);

    // A sudden loud block right after the gain has risen must not overflow.
    auto loud = Sine(1323, 32000);
    normalizer.Process(loud.data(), 1323);
    int loudPeak = 0;
    for (int16_t s : loud)
        loudPeak = std::max(loudPeak, std::abs(static_cast<int>(s)));
    EXPECT_LT(loudPeak, 32767); // no sample pinned at full scale
    EXPECT_GT(loudPeak, 25000);
}

TEST(Normalizer, OffLeavesSamplesAlone) {
    CNormalizer normalizer;
    auto samples = Sine(100, 1000);
    const auto before = samples;
    normalizer.Process(samples.data(), 100);
    EXPECT_EQ(samples, before);
}
