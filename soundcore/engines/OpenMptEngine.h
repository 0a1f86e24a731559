// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engines/MusicEngine.h"

#include <memory>

namespace openmpt {
class module_ext;
}

namespace tarvocore {

// libopenmpt: tracker modules (MOD, S3M, XM, IT, MPTM, UMX and the rest).
// Clip n is subsong n; a module with one song has clip 0.
class COpenMptEngine : public IMusicEngine {
public:
    COpenMptEngine();
    ~COpenMptEngine() override;

    static bool Plays(const Bytes& data);

    bool Open(const Bytes& data, const Bytes& trackList, std::string& error) override;
    MusicInfo Info() override;
    bool Start(int track, std::string& error) override;
    bool Render(int16_t* frames, int frameCount) override;
    bool Seek(int ms, const SeekGivenUp& givenUp) override;
    std::vector<std::string> Voices() override;
    void MuteVoices(const std::vector<bool>& muted) override;
    bool GoesBackCheaply() const override { return true; }

private:
    std::unique_ptr<openmpt::module_ext> m_module;
};

} // namespace tarvocore
