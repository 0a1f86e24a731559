// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundcore/SoundCoreFixture.h"

#include "archive/ZipWriter.h"

#include <cstring>
#include <fstream>
#include <random>
#include <sndfile.h>
#include <zlib.h>

namespace tarvo::test {

void WriteZip(const std::string& path, const std::vector<ZipMember>& members) {
    std::string error;
    ASSERT_TRUE(tarvocore::WriteZipArchive(path, tarvocore::ZipEntriesOf(members), error)) << error;
}

namespace {

void PutLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    return static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(size)));
}

// A RAR 4 block: its header's CRC (the low half of the CRC-32 of the rest of
// the header), then the header, then what follows it.
void PutRarBlock(Bytes& out, const Bytes& header, const Bytes& data = {}) {
    PutLe(out, Crc32(header.data(), header.size()) & 0xFFFF, 2);
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), data.begin(), data.end());
}

} // namespace

// The members stored uncompressed: the archive header, a file header and its
// data for each, and the end block.
void WriteRar(const std::string& path, const std::vector<ZipMember>& members, bool volume) {
    Bytes out = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
    PutRarBlock(out,
                {0x73, static_cast<uint8_t>(volume ? 0x01 : 0x00), 0x00, 13, 0, 0, 0, 0, 0, 0, 0});
    for (const ZipMember& member : members) {
        Bytes header = {0x74, 0x00, 0x80}; // a file, its data after the header
        PutLe(header, static_cast<uint32_t>(32 + member.name.size()), 2);
        PutLe(header, static_cast<uint32_t>(member.data.size()), 4); // packed
        PutLe(header, static_cast<uint32_t>(member.data.size()), 4); // unpacked
        header.push_back(3);                                         // made on Unix
        PutLe(header, Crc32(member.data.data(), member.data.size()), 4);
        PutLe(header, 0x5B870000, 4);            // 2025-12-07, as MS-DOS counts time
        header.insert(header.end(), {20, 0x30}); // version 2.0, stored
        PutLe(header, static_cast<uint32_t>(member.name.size()), 2);
        PutLe(header, 0100644, 4);
        header.insert(header.end(), member.name.begin(), member.name.end());
        PutRarBlock(out, header, member.data);
    }
    PutRarBlock(out, {0x7B, 0x00, 0x40, 7, 0});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

Bytes ToneVgm(int frames, bool loops, int attenuation) {
    compose::VgmBuilder builder;
    if (loops) builder.MarkLoop();
    for (int i = 0; i < frames; ++i) {
        compose::Frame frame;
        frame.period[0] = compose::VgmBuilder::PeriodOf(440);
        frame.attenuation[0] = attenuation;
        builder.Add(frame);
    }
    if (!loops) builder.Add(compose::Frame()); // a jingle ends by falling silent
    return builder.Finish("tone", "test");
}

Bytes RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

Bytes HostileFile(const std::string& name) {
    std::ifstream in(std::string(TARVO_TEST_DATA) + "/hostile/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

void SoundCoreTest::SetUp() {
    romFolder = temp.MakeFolder("roms");
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
    core.SetEmulatorProgram(TARVO_EMULATOR);
}

void SoundCoreTest::StartCore(const std::string& catalogue) {
    temp.Write(tarvocore::CCatalogue::kFileName, catalogue);
    core.Init(this, &SoundCoreTest::OnMessage, temp.Path());
}

void SoundCoreTest::Load(const std::string& romName, int clip) {
    const int count = core.GetInt(CORE_INT_GAME_COUNT, 0);
    for (int game = 0; game < count; ++game)
        if (romName == core.GetString(CORE_STR_ROM_NAME, game)) core.SetOption(CORE_OPT_GAME, game);
    core.Command(CORE_CMD_RESUME, 0);
    core.Command(CORE_CMD_START_GAME, clip);
}

void SoundCoreTest::Service(int calls) {
    for (int i = 0; i < calls; ++i)
        core.Command(CORE_CMD_SERVICE, 0);
}

int SoundCoreTest::OnMessage(void* user, int code, void* first, int second) {
    auto& test = *static_cast<SoundCoreTest*>(user);
    if (code == CORE_MSG_LOUDNESS_PATH) { // a question of the core's own, not an event
        std::memcpy(first, test.loudnessPath.c_str(), test.loudnessPath.size() + 1);
        return test.loudnessPath.empty() ? 0 : 1;
    }
    std::string text;
    if (code == CORE_MSG_GAME_LOADED || code == CORE_MSG_DRIVER_INFO || code == CORE_MSG_ERROR ||
        (code == CORE_MSG_EXPORTED && first))
        text = static_cast<const char*>(first);
    if (code == CORE_MSG_LEVELS) {
        test.framesReported += second;
        const auto* samples = static_cast<const int16_t*>(first);
        test.lastPeak = 0;
        for (int i = 0; i < 2 * second; ++i)
            test.lastPeak = std::max<int>(test.lastPeak, samples[i]);
        if (test.captured)
            test.captured->insert(test.captured->end(), samples, samples + 2 * second);
    }
    if (code == CORE_MSG_ROM_PATH) {
        char* buffer = static_cast<char*>(first);
        text = buffer;
        test.romBufferTextLength = strnlen(buffer, CORE_PATH_BUFFER_SIZE);
        const std::string path = test.romFolder + (test.romFile.empty() ? text : test.romFile);
        std::memcpy(buffer, path.c_str(), path.size() + 1);
    }
    if (code == CORE_MSG_WAV_PATH || code == CORE_MSG_EXPORT_PATH)
        std::memcpy(first, test.wavPath.c_str(), test.wavPath.size() + 1);
    test.messages.push_back({code, text, second});
    return code == CORE_MSG_ROM_PATH ? test.romAnswer : 0;
}

std::vector<int> SoundCoreTest::Codes() const {
    std::vector<int> codes;
    for (const Message& m : messages)
        if (m.code != CORE_MSG_LEVELS) codes.push_back(m.code);
    return codes;
}

std::vector<int> SoundCoreTest::TakeCodes() {
    std::vector<int> codes = Codes();
    messages.clear();
    return codes;
}

int SoundCoreTest::Count(int code) const {
    int count = 0;
    for (const Message& m : messages)
        count += m.code == code;
    return count;
}

const Message* SoundCoreTest::Last(int code) const {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        if (it->code == code) return &*it;
    return nullptr;
}

SoundFileContent ReadSoundFile(const std::string& path) {
    SoundFileContent content;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return content;
    content.format = info.format & SF_FORMAT_TYPEMASK;
    content.channels = info.channels;
    content.sampleRate = info.samplerate;
    content.framesInHeader = info.frames;
    std::vector<int16_t> chunk(2 * 4096);
    for (sf_count_t got; (got = sf_readf_short(file, chunk.data(), 4096)) > 0;)
        content.samples.insert(content.samples.end(), chunk.begin(), chunk.begin() + 2 * got);
    for (int kind : {SF_STR_TITLE, SF_STR_ALBUM, SF_STR_ARTIST, SF_STR_DATE, SF_STR_TRACKNUMBER}) {
        const char* text = sf_get_string(file, kind);
        content.tags += std::string(kind == SF_STR_TITLE ? "" : "|") + (text ? text : "");
    }
    sf_close(file);
    return content;
}

namespace {

// Little-endian numbers and floats, and names in fields of a fixed width.
void Put16(Bytes& out, int value) {
    out.insert(out.end(), {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
}
void PutFloat(Bytes& out, float value) {
    uint8_t bytes[4];
    std::memcpy(bytes, &value, 4);
    out.insert(out.end(), bytes, bytes + 4);
}
void PutName(Bytes& out, const std::string& name, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

} // namespace

// An AdLib Visual Composer song (version 0.4, nine melodic voices): four
// notes of 16 ticks on the first voice, at 4 ticks a beat and 120 beats a
// minute (8 s), each voice playing the bank's "piano1".
Bytes RolSong() {
    Bytes rol;
    Put16(rol, 0);
    Put16(rol, 4);
    PutName(rol, "", 40);
    for (int field : {4, 4, 10, 10})
        Put16(rol, field);
    rol.insert(rol.end(), {0, 1}); // melodic
    PutName(rol, "", 90 + 38 + 15);
    PutFloat(rol, 120.0f);
    Put16(rol, 1); // one tempo event: as it is
    Put16(rol, 0);
    PutFloat(rol, 1.0f);
    for (int voice = 0; voice < 9; ++voice) {
        PutName(rol, "", 15);
        Put16(rol, voice == 0 ? 64 : 0);
        for (int note = 0; voice == 0 && note < 4; ++note) {
            Put16(rol, 60 + 2 * note);
            Put16(rol, 16);
        }
        PutName(rol, "", 15);
        Put16(rol, 1);
        Put16(rol, 0);
        PutName(rol, "piano1", 9);
        rol.push_back(0);
        Put16(rol, 0);
        for (int track = 0; track < 2; ++track) { // volume, then pitch: as they are
            PutName(rol, "", 15);
            Put16(rol, 1);
            Put16(rol, 0);
            PutFloat(rol, 1.0f);
        }
    }
    return rol;
}

// Its bank: one instrument, "piano1", a plain FM tone.
Bytes StandardBank() {
    Bytes bank = {1, 0, 'A', 'D', 'L', 'I', 'B', '-'};
    Put16(bank, 1);
    Put16(bank, 1);
    for (int offset : {28, 40}) { // the names, then the instruments' data
        Put16(bank, offset);
        Put16(bank, 0);
    }
    PutName(bank, "", 8);
    Put16(bank, 0);
    bank.push_back(1);
    PutName(bank, "piano1", 9);
    bank.insert(bank.end(), {0, 0, 0, 1,  0, 15, 0, 1, 4, 4, 20, 0, 0, 0, 0,   // modulator
                             0, 1, 0, 15, 0, 1,  4, 4, 0, 0, 0,  0, 0, 0, 0}); // carrier, waves
    return bank;
}

} // namespace tarvo::test
