// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/Ay8910.h"
#include "chips/C140.h"
#include "chips/ChipResampler.h"
#include "chips/K053260.h"
#include "chips/Okim6295.h"
#include "chips/OplChip.h"
#include "chips/SegaPcm.h"
#include "chips/Sn76489.h"
#include "chips/Upd7759.h"
#include "chips/Y8950.h"
#include "chips/Ym2151.h"
#include "chips/Ym2203.h"
#include "chips/Ym2610.h"
#include "chips/Ym2612.h"
#include "common/VgmLayout.h"
#include "engines/MusicEngine.h"

#include <array>

namespace tarvocore {

// Arcade VGM files: the command stream of a VGM for the arcade boards' sound
// chips, which libgme does not play, interpreted here and played on this
// core's own emulators of those chips (one or two of each kind). The waits
// of the stream count samples at 44.1 kHz, the output's rate; each chip runs
// at its own, rounded to a whole number of hertz (a few millionths, far
// below a crystal's tolerance), and is brought to the output's by its
// resampler. The stream runs a few milliseconds ahead of the sound given
// out, by the resamplers' delay.
//
// As a tune plays, the engine keeps the whole state of its chips and stream
// every few seconds (the chips' ROMs shared between the copies), so a seek
// back, or a mute heard at once, starts from the nearest state kept at least
// kWarmUpFrames before the place (the resamplers, started again there, are
// in step again by then) rather than replaying the tune from its start.
class CVgmEngine : public IMusicEngine {
public:
    // A state is kept every this many frames at first; when the tune has run
    // so long that MostKeptStates() are kept, every other one is let go and
    // the spacing doubles, so the memory they take stays bounded: within
    // kMostKeptBytes, as many as the file's chips allow up to kMostKeptStates.
    static constexpr long kKeepEveryFrames = 2 * 44100;
    static constexpr size_t kMostKeptStates = 384;
    static constexpr size_t kFewestKeptStates = 64;
    static constexpr size_t kMostKeptBytes = 8u << 20;
    static constexpr long kWarmUpFrames = 4410;

    // A VGM whose header gives a clock to an arcade chip this engine plays.
    static bool Plays(const Bytes& data);

    bool Open(const Bytes& data, const Bytes& trackList, std::string& error) override;
    MusicInfo Info() override;
    bool Start(int track, std::string& error) override;
    bool Render(int16_t* frames, int frameCount) override;
    bool Seek(int ms, const SeekGivenUp& givenUp) override;
    std::vector<std::string> Voices() override;
    void MuteVoices(const std::vector<bool>& muted) override;
    bool GoesBackCheaply() const override { return true; }

    // For benchmarks and tests: the states kept so far, the bytes each takes
    // with the file's chips, and how many may be kept.
    size_t KeptStates() const { return m_kept.size(); }
    size_t StateBytes() const;
    size_t MostKeptStates() const;

private:
    // A chip of the file, and the second of its kind when the clock says so.
    template <typename Chip> struct Pair {
        Pair() = default;
        explicit Pair(const VgmChip* of) : kind(of) {}
        const VgmChip* kind = nullptr;
        std::vector<Chip> chips; // the file's: none, one or two

        std::array<int, 2> rate{};      // the chip's samples a second
        std::array<long, 2> rateFrom{}; // the stream's frame the rate was set at
        int count = 0;
        size_t firstResampler = 0; // in m_resamplers
    };
    // Every chip the engine plays, in the order their voices are listed:
    // the FM chips first, as the chips are named.
    struct Chips {
        Pair<CYm2151> ym2151{&kYm2151Chip};
        Pair<CYm2203> ym2203{&kYm2203Chip};
        Pair<CYm2610> ym2610{&kYm2610Chip};
        Pair<COplChip> ym3812{&kYm3812Chip};
        Pair<COplChip> ym3526{&kYm3526Chip};
        Pair<COplChip> ymf262{&kYmf262Chip};
        Pair<CY8950> y8950{&kY8950Chip};
        Pair<CYm2612> ym2612{&kYm2612Chip};
        Pair<CSegaPcm> segaPcm{&kSegaPcmChip};
        Pair<COkim6295> oki{&kOkim6295Chip};
        Pair<CK053260> k053260{&kK053260Chip};
        Pair<CC140> c140{&kC140Chip};
        Pair<CUpd7759> upd7759{&kUpd7759Chip};
        Pair<CAy8910> ay{&kAy8910Chip};
        Pair<CSn76489> sn76489{&kSn76489Chip};
        template <typename Visit> void ForEach(Visit&& visit) { ForEachOf(*this, visit); }
        template <typename Visit> void ForEach(Visit&& visit) const { ForEachOf(*this, visit); }
        template <typename Self, typename Visit> static void ForEachOf(Self& self, Visit& visit) {
            visit(self.ym2151);
            visit(self.ym2203);
            visit(self.ym2610);
            visit(self.ym3812);
            visit(self.ym3526);
            visit(self.ymf262);
            visit(self.y8950);
            visit(self.ym2612);
            visit(self.segaPcm);
            visit(self.oki);
            visit(self.k053260);
            visit(self.c140);
            visit(self.upd7759);
            visit(self.ay);
            visit(self.sn76489);
        }
    };
    static constexpr size_t kKinds = 15;
    // Everything that playing changes, at the start of frame `frame`.
    struct KeptState {
        long frame = 0;
        size_t at = 0;
        long wait = 0;
        bool ended = false;
        Chips chips;
    };
    void KeepState();
    // The chip's rate from the stream's frame on, its resampler started there.
    template <typename Chip> void SetRate(Pair<Chip>& pair, size_t chip);
    template <typename Chip> void StartResamplers(Pair<Chip>& pair);
    template <typename Chip> void RestartResamplers(Pair<Chip>& pair);
    // Runs the stream on by up to `frames` frames, the chips' sound handed to
    // their resamplers; at the stream's end their tails come out too.
    void RunStream(long frames);
    size_t ReadyFrames() const;
    void MixFrames(int16_t* frames, int frameCount);
    // Goes back to the last state kept at or before `frame`, with the voices
    // muted as they are now.
    void RestoreStateBefore(long frame);
    uint32_t ChipClock(const VgmChip& chip) const;
    template <typename Chip> void StartChips(Pair<Chip>& pair);
    void RunUntilWait();
    // Runs the command at m_at; false at the stream's end.
    bool Command();
    void DataBlock(uint8_t type, size_t at, size_t size);
    CSharedRom* RomOfBlock(uint8_t type, size_t chip);
    void ChipCommand(uint8_t command, const uint8_t* arguments, size_t count);
    void OkiWrite(uint8_t reg, uint8_t value);
    // Calls `visit(chip, its voice, the voice's name)` for each voice listed.
    template <typename Visit> void ForEachVoice(Visit&& visit);
    template <typename Chip> void ClockPair(Pair<Chip>& pair);
    void ClockChips();

    Bytes m_data;
    VgmLayout m_layout;
    size_t m_loop = 0; // 0: no loop
    long m_totalSamples = 0;
    long m_loopSamples = 0;

    size_t m_at = 0;
    long m_wait = 0;
    bool m_ended = false;
    long m_streamFrame = 0;  // frames the stream has run
    long m_playedFrames = 0; // frames given out
    bool m_drained = false;  // the stream ended and the resamplers' tails came out
    Chips m_chips;
    std::array<CChipResampler, 2 * kKinds> m_resamplers; // two for each kind of chip
    std::vector<size_t> m_playing;                       // the resamplers of the file's chips

    std::vector<KeptState> m_kept; // by frame, the first at the tune's start
    long m_keepEvery = kKeepEveryFrames;
    long m_nextKeep = 0;
    std::vector<bool> m_muted; // as asked last, for the states gone back to
};

} // namespace tarvocore
