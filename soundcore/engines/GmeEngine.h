// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engines/MusicEngine.h"

struct Music_Emu;

namespace tarvocore {

// Game_Music_Emu: the console formats (VGM, NSF, NSFE, GBS, HES, KSS, AY,
// SAP, SPC, GYM).
class CGmeEngine : public IMusicEngine {
public:
    ~CGmeEngine() override;

    // True when libgme knows the file by its header or, failing that, its name.
    static bool Plays(const Bytes& data, const std::string& name);
    static bool KnowsHeader(const Bytes& data);

    bool Open(const Bytes& data, const Bytes& trackList, std::string& error) override;
    MusicInfo Info() override;
    bool Start(int track, std::string& error) override;
    bool Render(int16_t* frames, int frameCount) override;
    bool Seek(int ms, const SeekGivenUp& givenUp) override;
    std::vector<std::string> Voices() override;
    void MuteVoices(const std::vector<bool>& muted) override;
    bool GoesBackCheaply() const override { return true; }

    void SetTypeFromName(const std::string& name) { m_name = name; }

private:
    Bytes m_data; // libgme reads the data it was opened on while it plays
    Music_Emu* m_emu = nullptr;
    std::string m_name;
    int m_track = 0;
};

} // namespace tarvocore
