// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chips/Okim6295.h"
#include "chips/RateConverter.h"
#include "chips/SegaPcm.h"
#include "chips/Ym2151.h"
#include "chips/Ym2203.h"
#include "common/VgmLayout.h"
#include "engines/MusicEngine.h"

#include <array>

namespace tarvocore {

// Arcade VGM files: the command stream of a VGM for the arcade boards' sound
// chips, which libgme does not play, interpreted here and played on this
// core's own emulators of those chips (one or two of each kind). The waits
// of the stream count samples at 44.1 kHz, the output's rate; each chip runs
// at its own and is brought to the output's.
class CVgmEngine : public IMusicEngine {
public:
    // A VGM whose header gives a clock to an arcade chip this engine plays.
    static bool Plays(const Bytes& data);

    bool Open(const Bytes& data, const Bytes& trackList, std::string& error) override;
    MusicInfo Info() override;
    bool Start(int track, std::string& error) override;
    bool Render(int16_t* frames, int frameCount) override;
    bool Seek(int ms, const SeekGivenUp& givenUp) override;
    std::vector<std::string> Voices() override;
    void MuteVoices(const std::vector<bool>& muted) override;

private:
    // A chip of the file, and the second of its kind when the clock says so.
    template <typename Chip> struct Pair {
        std::array<Chip, 2> chips;
        std::array<CRateConverter, 2> rates;
        int count = 0;
    };
    uint32_t ChipClock(const VgmChip& chip) const;
    template <typename Chip> void StartChips(Pair<Chip>& pair, const VgmChip& kind);
    void RunUntilWait();
    // Runs the command at m_at; false at the stream's end.
    bool Command();
    void DataBlock(uint8_t type, size_t at, size_t size);
    void OkiWrite(uint8_t reg, uint8_t value);
    template <typename Chip, typename Sample>
    void MixPair(Pair<Chip>& pair, Sample sample, double& left, double& right);
    void MixFrame(int16_t* frame);

    Bytes m_data;
    VgmLayout m_layout;
    size_t m_loop = 0; // 0: no loop
    long m_totalSamples = 0;
    long m_loopSamples = 0;

    size_t m_at = 0;
    long m_wait = 0;
    bool m_ended = false;
    long m_playedFrames = 0;
    Pair<CYm2151> m_ym2151;
    Pair<CSegaPcm> m_segaPcm;
    Pair<CYm2203> m_ym2203;
    Pair<COkim6295> m_oki;
};

} // namespace tarvocore
