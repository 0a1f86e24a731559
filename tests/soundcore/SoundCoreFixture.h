// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drives the shipped core's implementation directly, with a callback that
// records every message and answers the path requests from a test folder.

#include "session/SoundCore.h"
#include "support/TempFolder.h"
#include "tools/compose/Song.h"
#include "tools/compose/VgmBuilder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvo::test {

struct Message {
    int code;
    std::string text;
    int second;
};

using Bytes = std::vector<uint8_t>;

struct ZipMember {
    std::string name;
    Bytes data;
};

void WriteZip(const std::string& path, const std::vector<ZipMember>& members);
// A RAR 4 archive (of SNES music sets, ".rsn") with its members stored;
// `volume` marks it as one volume of several.
void WriteRar(const std::string& path, const std::vector<ZipMember>& members, bool volume = false);
// A short SN76489 tune: `frames` frames of a 440 Hz tone, looping or not.
Bytes ToneVgm(int frames, bool loops, int attenuation = 2);
Bytes RandomBytes(size_t size, unsigned seed);
// A file of the test data's hostile inputs, as it is.
Bytes HostileFile(const std::string& name);
// An AdLib Visual Composer song of 8 s, and the bank ("standard.bnk") it needs.
Bytes RolSong();
Bytes StandardBank();

// A sound file as libsndfile reads it back: its format, every sample it
// holds (a file cut short may not know its length) and its tags.
struct SoundFileContent {
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    long long framesInHeader = 0;
    std::vector<int16_t> samples;
    std::string tags; // title|album|artist|date|track
};
SoundFileContent ReadSoundFile(const std::string& path);

// A short tune of a lead and a bass, for the formats built from notes.
inline const compose::LeadAndBass kTune{"Tune", "C5/4 E5/4 G5/8", "C3/16", 6};

class SoundCoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { core.Shutdown(); }

    // Writes a catalogue of the given lines and starts the core on it.
    void StartCore(const std::string& catalogue);
    void Load(const std::string& romName, int clip);
    // `calls` service calls of the player's tick, 30 ms of sound each.
    void Service(int calls);
    std::vector<int> Codes() const;
    std::vector<int> TakeCodes();
    int Count(int code) const;
    const Message* Last(int code) const;

    static int OnMessage(void* user, int code, void* first, int second);

    TempFolder temp;
    std::string romFolder;
    tarvocore::CSoundCore core;
    std::vector<Message> messages;
    int romAnswer = 1;        // what message 11 returns
    std::string romFile;      // the file it names in the ROM folder, when not the one asked for
    std::string wavPath;      // the answer to messages 12 and 14
    std::string loudnessPath; // the answer to message 17, empty: none
    long framesReported = 0;
    int lastPeak = 0;
    std::vector<int16_t>* captured = nullptr; // every sample heard, when set
    size_t romBufferTextLength = 0;
};

} // namespace tarvo::test
