// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/VgmEngine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace tarvocore {

namespace {

constexpr uint8_t kEndOfSound = 0x66;
constexpr uint8_t kDataBlock = 0x67;
// Commands run without a wait between them before the stream is taken as
// stuck (a loop that never waits would hold the emulator for ever).
constexpr long kMostCommandsWithoutWait = 1 << 20;
// The stream runs on this many frames at a time, then the resamplers take
// what the chips made.
constexpr long kStreamChunkFrames = 1024;

// Each chip's next sample, left and right, at the engine's levels: a full
// FM carrier 8192, a full PCM channel at full volume about as loud, an ADPCM
// voice at full scale 8192.
template <typename Chip> void Stereo(Chip& chip, float scale, float& left, float& right) {
    int sampleLeft = 0, sampleRight = 0;
    chip.NextSample(sampleLeft, sampleRight);
    left = static_cast<float>(sampleLeft) * scale;
    right = static_cast<float>(sampleRight) * scale;
}
// A stereo chip at its own level (the YM2151, YM2610, YM2612, Y8950, SN76489
// and K053260); the overloads below are the chips that differ.
template <typename Chip> void SampleOf(Chip& chip, float& left, float& right) {
    Stereo(chip, 1.0f, left, right);
}
void SampleOf(CSegaPcm& chip, float& left, float& right) {
    Stereo(chip, 0.5f, left, right);
}
// The OPL emulator's full carrier is 4085: brought to the others' 8192.
void SampleOf(COplChip& chip, float& left, float& right) {
    Stereo(chip, 2.0f, left, right);
}
void SampleOf(CYm2203& chip, float& left, float& right) {
    left = right = static_cast<float>(chip.NextSample());
}
void SampleOf(COkim6295& chip, float& left, float& right) {
    left = right = static_cast<float>(chip.NextSample()) * 4.0f;
}
void SampleOf(CUpd7759& chip, float& left, float& right) {
    left = right = static_cast<float>(chip.NextSample());
}
void SampleOf(CAy8910& chip, float& left, float& right) {
    left = right = static_cast<float>(chip.NextSample());
}

// The voices a chip lists, in groups of a kind.
struct VoiceGroup {
    const char* word;
    int first;
    int count;
};
std::vector<VoiceGroup> VoiceGroupsOf(const CYm2151&) {
    return {{"channel", 0, CYm2151::kChannels}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CSegaPcm&) {
    return {{"channel", 0, CSegaPcm::kChannels}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CYm2203&) {
    return {{"FM", 0, CYm2203::kFmChannels}, {"SSG", CYm2203::kFmChannels, CYm2203::kSsgChannels}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const COkim6295&) {
    return {{"voice", 0, COkim6295::kVoices}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CK053260&) {
    return {{"voice", 0, CK053260::kVoices}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CC140&) {
    return {{"voice", 0, CC140::kVoices}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CUpd7759&) {
    return {{"voice", 0, 1}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CAy8910&) {
    return {{"channel", 0, CAy8910::kChannels}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CSn76489&) {
    return {{"square", 0, 3}, {"noise", 3, 1}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CYm2612&) {
    return {{"channel", 0, CYm2612::kChannels}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CYm2610& chip) {
    const int fm = chip.FmChannels();
    return {{"FM", 0, fm},
            {"SSG", fm, CYm2610::kSsgChannels},
            {"ADPCM-A", fm + CYm2610::kSsgChannels, CYm2610::kAdpcmAChannels},
            {"ADPCM-B", fm + CYm2610::kSsgChannels + CYm2610::kAdpcmAChannels, 1}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const CY8950&) {
    return {{"channel", 0, CY8950::kFmChannels}, {"ADPCM", CY8950::kFmChannels, 1}};
}
std::vector<VoiceGroup> VoiceGroupsOf(const COplChip& chip) {
    return {{"channel", 0, chip.Channels()}};
}

} // namespace

bool CVgmEngine::Plays(const Bytes& data) {
    const VgmLayout layout = ReadVgmLayout(data);
    for (const VgmChip& chip : kArcadeChips)
        if (ArcadeChipClock(data, layout, chip)) return true;
    return false;
}

// A chip's clock within what boards used, so no file makes a chip run
// millions of samples for each one heard.
uint32_t CVgmEngine::ChipClock(const VgmChip& chip) const {
    return std::clamp<uint32_t>(ArcadeChipClock(m_data, m_layout, chip) & kClockMask, chip.minClock,
                                chip.maxClock);
}

bool CVgmEngine::Open(const Bytes& data, const Bytes&, std::string& error) {
    if (!Plays(data)) {
        error = "it is not a VGM file for the arcade chips";
        return false;
    }
    error = UnplayedChipVariant(data, ReadVgmLayout(data));
    if (!error.empty()) return false;
    m_data = data;
    m_layout = ReadVgmLayout(m_data);
    const uint32_t loopField = Le32(m_data, 0x1C);
    const size_t loop = loopField ? 0x1C + static_cast<size_t>(loopField) : 0;
    m_loop = loop >= m_layout.dataStart && loop < m_layout.end ? loop : 0;
    m_totalSamples = static_cast<long>(std::min<uint32_t>(Le32(m_data, 0x18), 0x7FFFFFFF));
    m_loopSamples =
        m_loop ? static_cast<long>(std::min<uint32_t>(Le32(m_data, 0x20), 0x7FFFFFFF)) : 0;
    const auto count = [this](const VgmChip& chip) {
        const uint32_t clock = ArcadeChipClock(m_data, m_layout, chip);
        return clock == 0 ? 0 : (clock & kSecondChipBit) ? 2 : 1;
    };
    m_playing.clear();
    size_t first = 0;
    m_chips.ForEach([&](auto& pair) {
        pair.count = count(*pair.kind);
        pair.chips.assign(static_cast<size_t>(pair.count), {});
        pair.firstResampler = first;
        for (int i = 0; i < pair.count; ++i)
            m_playing.push_back(first + static_cast<size_t>(i));
        first += 2;
    });
    for (auto [pair, kind] : {std::pair{&m_chips.ym3812, COplChip::Kind::Opl2},
                              std::pair{&m_chips.ym3526, COplChip::Kind::Opl},
                              std::pair{&m_chips.ymf262, COplChip::Kind::Opl3}})
        for (COplChip& chip : pair->chips)
            chip.SetKind(kind);
    const bool modelB = (ArcadeChipClock(m_data, m_layout, kYm2610Chip) & kYm2610BBit) != 0;
    for (CYm2610& chip : m_chips.ym2610.chips)
        chip.SetModelB(modelB);
    const bool system21 = C140Type(m_data, m_layout) == 1;
    for (CC140& chip : m_chips.c140.chips)
        chip.SetBanking(system21 ? CC140::Banking::System21 : CC140::Banking::System2);
    const bool slave = (ArcadeChipClock(m_data, m_layout, kUpd7759Chip) & kUpd7759SlaveBit) != 0;
    for (CUpd7759& chip : m_chips.upd7759.chips)
        chip.SetSlaveMode(slave);
    return true;
}

size_t CVgmEngine::StateBytes() const {
    size_t bytes = sizeof(KeptState);
    m_chips.ForEach(
        [&bytes](const auto& pair) { bytes += pair.chips.size() * sizeof(pair.chips[0]); });
    return bytes;
}

size_t CVgmEngine::MostKeptStates() const {
    return std::clamp<size_t>(kMostKeptBytes / StateBytes(), kFewestKeptStates, kMostKeptStates);
}

MusicInfo CVgmEngine::Info() {
    MusicInfo music;
    std::vector<std::string> chips;
    m_chips.ForEach([this, &chips](auto& pair) {
        if (pair.count)
            chips.push_back(
                ArcadeChipName(*pair.kind, ArcadeChipClock(m_data, m_layout, *pair.kind)));
    });
    music.system = "Arcade board (";
    for (size_t i = 0; i < chips.size(); ++i)
        music.system += (i ? " + " : "") + chips[i];
    music.system += ")";
    // The GD3 tags are read on the program's side, as for every VGM.
    TuneInfo tune;
    const long intro = std::max(m_totalSamples - m_loopSamples, 0L);
    if (m_loopSamples > 0) {
        tune.introMs = static_cast<int>(intro * 1000 / 44100);
        tune.loopMs = static_cast<int>(m_loopSamples * 1000 / 44100);
        tune.lengthMs = tune.introMs + 2 * tune.loopMs;
    } else if (m_totalSamples > 0) {
        tune.lengthMs = static_cast<int>(m_totalSamples * 1000 / 44100);
    }
    music.tunes.push_back(tune);
    return music;
}

bool CVgmEngine::Start(int track, std::string& error) {
    if (track != 0) {
        error = "it has no track " + std::to_string(track);
        return false;
    }
    m_at = m_layout.dataStart;
    m_wait = 0;
    m_ended = false;
    m_streamFrame = 0;
    m_playedFrames = 0;
    m_drained = false;
    m_kept.clear();
    m_keepEvery = kKeepEveryFrames;
    m_nextKeep = 0;
    m_chips.ForEach([this](auto& pair) { StartChips(pair); });
    for (CSegaPcm& pcm : m_chips.segaPcm.chips)
        pcm.SetInterface(m_layout.dataStart >= 0x40 ? Le32(m_data, 0x3C) : 0);
    const bool pin7High = (ArcadeChipClock(m_data, m_layout, kOkim6295Chip) & 0x80000000u) != 0;
    // Before 1.10 the header does not say: Sega's 16-bit register, taps 0x0009.
    const bool noiseGiven = m_layout.version >= 0x110 && m_layout.dataStart > 0x2B;
    const CSn76489::Noise noise{noiseGiven && m_data[0x2A] ? m_data[0x2A] : 16,
                                noiseGiven ? (m_data[0x28] | m_data[0x29] << 8u) : 0x0009u};
    for (CSn76489& sn : m_chips.sn76489.chips)
        sn.SetNoise(noise);
    for (COkim6295& oki : m_chips.oki.chips) {
        oki.SetPin7High(pin7High);
        oki.SetBank(0);
    }
    for (CChipResampler& resampler : m_resamplers)
        resampler.Clear();
    m_chips.ForEach([this](auto& pair) { StartResamplers(pair); });
    return true;
}

template <typename Chip> void CVgmEngine::StartChips(Pair<Chip>& pair) {
    for (size_t i = 0; i < pair.chips.size(); ++i) {
        pair.chips[i].Reset();
        pair.chips[i].SetClock(ChipClock(*pair.kind));
        pair.rate[i] = 0;
    }
}

template <typename Chip> void CVgmEngine::StartResamplers(Pair<Chip>& pair) {
    for (size_t i = 0; i < static_cast<size_t>(pair.count); ++i)
        SetRate(pair, i);
}

// Gone back to a kept state: the resamplers start again, empty, at its frame.
template <typename Chip> void CVgmEngine::RestartResamplers(Pair<Chip>& pair) {
    for (size_t i = 0; i < static_cast<size_t>(pair.count); ++i) {
        CChipResampler& resampler = m_resamplers[pair.firstResampler + i];
        resampler.Clear();
        resampler.Start(pair.rate[i], m_streamFrame);
    }
}

// The sound made at the old rate comes out whole first. A chip's rate
// rounded to whole hertz puts its samples on the output's frames at every
// whole second, where states are kept.
template <typename Chip> void CVgmEngine::SetRate(Pair<Chip>& pair, size_t chip) {
    const int rate = std::max(1, static_cast<int>(std::lround(pair.chips[chip].Rate())));
    if (rate == pair.rate[chip]) return;
    pair.rate[chip] = rate;
    pair.rateFrom[chip] = m_streamFrame;
    CChipResampler& resampler = m_resamplers[pair.firstResampler + chip];
    resampler.Finish(m_streamFrame);
    resampler.Start(rate, m_streamFrame);
}

void CVgmEngine::RunUntilWait() {
    for (long commands = 0; m_wait == 0 && !m_ended; ++commands) {
        if (commands > kMostCommandsWithoutWait || !Command()) m_ended = true;
    }
}

bool CVgmEngine::Command() {
    if (m_at >= m_layout.end) {
        if (!m_loop) return false;
        m_at = m_loop;
    }
    const uint8_t command = m_data[m_at];
    if (command == kEndOfSound) {
        if (!m_loop) return false;
        m_at = m_loop;
        return true;
    }
    if (command == kDataBlock) {
        if (m_at + 7 > m_layout.end) return false;
        const size_t size = Le32(m_data, m_at + 3) & 0x7FFFFFFF;
        if (size > m_layout.end - m_at - 7) return false;
        DataBlock(m_data[m_at + 2], m_at + 7, Le32(m_data, m_at + 3));
        m_at += 7 + size;
        return true;
    }
    const size_t length = VgmCommandLength(command);
    if (length == 0 || m_at + length > m_layout.end) return false;
    // A one-byte command may be the stream's last byte: its arguments then
    // point at the end, never read.
    const uint8_t* arguments = m_data.data() + m_at + 1;
    if (command == 0x61) m_wait = arguments[0] | arguments[1] << 8;
    if (command == 0x62) m_wait = 735;
    if (command == 0x63) m_wait = 882;
    if (command >= 0x70 && command <= 0x7F) m_wait = command - 0x6F;
    if (command >= 0x80 && command <= 0x8F) { // a DAC byte from the PCM bank, then a wait
        if (m_chips.ym2612.count > 0) m_chips.ym2612.chips[0].PlayPcmByte();
        m_wait = command - 0x80;
    }
    if (length > 1) ChipCommand(command, arguments, length - 1);
    m_at += length;
    return true;
}

// The OKIM6295's registers as the format gives them: 0 the chip's own port,
// 8 to 11 its clock, 12 its seventh pin, 15 the ROM bank. The top bit of the
// register picks the second chip.
void CVgmEngine::OkiWrite(uint8_t reg, uint8_t value) {
    const int chip = reg >> 7;
    if (chip >= m_chips.oki.count) return;
    COkim6295& oki = m_chips.oki.chips[static_cast<size_t>(chip)];
    switch (reg & 0x7F) {
    case 0x00:
        oki.Write(value);
        break;
    case 0x0C:
        oki.SetPin7High(value != 0);
        SetRate(m_chips.oki, static_cast<size_t>(chip));
        break;
    case 0x0F:
        oki.SetBank(value);
        break;
    default:
        break;
    }
}

// Each chip of a kind clocked for one frame of the stream: the samples that
// fall in it at the chip's rate, to its resampler.
template <typename Chip> void CVgmEngine::ClockPair(Pair<Chip>& pair) {
    for (size_t i = 0; i < static_cast<size_t>(pair.count); ++i) {
        const auto samplesBefore = [&](long frame) {
            return (frame - pair.rateFrom[i]) * static_cast<long>(pair.rate[i]) / 44100;
        };
        const long due = samplesBefore(m_streamFrame + 1) - samplesBefore(m_streamFrame);
        std::vector<float>& input = m_resamplers[pair.firstResampler + i].Input();
        for (long n = 0; n < due; ++n) {
            float left = 0, right = 0;
            SampleOf(pair.chips[i], left, right);
            input.push_back(left);
            input.push_back(right);
        }
    }
}

void CVgmEngine::ClockChips() {
    m_chips.ForEach([this](auto& pair) { ClockPair(pair); });
}

void CVgmEngine::RunStream(long frames) {
    for (long i = 0; i < frames && !m_ended; ++i) {
        if (m_streamFrame >= m_nextKeep) KeepState();
        RunUntilWait();
        if (m_ended) break;
        ClockChips();
        --m_wait;
        ++m_streamFrame;
    }
    for (size_t resampler : m_playing) {
        if (m_ended)
            m_resamplers[resampler].Finish(m_streamFrame);
        else
            m_resamplers[resampler].Process();
    }
    m_drained = m_ended;
}

size_t CVgmEngine::ReadyFrames() const {
    size_t ready = m_playing.empty() ? 0 : SIZE_MAX;
    for (size_t resampler : m_playing)
        ready = std::min(ready, m_resamplers[resampler].Ready());
    return ready;
}

void CVgmEngine::MixFrames(int16_t* frames, int frameCount) {
    const auto volume = static_cast<float>(m_layout.volume);
    for (int i = 0; i < frameCount; ++i) {
        float left = 0, right = 0;
        for (size_t resampler : m_playing) {
            const float* sound = m_resamplers[resampler].Frames() + 2 * i;
            left += sound[0];
            right += sound[1];
        }
        left *= volume;
        right *= volume;
        frames[2 * i] = static_cast<int16_t>(std::clamp(std::lround(left), -32768L, 32767L));
        frames[2 * i + 1] = static_cast<int16_t>(std::clamp(std::lround(right), -32768L, 32767L));
    }
    for (size_t resampler : m_playing)
        m_resamplers[resampler].Take(static_cast<size_t>(frameCount));
}

bool CVgmEngine::Render(int16_t* frames, int frameCount) {
    int given = 0;
    while (given < frameCount && !m_playing.empty()) {
        const size_t ready = ReadyFrames();
        if (ready == 0) {
            if (m_drained) break;
            RunStream(kStreamChunkFrames);
            continue;
        }
        const int now = static_cast<int>(std::min<size_t>(ready, frameCount - given));
        MixFrames(frames + 2 * given, now);
        given += now;
    }
    m_playedFrames += given;
    std::fill(frames + 2 * given, frames + 2 * frameCount, int16_t{0});
    return given > 0 || given == frameCount;
}

void CVgmEngine::KeepState() {
    if (m_kept.size() >= MostKeptStates()) {
        std::vector<KeptState> fewer;
        for (size_t i = 0; i < m_kept.size(); i += 2)
            fewer.push_back(std::move(m_kept[i]));
        m_kept = std::move(fewer);
        m_keepEvery *= 2;
    }
    m_kept.push_back({m_streamFrame, m_at, m_wait, m_ended, m_chips});
    m_nextKeep = m_streamFrame + m_keepEvery;
}

void CVgmEngine::RestoreStateBefore(long frame) {
    const long from = std::max(frame - kWarmUpFrames, 0L);
    const auto after = std::upper_bound(m_kept.begin(), m_kept.end(), from,
                                        [](long f, const KeptState& s) { return f < s.frame; });
    if (after == m_kept.begin()) return;
    const KeptState& state = *std::prev(after);
    m_streamFrame = m_playedFrames = state.frame;
    m_at = state.at;
    m_wait = state.wait;
    m_ended = state.ended;
    m_drained = false;
    m_chips = state.chips;
    MuteVoices(m_muted);
    m_chips.ForEach([this](auto& pair) { RestartResamplers(pair); });
    m_nextKeep = m_kept.back().frame + m_keepEvery; // the states after it are kept already
}

// The chips' state rests on every sample played: the way is played unheard,
// from the nearest state kept before the place when it lies behind.
bool CVgmEngine::Seek(int ms, const SeekGivenUp& givenUp) {
    const long target = static_cast<long>(std::max(ms, 0)) * 44100 / 1000;
    if (target < m_playedFrames) RestoreStateBefore(target);
    return PlayUnheardTo(*this, 0, m_playedFrames, ms, givenUp) || m_ended;
}

// Each kind's voices, chip by chip within each group (a YM2203's FM
// channels, then its SSG's), each named by its chip when there are two.
template <typename Visit> void CVgmEngine::ForEachVoice(Visit&& visit) {
    m_chips.ForEach([&visit](auto& pair) {
        if (pair.chips.empty()) return;
        for (const VoiceGroup& group : VoiceGroupsOf(pair.chips[0]))
            for (int c = 0; c < pair.count; ++c)
                for (int v = 0; v < group.count; ++v) {
                    const std::string chip = pair.count > 1 ? " " + std::to_string(c + 1) : "";
                    visit(pair.chips[static_cast<size_t>(c)], group.first + v,
                          pair.kind->name + chip + " " + group.word + " " + std::to_string(v + 1));
                }
    });
}

std::vector<std::string> CVgmEngine::Voices() {
    std::vector<std::string> voices;
    ForEachVoice([&voices](auto&, int, std::string name) { voices.push_back(std::move(name)); });
    return voices;
}

void CVgmEngine::MuteVoices(const std::vector<bool>& muted) {
    m_muted = muted;
    size_t voice = 0;
    ForEachVoice([&](auto& chip, int channel, const std::string&) {
        chip.Mute(channel, voice < muted.size() && muted[voice]);
        ++voice;
    });
}

} // namespace tarvocore
