// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/ArcadeBuilder.h"

#include "chips/Okim6295.h"
#include "tools/compose/VgmStream.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace compose {

namespace {

constexpr uint32_t kYm2151Clock = 3579545;
constexpr uint32_t kOkiClock = 1000000;       // 7576 samples a second, its seventh pin high
constexpr uint32_t kSegaPcmClock = 4000000;   // 31250 a second, read at half speed
constexpr double kDrumRate[] = {7576, 15625}; // Oki, SegaPcm
constexpr int kSamplesPerStepFrame = 882;     // a 50 Hz frame of the tunes' steps
constexpr double kPi = 3.14159265358979323846;

// The drums as sound, -1 to 1: a kick's falling thump and a snare's noise.
std::vector<double> Drum(bool snare, double rate) {
    std::vector<double> sound(static_cast<size_t>(rate * (snare ? 0.18 : 0.25)));
    std::minstd_rand noise(7);
    double phase = 0;
    for (size_t i = 0; i < sound.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        if (snare) {
            sound[i] = (static_cast<double>(noise() % 2001) / 1000 - 1) * std::exp(-t * 25);
        } else {
            phase += 2 * kPi * (50 + 100 * std::exp(-t * 30)) / rate;
            sound[i] = std::sin(phase) * std::exp(-t * 12);
        }
    }
    return sound;
}

// 4-bit ADPCM as the chip decodes it: each sample the nibble that lands nearest.
Bytes EncodeAdpcm(const std::vector<double>& sound) {
    tarvocore::COkim6295::Decoder decoder;
    Bytes out((sound.size() + 1) / 2, 0);
    for (size_t i = 0; i < sound.size(); ++i) {
        const int target = static_cast<int>(sound[i] * 2000);
        uint8_t best = 0;
        int bestError = 1 << 30;
        for (uint8_t nibble = 0; nibble < 16; ++nibble) {
            tarvocore::COkim6295::Decoder trial = decoder;
            const int error = std::abs(trial.Decode(nibble) - target);
            if (error < bestError) {
                bestError = error;
                best = nibble;
            }
        }
        decoder.Decode(best);
        out[i / 2] |= static_cast<uint8_t>(i % 2 ? best : best << 4);
    }
    return out;
}

// The board's header: the YM2151 and its sample chip, the SegaPCM with its
// bus interface.
VgmStream BoardStream(ArcadeBoard board) {
    if (board == ArcadeBoard::Oki)
        return VgmStream({{0x30, kYm2151Clock}, {0x98, kOkiClock | 0x80000000u}});
    return VgmStream({{0x30, kYm2151Clock}, {0x38, kSegaPcmClock}, {0x3C, 0x00F8000D}});
}

class ArcadeStream {
public:
    explicit ArcadeStream(ArcadeBoard board) : m_board(board), m_stream(BoardStream(board)) {}

    void Command(std::initializer_list<uint8_t> bytes) { m_stream.Command(bytes); }
    void Opm(uint8_t reg, uint8_t value) { Command({0x54, reg, value}); }
    void Wait(long samples) { m_stream.Wait(samples); }
    void MarkLoop() { m_stream.MarkLoop(); }
    void LoadDrums();
    void StrikeDrum(bool snare);
    // A patch on channel: two modulators and two carriers (connection 4).
    void Patch(int channel, int modulatorLevel, int multiple, int decay);
    void Note(int channel, int midi);
    void Pitch(int channel, int midi);
    void Release(int channel) { Opm(0x08, static_cast<uint8_t>(channel)); }
    Bytes Finish(const std::string& track, const std::string& game) const {
        return m_stream.Finish(track, game,
                               m_board == ArcadeBoard::Oki ? "Arcade (YM2151 + OKIM6295)"
                                                           : "Arcade (YM2151 + SegaPCM)");
    }

private:
    ArcadeBoard m_board;
    VgmStream m_stream;
    uint8_t m_drumPage[2] = {0, 0}; // SegaPCM: the first page of each drum
    uint8_t m_drumEnd[2] = {0, 0};
};

// The OKIM6295 finds its two phrases in the table at its ROM's start; the
// SegaPCM's drums lie page by page, as 8-bit samples about 0x80.
void ArcadeStream::LoadDrums() {
    const double rate = kDrumRate[m_board == ArcadeBoard::SegaPcm];
    if (m_board == ArcadeBoard::Oki) {
        Bytes rom(0x400, 0);
        for (int drum = 0; drum < 2; ++drum) {
            const Bytes phrase = EncodeAdpcm(Drum(drum == 1, rate));
            const auto start = static_cast<uint32_t>(rom.size());
            const auto end = static_cast<uint32_t>(start + phrase.size() - 1);
            const uint8_t entry[6] = {
                static_cast<uint8_t>(start >> 16), static_cast<uint8_t>(start >> 8),
                static_cast<uint8_t>(start),       static_cast<uint8_t>(end >> 16),
                static_cast<uint8_t>(end >> 8),    static_cast<uint8_t>(end)};
            std::copy(std::begin(entry), std::end(entry), rom.begin() + 8 * (drum + 1));
            rom.insert(rom.end(), phrase.begin(), phrase.end());
        }
        m_stream.Rom(0x8B, 0x40000, 0, rom);
        return;
    }
    Bytes rom;
    for (int drum = 0; drum < 2; ++drum) {
        m_drumPage[drum] = static_cast<uint8_t>(rom.size() >> 8);
        for (double sample : Drum(drum == 1, rate))
            rom.push_back(static_cast<uint8_t>(std::clamp(0x80 + sample * 120, 1.0, 255.0)));
        rom.resize((rom.size() + 0xFF) & ~size_t{0xFF}, 0x80);
        m_drumEnd[drum] = static_cast<uint8_t>((rom.size() >> 8) - 1);
    }
    m_stream.Rom(0x80, 0x10000, 0, rom);
}

void ArcadeStream::StrikeDrum(bool snare) {
    if (m_board == ArcadeBoard::Oki) {
        const uint8_t voice = snare ? 0x20 : 0x10;
        Command({0xB8, 0x00, static_cast<uint8_t>(0x08 << (snare ? 1 : 0))}); // stop it first
        Command({0xB8, 0x00, static_cast<uint8_t>(0x80 | (snare ? 2 : 1))});
        Command({0xB8, 0x00, voice});
        return;
    }
    const int drum = snare ? 1 : 0;
    const uint8_t base = static_cast<uint8_t>(8 * drum);
    for (auto [reg, value] :
         std::initializer_list<std::pair<int, uint8_t>>{{0x86, 0x03},
                                                        {0x02, 0x60},
                                                        {0x03, 0x60},
                                                        {0x06, m_drumEnd[drum]},
                                                        {0x07, 0x80},
                                                        {0x84, 0x00},
                                                        {0x85, m_drumPage[drum]},
                                                        {0x86, 0x02}})
        Command({0xC0, static_cast<uint8_t>(base + reg), 0x00, value});
}

void ArcadeStream::Patch(int channel, int modulatorLevel, int multiple, int decay) {
    const auto ch = static_cast<uint8_t>(channel);
    Opm(static_cast<uint8_t>(0x20 + ch), 0xC4 | 0x18); // both sides, feedback 3, connection 4
    for (int op = 0; op < 4; ++op) {
        const auto slot = static_cast<uint8_t>(ch + 8 * op);
        const bool carrier = op >= 2; // slots of C1 and C2
        Opm(static_cast<uint8_t>(0x40 + slot), static_cast<uint8_t>(carrier ? 1 : multiple));
        Opm(static_cast<uint8_t>(0x60 + slot), static_cast<uint8_t>(carrier ? 8 : modulatorLevel));
        Opm(static_cast<uint8_t>(0x80 + slot), 0x1F);
        Opm(static_cast<uint8_t>(0xA0 + slot), static_cast<uint8_t>(decay));
        Opm(static_cast<uint8_t>(0xC0 + slot), 0x02);
        Opm(static_cast<uint8_t>(0xE0 + slot), 0x27);
    }
}

// A MIDI note as the YM2151's key code: octave and note from C#.
void ArcadeStream::Pitch(int channel, int midi) {
    const int fromCSharp = std::max(midi - 61 + 48, 0); // C#0
    const int octave = std::min(fromCSharp / 12, 7);
    const int note = fromCSharp % 12;
    Opm(static_cast<uint8_t>(0x28 + channel),
        static_cast<uint8_t>(octave << 4 | (note + note / 3)));
}

void ArcadeStream::Note(int channel, int midi) {
    Release(channel);
    Pitch(channel, midi);
    Opm(0x08, static_cast<uint8_t>(0x78 | channel));
}

} // namespace

Bytes ToArcadeVgm(const LeadAndBass& tune, ArcadeBoard board, bool loops, const std::string& game) {
    ArcadeStream stream(board);
    stream.LoadDrums();
    stream.Patch(0, 28, 2, 4); // a bright lead
    stream.Patch(1, 20, 1, 6); // a round bass
    if (loops) stream.MarkLoop();
    const std::vector<int> lead = StepsOf(tune.melody), bass = StepsOf(tune.bass);
    const int steps = tune.Steps();
    for (int step = 0; step < steps; ++step) {
        for (auto [channel, voice] : {std::pair{0, &lead}, std::pair{1, &bass}}) {
            const int at = step < static_cast<int>(voice->size())
                               ? (*voice)[static_cast<size_t>(step)]
                               : kRest;
            if (at >= 0) stream.Note(channel, at);
            if (at == kRest) stream.Release(channel);
        }
        if (step % 8 == 0) stream.StrikeDrum(false);
        if (step % 8 == 4) stream.StrikeDrum(true);
        stream.Wait(static_cast<long>(tune.framesPerStep) * kSamplesPerStepFrame);
    }
    if (!loops) {
        stream.Release(0);
        stream.Release(1);
        stream.Wait(22050);
    }
    return stream.Finish(tune.name, game);
}

Bytes ArcadeEffect(const std::string& name, ArcadeBoard board, int fromMidi, int toMidi, int frames,
                   const std::string& game) {
    ArcadeStream stream(board);
    stream.LoadDrums();
    stream.Patch(0, 12, 3, 8);
    stream.StrikeDrum(true);
    stream.Note(0, fromMidi);
    for (int frame = 0; frame < frames; ++frame) {
        stream.Pitch(0, fromMidi + (toMidi - fromMidi) * frame / std::max(1, frames - 1));
        stream.Wait(735);
    }
    stream.Release(0);
    stream.Wait(11025);
    return stream.Finish(name, game);
}

} // namespace compose
