// SPDX-License-Identifier: GPL-3.0-or-later
// Loudness: its measure, the normalizer's gain and glide, the measures kept
// between runs, ReplayGain tags, and the demo games brought to one loudness.
#include "export/ReplayGainTags.h"
#include "export/SoundFileWriter.h"
#include "playback/LoudnessMeter.h"
#include "playback/LoudnessTable.h"
#include "playback/Normalizer.h"
#include "soundcore/SoundCoreFixture.h"

#include <cmath>
#include <filesystem>
#include <FLAC/metadata.h>
#include <fstream>
#include <gmock/gmock.h>
#include <vorbis/vorbisfile.h>

using tarvocore::CLoudnessMeter;
using tarvocore::CLoudnessTable;
using tarvocore::CNormalizer;
using tarvocore::TuneKey;
using tarvocore::TuneLoudness;
using namespace tarvo::test;

namespace {

std::vector<int16_t> Sine(int frames, double amplitude, double hz = 997) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] =
            static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / 44100));
    return samples;
}

TuneLoudness Measured(const std::vector<int16_t>& samples) {
    CLoudnessMeter meter;
    meter.Add(samples.data(), static_cast<int>(samples.size() / 2));
    return meter.Measure();
}

} // namespace

// A 997 Hz sine on both channels measures its level in dB of full scale,
// as BS.1770 is calibrated; silence measures as silence.
TEST(LoudnessMeter, MeasuresASineAtItsLevelAndSilenceAsSilence) {
    const TuneLoudness sine = Measured(Sine(44100 * 3, 3277));
    EXPECT_NEAR(sine.lufs, -20.0, 0.1);
    EXPECT_NEAR(sine.peak, 0.1, 0.002);
    const TuneLoudness silence = Measured(std::vector<int16_t>(44100 * 4, 0));
    EXPECT_EQ(silence.lufs, CLoudnessMeter::kSilenceLufs);
    EXPECT_EQ(silence.peak, 0.0);
}

TEST(Normalizer, TheGainReachesTheTargetUnlessThePeakOrTheLimitStopsIt) {
    const struct {
        TuneLoudness loudness;
        double gainDb;
    } cases[] = {
        {{-24.0, 0.1}, 6.0},    // quiet: raised to -18
        {{-10.0, 0.9}, -8.0},   // loud: lowered
        {{-20.0, 0.8}, 0.938},  // the true peak stops it at -1 dBTP
        {{-60.0, 0.001}, 24.0}, // never more than the most
        {{-70.0, 0.0}, 0.0},    // silence is left as it is
    };
    for (const auto& c : cases)
        EXPECT_NEAR(CNormalizer::GainDbFor(c.loudness), c.gainDb, 0.001) << c.loudness.lufs;
}

// A tune's gain holds from its first sample; a refined measure moves it no
// faster than the glide, frame by frame, so no step is heard; off, the
// sound is left alone.
TEST(Normalizer, StartsAtItsGainAndGlidesToARefinedOne) {
    CNormalizer normalizer;
    std::vector<int16_t> sound = Sine(441, 10000);
    const std::vector<int16_t> before = sound;
    normalizer.Process(sound.data(), 441);
    EXPECT_EQ(sound, before);

    normalizer.SetEnabled(true);
    normalizer.Start(6.0);
    std::vector<int16_t> constant(2 * 441, 4000);
    normalizer.Process(constant.data(), 441);
    EXPECT_EQ(constant.front(), 7981); // +6 dB from the first frame
    EXPECT_EQ(constant.back(), 7981);

    normalizer.Refine(0.0);
    std::vector<int16_t> glide(2 * 44100, 4000);
    for (int block = 0; block < 100; ++block)
        normalizer.Process(glide.data() + block * 2 * 441, 441);
    // A second at 3 dB a second: half way, and no frame steps more than the glide allows.
    EXPECT_NEAR(normalizer.GainDb(), 3.0, 1e-9);
    EXPECT_NEAR(glide.back(), 4000 * std::pow(10.0, 3.0 / 20), 1.0);
    for (size_t i = 2; i < glide.size(); i += 2)
        EXPECT_LE(glide[i - 2] - glide[i], 1) << i;
    EXPECT_LT(glide.front(), 7982);
}

// Measures kept in the file are found by a later run; the latest line of a
// tune counts; a changed file is another tune; damaged lines are passed over;
// two programs adding at once lose nothing; without a file nothing is kept
// between runs, and a folder that is not there fails quietly.
TEST(LoudnessTable, KeepsMeasuresBetweenRunsAndPassesOverDamage) {
    TempFolder temp;
    const std::string path = temp.File("tarvoloudness.dat");
    const TuneKey quest{"tarvoquest", 1, 0xdeadbeef};
    CLoudnessTable first;
    first.Open(path);
    EXPECT_FALSE(first.Find(quest));
    EXPECT_TRUE(first.Keep(quest, {-16.29, 0.534}));
    CLoudnessTable second; // another program, at the same time
    second.Open(path);
    EXPECT_TRUE(second.Keep({"starmoth", 2, 1}, {-17.0, 0.5}));
    EXPECT_TRUE(first.Keep(quest, {-16.5, 0.6}));
    {
        std::ofstream damage(path, std::ios::app);
        damage << "starmoth\t3\t00000001\tnan\t0.5\n"
               << "starmoth\t4\tzz\t-20\t0.5\n"
               << "starmoth\t5\t00000001\t-20\n"
               << "starmoth\t6\t00000001\t-200\t0.5\n"
               << std::string(100000, 'x') << "\t7\t1\t-20\t0.5\n"
               << "starmoth\t8\t00000001\t-20.5\t0.25";
    }
    CLoudnessTable later;
    later.Open(path);
    EXPECT_EQ(later.Find(quest), (TuneLoudness{-16.5, 0.6}));
    EXPECT_EQ(later.Find({"starmoth", 2, 1}), (TuneLoudness{-17.0, 0.5}));
    EXPECT_FALSE(later.Find({"tarvoquest", 1, 0xdeadbeee}));
    for (int clip = 3; clip <= 7; ++clip)
        EXPECT_FALSE(later.Find({"starmoth", clip, 1})) << clip;
    EXPECT_EQ(later.Find({"starmoth", 8, 1}), (TuneLoudness{-20.5, 0.25})); // the last, unended
    EXPECT_EQ(std::count(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}, '#'), 2);

    CLoudnessTable none;
    none.Open("");
    EXPECT_FALSE(none.Keep(quest, {-16.0, 0.5}));
    EXPECT_TRUE(none.Find(quest)); // for this run
    CLoudnessTable nowhere;
    nowhere.Open(temp.File("no/such/folder/tarvoloudness.dat"));
    EXPECT_FALSE(nowhere.Keep(quest, {-16.0, 0.5}));
}

namespace {

// Field names are the same in any case; libsndfile writes FLAC's in lower case.
void AddTag(std::map<std::string, std::string>& tags, const std::string& entry) {
    std::string name = entry.substr(0, entry.find('='));
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    tags[name] = entry.substr(entry.find('=') + 1);
}

std::map<std::string, std::string> FlacTags(const std::string& path) {
    std::map<std::string, std::string> tags;
    FLAC__StreamMetadata* block = nullptr;
    if (!FLAC__metadata_get_tags(path.c_str(), &block)) return tags;
    const auto& comments = block->data.vorbis_comment;
    for (FLAC__uint32 i = 0; i < comments.num_comments; ++i) {
        AddTag(tags, std::string(reinterpret_cast<const char*>(comments.comments[i].entry),
                                 comments.comments[i].length));
    }
    FLAC__metadata_object_delete(block);
    return tags;
}

std::map<std::string, std::string> OggTags(const std::string& path) {
    std::map<std::string, std::string> tags;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return tags;
    const vorbis_comment* comments = ov_comment(&file, -1);
    for (int i = 0; i < comments->comments; ++i) {
        AddTag(tags, std::string(comments->user_comments[i],
                                 static_cast<size_t>(comments->comment_lengths[i])));
    }
    ov_clear(&file);
    return tags;
}

} // namespace

// Both formats take the two tags beside their own, and keep their sound as
// it was; a file that is not what its name says is refused and left alone.
TEST(ReplayGainTags, AreAddedToFlacAndOggFilesWhoseSoundStaysAsItWas) {
    TempFolder temp;
    const std::vector<int16_t> sound = Sine(44100 * 2, 6000, 440);
    const TuneLoudness loudness{-23.456, 0.1831};
    for (const std::string name : {"tune.flac", "tune.ogg"}) {
        SCOPED_TRACE(name);
        const std::string path = temp.File(name);
        tarvocore::CSoundFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Open(path, {"Overture", "Tarvo Quest", "", "", 1}, error));
        ASSERT_TRUE(writer.Write(sound.data(), 44100 * 2, error));
        ASSERT_TRUE(writer.Close(error));
        const SoundFileContent before = ReadSoundFile(path);
        ASSERT_TRUE(tarvocore::AddReplayGainTags(path, loudness, error)) << error;
        const auto tags = name == "tune.flac" ? FlacTags(path) : OggTags(path);
        EXPECT_EQ(tags.at("REPLAYGAIN_TRACK_GAIN"), "5.46 dB");
        EXPECT_EQ(tags.at("REPLAYGAIN_TRACK_PEAK"), "0.183100");
        EXPECT_EQ(tags.at("TITLE"), "Overture");
        const SoundFileContent after = ReadSoundFile(path);
        EXPECT_EQ(after.samples, before.samples);
        EXPECT_EQ(after.tags, "Overture|Tarvo Quest|||1");
    }
    std::string error;
    temp.Write("fake.ogg", "not an Ogg stream at all");
    EXPECT_FALSE(tarvocore::AddReplayGainTags(temp.File("fake.ogg"), loudness, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(temp.Read("fake.ogg"), "not an Ogg stream at all");
    EXPECT_FALSE(std::filesystem::exists(temp.File("fake.ogg.tagged")));
}

namespace {

class Normalizing : public SoundCoreTest {
protected:
    void SetUp() override {
        SoundCoreTest::SetUp();
        romFolder = TARVO_DEMO_ROMS;
        loudnessPath = temp.File("tarvoloudness.dat");
        StartCore("tiderunner | T | M | 1 | D\ncometminer | C | M | 1 | D\n"
                  "embercrypt | E | M | 1 | D\ntarvoquest | Q | M | 1 | D\n"
                  "pixelracer | P | M | 1 | D\nstarmoth | S | M | 1 | D\n"
                  "neondragon | N | M | 1 | D\ncoastrider | R | M | 1 | D\n"
                  "stormblade | B | M | 1 | D\nironwing | I | M | 1 | D\n");
        core.SetOption(CORE_OPT_NORMALIZE, 1);
    }

    // The first `seconds` of a clip as the listener hears it.
    TuneLoudness Heard(const std::string& game, int clip, int seconds) {
        Load(game, clip);
        std::vector<int16_t> heard;
        captured = &heard;
        for (int i = 0; i < seconds * 1000 / 30; ++i)
            core.Render(tarvocore::CSoundCore::kLevelReportFrames);
        captured = nullptr;
        return Measured(heard);
    }

    size_t KeptLines() {
        std::ifstream in(loudnessPath);
        return static_cast<size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
    }
};

// The demo games' first tunes span 13 LU as they are; normalized, their
// first 20 s come within 1.5 LU of each other, and each tune is measured once.
TEST_F(Normalizing, BringsTheDemoGamesFirstTunesToOneLoudnessMeasuringEachOnce) {
    const std::pair<const char*, int> firstTunes[] = {
        {"tarvoquest", 1}, {"pixelracer", 0}, {"starmoth", 1},   {"tiderunner", 0},
        {"cometminer", 1}, {"embercrypt", 1}, {"neondragon", 1}, {"coastrider", 1},
        {"stormblade", 1}, {"ironwing", 1}};
    double quietest = 0, loudest = -100;
    for (const auto& [game, clip] : firstTunes) {
        const TuneLoudness heard = Heard(game, clip, 20);
        EXPECT_NEAR(heard.lufs, CNormalizer::kTargetLufs, 0.75) << game;
        EXPECT_LT(heard.peak, std::pow(10.0, CNormalizer::kPeakCeilingDb / 20) + 0.01) << game;
        quietest = std::min(quietest, heard.lufs);
        loudest = std::max(loudest, heard.lufs);
    }
    EXPECT_LE(loudest - quietest, 1.5);
    EXPECT_EQ(KeptLines(), 2u + 10u);
    for (const auto& [game, clip] : firstTunes)
        Load(game, clip);
    EXPECT_EQ(KeptLines(), 2u + 10u);
    EXPECT_EQ(Count(CORE_MSG_ERROR), 0);
}

// Played through a device, a tune's first sound waits for its measure and
// comes with its gain at once; the measure is kept once whole.
TEST_F(Normalizing, ThroughADeviceTheFirstSoundComesWithItsGain) {
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 0);
    Load("embercrypt", -1);
    core.WaitForStarts();
    Service(1);
    auto firstSound = [&](bool normalize) {
        core.SetOption(CORE_OPT_NORMALIZE, normalize ? 1 : 0);
        core.Command(CORE_CMD_PLAY_CLIP, 1);
        core.Command(CORE_CMD_RESUME, 0);
        core.WaitForStarts();
        std::vector<int16_t> heard;
        captured = &heard;
        Service(1);
        captured = nullptr;
        return heard;
    };
    const std::vector<int16_t> own = firstSound(false);
    const std::vector<int16_t> even = firstSound(true);
    const size_t common = std::min(own.size(), even.size());
    ASSERT_GT(common, 2u * 1323);
    double ownSum = 0, evenSum = 0;
    for (size_t i = 0; i < common; ++i) {
        ownSum += std::abs(own[i]);
        evenSum += std::abs(even[i]);
    }
    // The tune measures -23.16 LUFS: 5.16 dB up from its first sample.
    EXPECT_NEAR(20 * std::log10(evenSum / ownSum), 5.16, 0.05);
    EXPECT_EQ(KeptLines(), 3u);
}

// An export measures the clip it writes and tags it; normalized, it is
// brought to the loudness by the measure kept.
TEST_F(Normalizing, ExportsCarryTheirReplayGainAndAreNormalizedByTheKeptMeasure) {
    core.SetOption(CORE_OPT_NORMALIZE, 0);
    Load("embercrypt", -1);
    for (const bool normalize : {false, true}) {
        core.SetOption(CORE_OPT_NORMALIZE, normalize ? 1 : 0);
        wavPath = temp.File(normalize ? "even.flac" : "own.flac");
        core.Command(CORE_CMD_EXPORT_CLIP, 1);
        ASSERT_EQ(Last(CORE_MSG_EXPORTED)->text, "");
        const TuneLoudness written = Measured(ReadSoundFile(wavPath).samples);
        const double gain = std::stod(FlacTags(wavPath).at("REPLAYGAIN_TRACK_GAIN"));
        EXPECT_NEAR(gain, CNormalizer::kTargetLufs - written.lufs, 0.01);
        EXPECT_NEAR(written.lufs, normalize ? CNormalizer::kTargetLufs : -23.16, 0.05);
        EXPECT_EQ(KeptLines(), 3u); // measured once, by the first export
    }
}

} // namespace
