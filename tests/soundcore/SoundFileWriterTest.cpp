// SPDX-License-Identifier: GPL-3.0-or-later
#include "src/SoundFileWriter.h"

#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <vector>

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

struct ReadBack {
    SF_INFO info{};
    std::vector<int16_t> samples;
    std::string title, album, artist, date, track;
};

ReadBack Read(const std::string& path) {
    ReadBack back;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &back.info);
    if (!file) return back;
    // A file cut short may not know its length: read what it holds.
    std::vector<int16_t> chunk(2 * 4096);
    for (sf_count_t got; (got = sf_readf_short(file, chunk.data(), 4096)) > 0;)
        back.samples.insert(back.samples.end(), chunk.begin(), chunk.begin() + 2 * got);
    auto text = [file](int kind) {
        const char* value = sf_get_string(file, kind);
        return std::string(value ? value : "");
    };
    back.title = text(SF_STR_TITLE);
    back.album = text(SF_STR_ALBUM);
    back.artist = text(SF_STR_ARTIST);
    back.date = text(SF_STR_DATE);
    back.track = text(SF_STR_TRACKNUMBER);
    sf_close(file);
    return back;
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
    struct Case {
        const char* name;
        int format;
        bool lossless;
    } cases[] = {{"a.flac", SF_FORMAT_FLAC, true}, {"b.Ogg", SF_FORMAT_OGG, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSoundFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Open(temp.File(c.name), kTags, error)) << error;
        ASSERT_TRUE(writer.Write(ramps.data(), 44100, error));
        ASSERT_TRUE(writer.Close(error)) << error;
        const ReadBack back = Read(temp.File(c.name));
        EXPECT_EQ(back.info.format & SF_FORMAT_TYPEMASK, c.format);
        EXPECT_EQ(back.samples.size(), ramps.size());
        EXPECT_EQ(back.info.channels, 2);
        EXPECT_EQ(back.info.samplerate, 44100);
        if (c.lossless) {
            EXPECT_EQ(back.samples, ramps);
        }
        EXPECT_EQ(back.title + "|" + back.album + "|" + back.artist + "|" + back.date + "|" +
                      back.track,
                  "Overture|Tarvo Quest|Tarvo Labs|1999|7");
    }
}

// A full disk stops the file once, with the reason; what reached the disk
// stays readable, and the header counts only whole frames.
TEST(SoundFileWriter, AFullDiskSaysWhyAndKeepsAReadableFile) {
    TempFolder temp;
    const std::vector<int16_t> ramps = Ramps(44100);
    for (const char* name : {"full.wav", "full.flac"}) {
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
        const ReadBack back = Read(temp.File(name));
        EXPECT_GT(back.samples.size(), 40000u);
        if (std::string(name) == "full.wav") {
            EXPECT_EQ(temp.Read(name).size(), 44 + back.samples.size() * 2);
            EXPECT_EQ(back.info.frames * 2, static_cast<sf_count_t>(back.samples.size()));
        }
    }
    CSoundFileWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Open(temp.File("no/such/folder.flac"), kTags, error));
    EXPECT_NE(error.find("no/such/folder.flac"), std::string::npos);
}
