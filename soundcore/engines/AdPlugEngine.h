// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engines/MusicEngine.h"

#include <memory>

class CPlayer;

namespace tarvocore {

class CAdPlugOpl;

// AdPlug: the AdLib (OPL2/OPL3) music of DOS games (IMF, DRO, RAD, HSC, A2M,
// CMF, D00, ...). Clip n is subsong n. Chosen by the file's name, as AdPlug
// itself does, or by the magic of the formats that have one.
class CAdPlugEngine : public IMusicEngine {
public:
    CAdPlugEngine();
    ~CAdPlugEngine() override;

    static bool Plays(const Bytes& data, const std::string& name);

    void SetName(const std::string& name) { m_name = name; }
    // The game's files that songs open by name (banks, instruments, patches).
    void SetCompanions(CompanionFiles companions) { m_companions = std::move(companions); }
    bool Open(const Bytes& data, const Bytes& trackList, std::string& error) override;
    MusicInfo Info() override;
    void MeasureOnly(int song) override { m_measured = song; }
    bool Start(int track, std::string& error) override;
    bool Render(int16_t* frames, int frameCount) override;
    bool Seek(int ms, const SeekGivenUp& givenUp) override;
    std::vector<std::string> Voices() override;
    void MuteVoices(const std::vector<bool>& muted) override;
    bool GoesBackCheaply() const override { return false; }

private:
    std::string m_name;
    Bytes m_data;
    CompanionFiles m_companions;
    // Runs the song and its chip for about `frames` frames more.
    void RunAhead(int frames);

    std::unique_ptr<CAdPlugOpl> m_opl;
    std::unique_ptr<CPlayer> m_player;
    double m_untilUpdate = 0; // frames before the player's next tick
    int m_track = 0;
    int m_measured = kEverySong;
    long m_playedFrames = 0; // of the song started
};

} // namespace tarvocore
