// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/ArcadeBuilder.h"

#include "chips/Okim6295.h"
#include "tools/compose/VgmStream.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace compose {

namespace {

constexpr uint32_t kYm2151Clock = 3579545;
constexpr uint32_t kOkiClock = 1000000;     // 7576 samples a second, its seventh pin high
constexpr uint32_t kSegaPcmClock = 4000000; // 31250 a second, read at half speed
constexpr uint32_t kYm2610Clock = 8000000;  // FM at 55556 a second, ADPCM-A at 18519
constexpr uint32_t kYm3812Clock = 3579545;  // 49716 a second
constexpr int kSamplesPerStepFrame = 882;   // a 50 Hz frame of the tunes' steps
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

// 4-bit ADPCM as the OKIM6295 and the YM2610's ADPCM-A decode it: each
// sample the nibble that lands nearest.
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

// A board's tune as it is written: two FM voices, the lead (0) and the bass
// (1), and two drums, the patches and drums set up first.
class BoardStream {
public:
    BoardStream(VgmStream stream, ArcadeBoard board)
        : m_stream(std::move(stream)), m_board(board) {}
    virtual ~BoardStream() = default;
    BoardStream(const BoardStream&) = delete;
    BoardStream& operator=(const BoardStream&) = delete;

    // The drums into the ROM, and the voices' patches (an effect's own).
    virtual void SetUp(bool effect) = 0;
    virtual void Pitch(int voice, int midi) = 0;
    virtual void Key(int voice, bool on) = 0;
    virtual void StrikeDrum(bool snare) = 0;

    void Note(int voice, int midi) {
        Key(voice, false);
        Pitch(voice, midi);
        Key(voice, true);
    }
    void Release(int voice) { Key(voice, false); }
    void Wait(long samples) { m_stream.Wait(samples); }
    void MarkLoop() { m_stream.MarkLoop(); }
    Bytes Finish(const std::string& track, const std::string& game) const {
        return m_stream.Finish(track, game, BoardSystem(m_board));
    }

protected:
    void Command(std::initializer_list<uint8_t> bytes) { m_stream.Command(bytes); }
    ArcadeBoard Board() const { return m_board; }
    VgmStream& Stream() { return m_stream; }

private:
    VgmStream m_stream;
    ArcadeBoard m_board;
};

// The OKIM6295's drums: two phrases, found in the table at its ROM's start.
void LoadOkiDrums(VgmStream& stream) {
    Bytes rom(0x400, 0);
    for (int drum = 0; drum < 2; ++drum) {
        const Bytes phrase = EncodeAdpcm(Drum(drum == 1, 7576));
        const auto start = static_cast<uint32_t>(rom.size());
        const auto end = static_cast<uint32_t>(start + phrase.size() - 1);
        const uint8_t entry[6] = {
            static_cast<uint8_t>(start >> 16), static_cast<uint8_t>(start >> 8),
            static_cast<uint8_t>(start),       static_cast<uint8_t>(end >> 16),
            static_cast<uint8_t>(end >> 8),    static_cast<uint8_t>(end)};
        std::copy(std::begin(entry), std::end(entry), rom.begin() + 8 * (drum + 1));
        rom.insert(rom.end(), phrase.begin(), phrase.end());
    }
    stream.Rom(0x8B, 0x40000, 0, rom);
}

void StrikeOkiDrum(VgmStream& stream, bool snare) {
    const uint8_t voice = snare ? 0x20 : 0x10;
    stream.Command({0xB8, 0x00, static_cast<uint8_t>(0x08 << (snare ? 1 : 0))}); // stop it first
    stream.Command({0xB8, 0x00, static_cast<uint8_t>(0x80 | (snare ? 2 : 1))});
    stream.Command({0xB8, 0x00, voice});
}

// The YM2151 with the OKIM6295's or the SegaPCM's drums.
class Ym2151Board : public BoardStream {
public:
    explicit Ym2151Board(ArcadeBoard board)
        : BoardStream(
              board == ArcadeBoard::Oki
                  ? VgmStream({{0x30, kYm2151Clock}, {0x98, kOkiClock | 0x80000000u}})
                  : VgmStream({{0x30, kYm2151Clock}, {0x38, kSegaPcmClock}, {0x3C, 0x00F8000D}}),
              board) {}

    void SetUp(bool effect) override {
        LoadDrums();
        if (effect) {
            Patch(0, 12, 3, 8);
            return;
        }
        Patch(0, 28, 2, 4); // a bright lead
        Patch(1, 20, 1, 6); // a round bass
    }
    // A MIDI note as the YM2151's key code: octave and note from C#.
    void Pitch(int voice, int midi) override {
        const int fromCSharp = std::max(midi - 61 + 48, 0); // C#0
        const int octave = std::min(fromCSharp / 12, 7);
        const int note = fromCSharp % 12;
        Opm(static_cast<uint8_t>(0x28 + voice),
            static_cast<uint8_t>(octave << 4 | (note + note / 3)));
    }
    void Key(int voice, bool on) override {
        Opm(0x08, static_cast<uint8_t>((on ? 0x78 : 0) | voice));
    }
    void StrikeDrum(bool snare) override {
        if (Board() == ArcadeBoard::Oki) {
            StrikeOkiDrum(Stream(), snare);
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

private:
    void Opm(uint8_t reg, uint8_t value) { Command({0x54, reg, value}); }

    // The SegaPCM's drums lie page by page, as 8-bit samples about 0x80.
    void LoadDrums() {
        if (Board() == ArcadeBoard::Oki) {
            LoadOkiDrums(Stream());
            return;
        }
        Bytes rom;
        for (int drum = 0; drum < 2; ++drum) {
            m_drumPage[drum] = static_cast<uint8_t>(rom.size() >> 8);
            for (double sample : Drum(drum == 1, 15625))
                rom.push_back(static_cast<uint8_t>(std::clamp(0x80 + sample * 120, 1.0, 255.0)));
            rom.resize((rom.size() + 0xFF) & ~size_t{0xFF}, 0x80);
            m_drumEnd[drum] = static_cast<uint8_t>((rom.size() >> 8) - 1);
        }
        Stream().Rom(0x80, 0x10000, 0, rom);
    }

    // A patch on channel: two modulators and two carriers (connection 4).
    void Patch(int channel, int modulatorLevel, int multiple, int decay) {
        const auto ch = static_cast<uint8_t>(channel);
        Opm(static_cast<uint8_t>(0x20 + ch), 0xC4 | 0x18); // both sides, feedback 3, connection 4
        for (int op = 0; op < 4; ++op) {
            const auto slot = static_cast<uint8_t>(ch + 8 * op);
            const bool carrier = op >= 2; // slots of C1 and C2
            Opm(static_cast<uint8_t>(0x40 + slot), static_cast<uint8_t>(carrier ? 1 : multiple));
            Opm(static_cast<uint8_t>(0x60 + slot),
                static_cast<uint8_t>(carrier ? 8 : modulatorLevel));
            Opm(static_cast<uint8_t>(0x80 + slot), 0x1F);
            Opm(static_cast<uint8_t>(0xA0 + slot), static_cast<uint8_t>(decay));
            Opm(static_cast<uint8_t>(0xC0 + slot), 0x02);
            Opm(static_cast<uint8_t>(0xE0 + slot), 0x27);
        }
    }

    uint8_t m_drumPage[2] = {0, 0}; // SegaPCM: the first page of each drum
    uint8_t m_drumEnd[2] = {0, 0};
};

// The frequency number and block that sound `hz` on a chip whose pitch is
// fnum * rate * 2^block / 2^bits: the lowest block it fits, for the finest
// steps.
std::pair<int, int> FnumAndBlock(double hz, double rate, int bits, int fnumLimit) {
    for (int block = 0; block < 8; ++block) {
        const long fnum = std::lround(hz * std::pow(2.0, bits - block) / rate);
        if (fnum < fnumLimit) return {static_cast<int>(fnum), block};
    }
    return {fnumLimit - 1, 7};
}

// The YM2610: the lead and the bass on the second and third FM channels
// (those every YM2610 has), the SSG's tone A doubling the lead an octave
// down, ADPCM-A channels 1 and 2 the drums.
class Ym2610Board : public BoardStream {
public:
    Ym2610Board() : BoardStream(VgmStream({{0x4C, kYm2610Clock}}), ArcadeBoard::Ym2610) {}

    void SetUp(bool effect) override {
        LoadDrums();
        Patch(kLeadChannel, effect ? 14 : 30, effect ? 3 : 2, effect ? 8 : 4);
        Patch(kLeadChannel + 1, 22, 1, 6);
        Opn(0, 0x07, 0x3E); // the SSG: tone A alone
        Opn(0, 0x08, 0x00);
    }
    void Pitch(int voice, int midi) override {
        const double hz = FrequencyOf(midi);
        const auto [fnum, block] = FnumAndBlock(hz, kYm2610Clock / 144.0, 21, 2048);
        const auto channel = static_cast<uint8_t>(kLeadChannel + voice);
        Opn(0, static_cast<uint8_t>(0xA4 + channel), static_cast<uint8_t>(block << 3 | fnum >> 8));
        Opn(0, static_cast<uint8_t>(0xA0 + channel), static_cast<uint8_t>(fnum & 0xFF));
        if (voice != 0) return;
        const long period = std::clamp(std::lround(kYm2610Clock / 64.0 / (hz / 2)), 1L, 4095L);
        Opn(0, 0x00, static_cast<uint8_t>(period & 0xFF));
        Opn(0, 0x01, static_cast<uint8_t>(period >> 8));
    }
    void Key(int voice, bool on) override {
        Opn(0, 0x28, static_cast<uint8_t>((on ? 0xF0 : 0) | (kLeadChannel + voice)));
        if (voice == 0) Opn(0, 0x08, on ? 0x09 : 0x00);
    }
    void StrikeDrum(bool snare) override {
        const uint8_t channel = snare ? 0x02 : 0x01;
        Opn(1, 0x00, static_cast<uint8_t>(0x80 | channel)); // off, then on again from its start
        Opn(1, 0x00, channel);
    }

private:
    static constexpr int kLeadChannel = 1;

    void Opn(int port, uint8_t reg, uint8_t value) {
        Command({static_cast<uint8_t>(0x58 + port), reg, value});
    }

    // Each drum in 256-byte units of the ADPCM-A ROM, at its rate (clock / 432).
    void LoadDrums() {
        Bytes rom;
        Opn(1, 0x01, 0x3F); // the total level: full
        for (int drum = 0; drum < 2; ++drum) {
            const size_t start = rom.size();
            const Bytes sound = EncodeAdpcm(Drum(drum == 1, kYm2610Clock / 432.0));
            rom.insert(rom.end(), sound.begin(), sound.end());
            rom.resize((rom.size() + 0xFF) & ~size_t{0xFF}, 0x80); // nibbles of no change
            const auto first = static_cast<uint16_t>(start >> 8);
            const auto last = static_cast<uint16_t>((rom.size() >> 8) - 1);
            const auto reg = static_cast<uint8_t>(drum);
            Opn(1, static_cast<uint8_t>(0x08 + reg), 0xDC); // both sides, 2.25 dB down
            Opn(1, static_cast<uint8_t>(0x10 + reg), static_cast<uint8_t>(first & 0xFF));
            Opn(1, static_cast<uint8_t>(0x18 + reg), static_cast<uint8_t>(first >> 8));
            Opn(1, static_cast<uint8_t>(0x20 + reg), static_cast<uint8_t>(last & 0xFF));
            Opn(1, static_cast<uint8_t>(0x28 + reg), static_cast<uint8_t>(last >> 8));
        }
        Stream().Rom(0x82, static_cast<uint32_t>(rom.size()), 0, rom);
    }

    // Algorithm 4, two modulators (S1, S3) each on a carrier (S2, S4), sent both ways.
    void Patch(int channel, int modulatorLevel, int multiple, int decay) {
        const auto ch = static_cast<uint8_t>(channel);
        Opn(0, static_cast<uint8_t>(0xB0 + ch), 0x1C); // feedback 3, algorithm 4
        Opn(0, static_cast<uint8_t>(0xB4 + ch), 0xC0);
        for (int op = 0; op < 4; ++op) {
            const auto slot = static_cast<uint8_t>(ch + 4 * op);
            const bool carrier = op == 2 || op == 3; // S2 and S4
            Opn(0, static_cast<uint8_t>(0x30 + slot), static_cast<uint8_t>(carrier ? 1 : multiple));
            Opn(0, static_cast<uint8_t>(0x40 + slot),
                static_cast<uint8_t>(carrier ? 8 : modulatorLevel));
            Opn(0, static_cast<uint8_t>(0x50 + slot), 0x1F);
            Opn(0, static_cast<uint8_t>(0x60 + slot), static_cast<uint8_t>(decay));
            Opn(0, static_cast<uint8_t>(0x70 + slot), 0x02);
            Opn(0, static_cast<uint8_t>(0x80 + slot), 0x27);
        }
    }
};

// The YM3812 (OPL2) with an OKIM6295: the lead and the bass on two-operator
// channels 0 and 1, the OKI's drums.
class Ym3812Board : public BoardStream {
public:
    Ym3812Board()
        : BoardStream(VgmStream({{0x50, kYm3812Clock}, {0x98, kOkiClock | 0x80000000u}}),
                      ArcadeBoard::Ym3812) {}

    void SetUp(bool effect) override {
        LoadOkiDrums(Stream());
        Opl(0x01, 0x20); // the waveforms may be chosen
        Patch(0, effect ? 0x10 : 0x14, effect ? 3 : 2, 0x01);
        Patch(1, 0x1A, 1, 0x00);
    }
    void Pitch(int voice, int midi) override {
        const auto [fnum, block] = FnumAndBlock(FrequencyOf(midi), kYm3812Clock / 72.0, 20, 1024);
        m_high[voice] = static_cast<uint8_t>(block << 2 | fnum >> 8);
        Opl(static_cast<uint8_t>(0xA0 + voice), static_cast<uint8_t>(fnum & 0xFF));
        Opl(static_cast<uint8_t>(0xB0 + voice),
            static_cast<uint8_t>(m_high[voice] | m_keyed[voice]));
    }
    void Key(int voice, bool on) override {
        m_keyed[voice] = on ? 0x20 : 0;
        Opl(static_cast<uint8_t>(0xB0 + voice),
            static_cast<uint8_t>(m_high[voice] | m_keyed[voice]));
    }
    void StrikeDrum(bool snare) override { StrikeOkiDrum(Stream(), snare); }

private:
    void Opl(uint8_t reg, uint8_t value) { Command({0x5A, reg, value}); }

    // A modulator on a carrier, the modulator's waveform half a sine for a
    // brighter edge.
    void Patch(int channel, int modulatorLevel, int multiple, int waveform) {
        const auto modulator = static_cast<uint8_t>(channel),
                   carrier = static_cast<uint8_t>(channel + 3);
        Opl(static_cast<uint8_t>(0xC0 + channel), 0x06); // feedback 3, FM
        for (const auto& [slot, level, mul] :
             {std::tuple{modulator, modulatorLevel, multiple}, std::tuple{carrier, 0x04, 1}}) {
            Opl(static_cast<uint8_t>(0x20 + slot), static_cast<uint8_t>(0x20 | mul)); // sustained
            Opl(static_cast<uint8_t>(0x40 + slot), static_cast<uint8_t>(level));
            Opl(static_cast<uint8_t>(0x60 + slot), 0xF4);
            Opl(static_cast<uint8_t>(0x80 + slot), 0x27);
        }
        Opl(static_cast<uint8_t>(0xE0 + modulator), static_cast<uint8_t>(waveform));
    }

    uint8_t m_high[2] = {0, 0};  // block and the top of the frequency number
    uint8_t m_keyed[2] = {0, 0}; // 0x20 while the voice sounds
};

std::unique_ptr<BoardStream> MakeBoard(ArcadeBoard board) {
    switch (board) {
    case ArcadeBoard::Ym2610:
        return std::make_unique<Ym2610Board>();
    case ArcadeBoard::Ym3812:
        return std::make_unique<Ym3812Board>();
    default:
        return std::make_unique<Ym2151Board>(board);
    }
}

} // namespace

std::string BoardSystem(ArcadeBoard board) {
    switch (board) {
    case ArcadeBoard::Oki:
        return "Arcade (YM2151 + OKIM6295)";
    case ArcadeBoard::SegaPcm:
        return "Arcade (YM2151 + SegaPCM)";
    case ArcadeBoard::Ym2610:
        return "Arcade (YM2610)";
    case ArcadeBoard::Ym3812:
        return "Arcade (YM3812 + OKIM6295)";
    }
    return "Arcade";
}

Bytes ToArcadeVgm(const LeadAndBass& tune, ArcadeBoard board, bool loops, const std::string& game) {
    const std::unique_ptr<BoardStream> stream = MakeBoard(board);
    stream->SetUp(false);
    if (loops) stream->MarkLoop();
    const std::vector<int> lead = StepsOf(tune.melody), bass = StepsOf(tune.bass);
    const int steps = tune.Steps();
    for (int step = 0; step < steps; ++step) {
        for (auto [voice, notes] : {std::pair{0, &lead}, std::pair{1, &bass}}) {
            const int at = step < static_cast<int>(notes->size())
                               ? (*notes)[static_cast<size_t>(step)]
                               : kRest;
            if (at >= 0) stream->Note(voice, at);
            if (at == kRest) stream->Release(voice);
        }
        if (step % 8 == 0) stream->StrikeDrum(false);
        if (step % 8 == 4) stream->StrikeDrum(true);
        stream->Wait(static_cast<long>(tune.framesPerStep) * kSamplesPerStepFrame);
    }
    if (!loops) {
        stream->Release(0);
        stream->Release(1);
        stream->Wait(22050);
    }
    return stream->Finish(tune.name, game);
}

Bytes ArcadeEffect(const std::string& name, ArcadeBoard board, int fromMidi, int toMidi, int frames,
                   const std::string& game) {
    const std::unique_ptr<BoardStream> stream = MakeBoard(board);
    stream->SetUp(true);
    stream->StrikeDrum(true);
    stream->Note(0, fromMidi);
    for (int frame = 0; frame < frames; ++frame) {
        stream->Pitch(0, fromMidi + (toMidi - fromMidi) * frame / std::max(1, frames - 1));
        stream->Wait(735);
    }
    stream->Release(0);
    stream->Wait(11025);
    return stream->Finish(name, game);
}

} // namespace compose
