// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/VgmValidator.h"

#include "common/VgmLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>
#include <zlib.h>

namespace tarvocore {

namespace {

constexpr size_t kHeaderMinimum = 0x40;
// The clocks libgme renders correctly: real chips run at 3.5 to 8 MHz, and
// above about 10 MHz libgme's SN76489 overruns its own sample buffer.
constexpr uint32_t kMinClock = 500000;
constexpr uint32_t kMaxSnClock = 8000000;
constexpr uint32_t kMaxYm2612Clock = 10000000;
// A loop whose waits average under this many samples over so many of them
// would keep libgme busier than real time.
constexpr double kMinAverageWait = 2.0;
constexpr int kDenseLoopWaits = 10000;
constexpr uint8_t kEndOfSound = 0x66;

void PutLe32(Bytes& data, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Clock fields of chips libgme does not emulate, from the later header versions.
struct ChipClock {
    size_t offset;
    const char* name;
};
constexpr ChipClock kForeignChips[] = {
    {0x30, "YM2151"},       {0x38, "SegaPCM"},  {0x40, "RF5C68"},     {0x44, "YM2203"},
    {0x48, "YM2608"},       {0x4C, "YM2610"},   {0x50, "YM3812"},     {0x54, "YM3526"},
    {0x58, "Y8950"},        {0x5C, "YMF262"},   {0x60, "YMF278B"},    {0x64, "YMF271"},
    {0x68, "YMZ280B"},      {0x6C, "RF5C164"},  {0x70, "PWM"},        {0x74, "AY8910"},
    {0x80, "Game Boy DMG"}, {0x84, "NES APU"},  {0x88, "MultiPCM"},   {0x8C, "uPD7759"},
    {0x90, "OKIM6258"},     {0x98, "OKIM6295"}, {0x9C, "K051649"},    {0xA0, "K054539"},
    {0xA4, "HuC6280"},      {0xA8, "C140"},     {0xAC, "K053260"},    {0xB0, "Pokey"},
    {0xB4, "QSound"},       {0xB8, "SCSP"},     {0xC0, "WonderSwan"}, {0xC4, "VSU"},
    {0xC8, "SAA1099"},      {0xCC, "ES5503"},   {0xD0, "ES5506"},     {0xD8, "X1-010"},
    {0xDC, "C352"},         {0xE0, "GA20"},
};

// "3.58 MHz"; a slower clock (the C140's is its sample rate) "21.39 kHz".
std::string ClockText(uint32_t clock) {
    char text[32];
    if (clock >= 1000000)
        std::snprintf(text, sizeof text, "%.2f MHz", clock / 1e6);
    else
        std::snprintf(text, sizeof text, "%.4g kHz", clock / 1e3);
    return text;
}

struct Header {
    uint32_t version = 0;
    size_t dataStart = 0;
    size_t end = 0;
    uint32_t snClock = 0;
    uint32_t ym2612Clock = 0;
    size_t loopStart = 0; // 0: no loop
    size_t gd3Start = 0;  // 0: no valid tag block
    size_t gd3Size = 0;
    std::string arcadeChips; // "SegaPCM 4.00 MHz, ..." for this core's own engine
};

bool IsArcadeChip(size_t clockOffset) {
    for (const VgmChip& chip : kArcadeChips)
        if (chip.clockOffset == clockOffset) return true;
    return false;
}

// Reads a header field only when it lies inside the header this version has.
uint32_t Field(const Bytes& data, const Header& h, size_t offset) {
    return offset + 4 <= h.dataStart ? Le32(data, offset) : 0;
}

std::string ReadHeader(const Bytes& data, Header& h) {
    if (data.size() < kHeaderMinimum || std::memcmp(data.data(), "Vgm ", 4) != 0)
        return "not a VGM file";
    h.version = Le32(data, 0x08);
    const size_t eof = static_cast<size_t>(Le32(data, 0x04)) + 4;
    h.end = eof >= kHeaderMinimum && eof < data.size() ? eof : data.size();
    const uint32_t dataOffset = h.version >= 0x150 ? Le32(data, 0x34) : 0;
    h.dataStart = dataOffset ? 0x34 + static_cast<size_t>(dataOffset) : kHeaderMinimum;
    if (h.dataStart < kHeaderMinimum || h.dataStart >= h.end)
        return "its header points outside the file";

    h.snClock = Le32(data, 0x0C) & 0x3FFFFFFF;
    const VgmLayout layout = ReadVgmLayout(data);
    const auto take = [&](const VgmChip& chip) -> std::string {
        const uint32_t clock = ArcadeChipClock(data, layout, chip) & kClockMask;
        if (clock == 0) return {};
        if (clock < chip.minClock || clock > chip.maxClock)
            return "a chip clock of " + std::to_string(clock) + " Hz is out of range";
        h.arcadeChips += (h.arcadeChips.empty() ? "" : ", ") +
                         ArcadeChipName(chip, ArcadeChipClock(data, layout, chip)) + " " +
                         ClockText(clock);
        return {};
    };
    for (const VgmChip& chip : kArcadeChips)
        if (std::string problem = take(chip); !problem.empty()) return problem;
    // Beside an arcade chip the engine plays these too.
    for (const VgmChip& chip : kCompanionChips)
        if (std::string problem = h.arcadeChips.empty() ? "" : take(chip); !problem.empty())
            return problem;
    if (std::string problem = UnplayedChipVariant(data, layout); !problem.empty()) return problem;
    // Before 1.10 the YM2151 shares this clock; the arcade engine has it then.
    const bool sharedWithYm2151 = h.version < 0x110 && !h.arcadeChips.empty();
    if (Le32(data, 0x10) != 0 && !sharedWithYm2151)
        return "it needs the YM2413 sound chip, which this core does not emulate";
    // libgme reads the YM2612 clock at 0x2C whatever the header's version.
    h.ym2612Clock = Field(data, h, 0x2C) & 0x3FFFFFFF;
    if (h.version >= 0x110 && h.dataStart > 0x2A && data[0x2A] > 16)
        return "its noise register width of " + std::to_string(data[0x2A]) + " bits is impossible";
    for (const ChipClock& chip : kForeignChips)
        if (h.version >= 0x110 && (Field(data, h, chip.offset) & kClockMask) != 0 &&
            !IsArcadeChip(chip.offset))
            return std::string("it needs the ") + chip.name +
                   " sound chip, which this core does not emulate";
    // The arcade engine plays its own chips (the SN76489 and YM2612 beside
    // them), and libgme the consoles'.
    if (!h.arcadeChips.empty()) return {};
    if (!h.snClock && !h.ym2612Clock) return "it uses no sound chip this core emulates";
    for (auto [clock, limit] :
         {std::pair{h.snClock, kMaxSnClock}, {h.ym2612Clock, kMaxYm2612Clock}})
        if (clock && (clock < kMinClock || clock > limit))
            return "a chip clock of " + std::to_string(clock) + " Hz is out of range";

    const uint32_t loop = Le32(data, 0x1C);
    h.loopStart = loop ? 0x1C + static_cast<size_t>(loop) : 0;

    const uint32_t gd3 = Le32(data, 0x14);
    const size_t gd3At = gd3 ? 0x14 + static_cast<size_t>(gd3) : 0;
    if (gd3At && gd3At + 12 <= data.size() && std::memcmp(&data[gd3At], "Gd3 ", 4) == 0) {
        const size_t length = Le32(data, gd3At + 8);
        if (length <= data.size() - gd3At - 12) {
            h.gd3Start = gd3At;
            h.gd3Size = 12 + length;
        }
    }
    return {};
}

// Length of the command at `at`, 0 for a command libgme cannot play.
size_t CommandLength(uint8_t command) {
    if (command == 0x4F || command == 0x50) return 2;
    if (command == 0x52 || command == 0x53) return 3; // YM2612 ports 0 and 1
    if (command == 0x61) return 3;
    if (command == 0x62 || command == 0x63 || command == kEndOfSound) return 1;
    if (command >= 0x70 && command <= 0x8F) return 1;
    if (command == 0xE0) return 5;
    // The DAC streams of VGM 1.60: set up, data, frequency, start, stop, start a block.
    static constexpr size_t kStreamCommand[] = {5, 5, 6, 11, 2, 5};
    if (command >= 0x90 && command <= 0x95) return kStreamCommand[command - 0x90];
    return 0;
}

const char* ForeignCommandChip(uint8_t command) {
    switch (command) {
    case 0x51:
        return "YM2413";
    case 0x54:
        return "YM2151";
    case 0x55:
        return "YM2203";
    case 0x56:
    case 0x57:
        return "YM2608";
    case 0x58:
    case 0x59:
        return "YM2610";
    case 0x5A:
        return "YM3812";
    case 0xA0:
        return "AY8910";
    case 0xB3:
        return "Game Boy DMG";
    case 0xB4:
        return "NES APU";
    default:
        return nullptr;
    }
}

// The samples a command waits; 0 for a command that does not wait.
long WaitOf(const Bytes& data, size_t at) {
    const uint8_t command = data[at];
    if (command == 0x61) return data[at + 1] | data[at + 2] << 8;
    if (command == 0x62) return 735;
    if (command == 0x63) return 882;
    if (command >= 0x70 && command <= 0x7F) return command - 0x6F;
    if (command >= 0x80 && command <= 0x8F) return command - 0x80;
    return 0;
}

// The chip a command writes to, which the header must give a clock.
const char* ChipOfCommand(uint8_t command, bool& sn) {
    sn = command == 0x4F || command == 0x50;
    if (sn) return "SN76489";
    if (command == 0x52 || command == 0x53 || command == 0xE0 ||
        (command >= 0x80 && command <= 0x8F))
        return "YM2612";
    return nullptr;
}

struct PcmState {
    bool haveBank = false;
    size_t bankSize = 0;
    size_t position = 0;
    bool seekedInLoop = false;
    // The data blocks by type, each block's size; the DAC streams set up,
    // with the type of the data each plays (-1 for none yet) and its step.
    std::map<uint8_t, std::vector<size_t>> blocks;
    std::map<uint8_t, std::pair<int, size_t>> streams;
};

size_t TotalOf(const std::vector<size_t>& sizes) {
    size_t total = 0;
    for (size_t size : sizes)
        total += size;
    return total;
}

// A DAC stream command (0x90 to 0x95): its stream set up before use, its
// chip one the header clocks, its data blocks there and its reads within them.
// libgme leaves the streams out and plays the rest.
std::string CheckStream(const Bytes& data, size_t at, const Header& h, PcmState& pcm) {
    const uint8_t command = data[at];
    const uint8_t stream = data[at + 1];
    if (command == 0x90) {
        const uint8_t chip = data[at + 2] & 0x7F;
        if (stream == 0xFF || (chip != 0x00 && chip != 0x02) ||
            !(chip == 0x00 ? h.snClock : h.ym2612Clock))
            return "a DAC stream is set up for a chip the file does not clock";
        pcm.streams[stream] = {-1, 1};
        return {};
    }
    if (command == 0x94 && stream == 0xFF) return {}; // every stream stops
    const auto it = pcm.streams.find(stream);
    if (it == pcm.streams.end()) return "a DAC stream is used before it is set up";
    auto& [type, step] = it->second;
    if (command == 0x91) {
        if (!pcm.blocks.count(data[at + 2])) return "a DAC stream plays data the file lacks";
        type = data[at + 2];
        step = std::max<size_t>(data[at + 3], 1);
        return {};
    }
    if (command != 0x93 && command != 0x95) return {};
    if (type < 0) return "a DAC stream starts without its data";
    const std::vector<size_t>& sizes = pcm.blocks[static_cast<uint8_t>(type)];
    if (command == 0x95)
        return data[at + 2] + 256u * data[at + 3] < sizes.size()
                   ? ""
                   : "a DAC stream starts a data block the file lacks";
    const uint32_t start = Le32(data, at + 2);
    const uint32_t length = Le32(data, at + 7);
    const size_t total = TotalOf(sizes);
    if (start != 0xFFFFFFFF && start > total) return "a DAC stream starts past its data";
    const size_t from = start == 0xFFFFFFFF ? 0 : start;
    if ((data[at + 6] & 0x03) == 1 && static_cast<uint64_t>(length) * step > total - from)
        return "a DAC stream plays past its data";
    return {};
}

// Walks the whole command stream once: every command complete and known,
// every PCM read inside the data bank. Returns where the stream ends.
std::string WalkCommands(const Bytes& data, const Header& h, size_t& streamEnd, bool& terminated) {
    PcmState pcm;
    bool loopStartIsCommand = h.loopStart == 0;
    long loopWaits = 0, loopSamples = 0; // a loop without waits would spin the emulator for ever
    size_t at = h.dataStart;
    terminated = false;
    while (at < h.end) {
        if (at == h.loopStart) loopStartIsCommand = true;
        const bool inLoop = h.loopStart && at >= h.loopStart;
        const uint8_t command = data[at];
        if (command == 0x67) {
            if (at + 7 > h.end || data[at + 1] != kEndOfSound) return "a data block is truncated";
            const size_t size = Le32(data, at + 3) & 0x7FFFFFFF;
            if (size > h.end - at - 7) return "a data block runs past the end of the file";
            // libgme reads past its copy when it meets the block again.
            if (inLoop) return "a PCM data block lies inside its loop";
            if (data[at + 2] == 0x00) {
                pcm.haveBank = true;
                pcm.bankSize = size;
            }
            pcm.blocks[data[at + 2]].push_back(size);
            at += 7 + size;
            continue;
        }
        const size_t length = CommandLength(command);
        if (length == 0) {
            if (const char* chip = ForeignCommandChip(command))
                return std::string("it needs the ") + chip +
                       " sound chip, which this core does not emulate";
            char text[64];
            std::snprintf(text, sizeof text, "it holds an unknown command 0x%02X", command);
            return text;
        }
        if (at + length > h.end) return "its last command is truncated";
        bool sn = false;
        if (const char* chip = ChipOfCommand(command, sn);
            chip && !(sn ? h.snClock : h.ym2612Clock))
            return std::string("it writes to the ") + chip + ", whose clock it does not give";
        if (command == kEndOfSound) {
            terminated = true;
            at += 1;
            break;
        }
        if (command >= 0x90 && command <= 0x95)
            if (std::string problem = CheckStream(data, at, h, pcm); !problem.empty())
                return problem;
        if (command == 0xE0) {
            const size_t target = Le32(data, at + 1);
            if (!pcm.haveBank || target > pcm.bankSize)
                return "a PCM seek points past the data bank";
            pcm.position = target;
            if (inLoop) pcm.seekedInLoop = true;
        } else if (command >= 0x80 && command <= 0x8F) {
            if (!pcm.haveBank || pcm.position >= pcm.bankSize)
                return "PCM playback runs past the data bank";
            // Each pass of the loop must seek first, or the position would keep growing.
            if (inLoop && !pcm.seekedInLoop) return "looped PCM playback runs past the data bank";
            ++pcm.position;
        }
        if (const long wait = inLoop ? WaitOf(data, at) : 0) {
            ++loopWaits;
            loopSamples += wait;
        }
        at += length;
    }
    streamEnd = at;
    if (loopWaits >= kDenseLoopWaits &&
        static_cast<double>(loopSamples) / static_cast<double>(loopWaits) < kMinAverageWait)
        return "its loop waits too little between commands to be played in real time";
    if (!loopStartIsCommand || (h.loopStart && loopSamples == 0))
        return "@loop"; // not fatal: the loop is dropped
    return {};
}

} // namespace

bool CVgmValidator::Inflate(const Bytes& input, Bytes& output, std::string& error) {
    if (input.size() < 2 || input[0] != 0x1F || input[1] != 0x8B) {
        output = input;
        return true;
    }
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) {
        error = "cannot inflate";
        return false;
    }
    output.assign(64 * 1024, 0);
    stream.next_in = const_cast<Bytes::value_type*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    int status = Z_OK;
    size_t produced = 0;
    while (status == Z_OK) {
        if (produced == output.size()) {
            if (output.size() >= kMaxMusicFileSize) {
                error = "it inflates to more than 16 MiB";
                break;
            }
            output.resize(std::min(output.size() * 2, kMaxMusicFileSize));
        }
        stream.next_out = output.data() + produced;
        stream.avail_out = static_cast<uInt>(output.size() - produced);
        status = inflate(&stream, Z_NO_FLUSH);
        produced = output.size() - stream.avail_out;
    }
    inflateEnd(&stream);
    if (error.empty() && status != Z_STREAM_END) error = "its compressed data is damaged";
    output.resize(produced);
    return error.empty();
}

CheckedMusic CVgmValidator::Check(const Bytes& file) {
    CheckedMusic result;
    Bytes data;
    if (!Inflate(file, data, result.error)) return result;
    Header h;
    result.error = ReadHeader(data, h);
    if (!result.ok()) return result;
    if (!h.arcadeChips.empty()) {
        // This core's own engine reads every command defensively.
        result.data = std::move(data);
        result.chipSummary = h.arcadeChips;
        return result;
    }

    size_t streamEnd = 0;
    bool terminated = false;
    std::string walk = WalkCommands(data, h, streamEnd, terminated);
    const bool dropLoop = walk == "@loop";
    if (!walk.empty() && !dropLoop) {
        result.error = walk;
        return result;
    }

    // Rebuild: header, the commands, an end command, then the tag block.
    Bytes safe(data.begin(), data.begin() + static_cast<long>(streamEnd));
    if (!terminated) safe.push_back(kEndOfSound);
    PutLe32(safe, 0x14, 0);
    if (h.gd3Start) {
        PutLe32(safe, 0x14, static_cast<uint32_t>(safe.size() - 0x14));
        safe.insert(safe.end(), data.begin() + static_cast<long>(h.gd3Start),
                    data.begin() + static_cast<long>(h.gd3Start + h.gd3Size));
    }
    if (dropLoop || h.loopStart >= streamEnd) {
        PutLe32(safe, 0x1C, 0);
        PutLe32(safe, 0x20, 0);
    }
    PutLe32(safe, 0x04, static_cast<uint32_t>(safe.size() - 4));
    result.data = std::move(safe);

    if (h.snClock) result.chipSummary = "SN76489 " + ClockText(h.snClock);
    if (h.ym2612Clock)
        result.chipSummary += (result.chipSummary.empty() ? "" : ", ") + std::string("YM2612 ") +
                              ClockText(h.ym2612Clock);
    return result;
}

} // namespace tarvocore
