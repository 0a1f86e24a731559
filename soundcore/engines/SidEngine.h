// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engines/MusicEngine.h"

#include <memory>

class SidTune;
class sidplayfp;
class ReSIDBuilder;

namespace tarvocore {

// libsidplayfp: Commodore 64 tunes (PSID and RSID). Clip n is subtune n + 1.
// The track list handed to Open may be HVSC's Songlengths.md5: its line for
// the tune gives each subtune's length. The SID chip is reSID's: it takes a
// muted voice out of the mix at once, still driving the other voices' sync
// and ring modulation, where reSIDfp silences it only at the voice's next
// note, which may come seconds later.
class CSidEngine : public IMusicEngine {
public:
    CSidEngine();
    ~CSidEngine() override;

    static bool Plays(const Bytes& data);

    bool Open(const Bytes& data, const Bytes& trackList, std::string& error) override;
    MusicInfo Info() override;
    bool Start(int track, std::string& error) override;
    bool Render(int16_t* frames, int frameCount) override;
    bool Seek(int ms, const SeekGivenUp& givenUp) override;
    std::vector<std::string> Voices() override;
    void MuteVoices(const std::vector<bool>& muted) override;
    bool GoesBackCheaply() const override { return false; }

private:
    std::unique_ptr<SidTune> m_tune;
    std::unique_ptr<sidplayfp> m_player;
    std::unique_ptr<ReSIDBuilder> m_builder;
    std::string m_fingerprint;    // the MD5 HVSC knows the tune by
    std::vector<int> m_lengthsMs; // from Songlengths.md5, by subtune
    std::vector<int16_t> m_mono;
    int m_track = 0;
    long m_playedFrames = 0; // of the tune started
    std::vector<bool> m_muted;
};

} // namespace tarvocore
