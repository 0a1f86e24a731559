// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SoundFileWriter.h"

#include "soundcore/SoundCoreFixture.h"
#include "support/FileSizeLimit.h"

#include <fstream>
#include <sndfile.h>

using namespace tarvo::test;
using tarvocore::CSoundFileWriter;

namespace {

// Two ramps, the left rising and the right falling, as the golden file holds.
std::vector<int16_t> Ramps(int frames) {
    std::vector<int16_t> samples(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        samples[2 * i] = static_cast<int16_t>(i * 221 - 32768);
        samples[2 * i + 1] = static_cast<int16_t>(32767 - i * 97);
    }
    return samples;
}

const tarvocore::SoundTags kTags{"Overture", "Tarvo Quest", "Tarvo Labs", "1999", 7};

} // namespace

// A WAV is the bytes the recordings have always been, written in two goes.
TEST(SoundFileWriter, AWavIsTheSameBytesAsEverAndCarriesNoTags) {
    TempFolder temp;
    const std::vector<int16_t> ramps = Ramps(300);
    CSoundFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(temp.File("ramps.WAV"), kTags, error)) << error;
    EXPECT_TRUE(writer.Write(ramps.data(), 120, error));
    EXPECT_TRUE(writer.Write(ramps.data() + 240, 180, error));
    EXPECT_TRUE(writer.Close(error)) << error;
    std::ifstream golden(TARVO_TEST_DATA "/wav-bytes/ramps.wav", std::ios::binary);
    EXPECT_EQ(temp.Read("ramps.WAV"), std::string(std::istreambuf_iterator<char>(golden), {}));
}

TEST(SoundFileWriter, FlacAndOggHoldTheSoundAndItsTags) {
    TempFolder temp;
    const std::vector<int16_t> ramps = Ramps(44100);
    for (const auto& [name, format] :
         {std::pair{"a.flac", SF_FORMAT_FLAC}, {"b.Ogg", SF_FORMAT_OGG}}) {
        SCOPED_TRACE(name);
        CSoundFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Open(temp.File(name), kTags, error)) << error;
        ASSERT_TRUE(writer.Write(ramps.data(), 44100, error));
        ASSERT_TRUE(writer.Close(error)) << error;
        const SoundFileContent back = ReadSoundFile(temp.File(name));
        EXPECT_EQ(back.format, format);
        EXPECT_EQ(back.channels * 1000000 + back.sampleRate, 2044100);
        EXPECT_EQ(back.samples.size(), ramps.size());
        if (format == SF_FORMAT_FLAC) {
            EXPECT_EQ(back.samples, ramps); // lossless
        }
        EXPECT_EQ(back.tags, "Overture|Tarvo Quest|Tarvo Labs|1999|7");
    }
}

// A full disk stops the file once, with the reason; what reached the disk
// stays readable, and a WAV's header counts only the whole frames it holds.
TEST(SoundFileWriter, AFullDiskSaysWhyAndKeepsAReadableFile) {
    TempFolder temp;
    const std::vector<int16_t> ramps = Ramps(44100);
    for (const std::string name : {"full.wav", "full.flac"}) {
        SCOPED_TRACE(name);
        CSoundFileWriter writer;
        std::string error;
        bool failed = false;
        {
            const FileSizeLimit full(100 * 1024 + 2); // not a whole frame
            ASSERT_TRUE(writer.Open(temp.File(name), kTags, error));
            for (int second = 0; second < 4 && !failed; ++second)
                failed = !writer.Write(ramps.data(), 44100, error);
            writer.Close(error);
        }
        EXPECT_TRUE(failed);
        EXPECT_NE(error.find(temp.File(name) + " could not be written: File too large"),
                  std::string::npos)
            << error;
        const SoundFileContent back = ReadSoundFile(temp.File(name));
        EXPECT_GT(back.samples.size(), 40000u);
        if (name == "full.wav") {
            EXPECT_EQ(temp.Read(name).size(), 44 + back.samples.size() * 2);
            EXPECT_EQ(back.framesInHeader * 2, static_cast<long long>(back.samples.size()));
        }
    }
    CSoundFileWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Open(temp.File("no/such/folder.flac"), kTags, error));
    EXPECT_NE(error.find("no/such/folder.flac"), std::string::npos);
}
