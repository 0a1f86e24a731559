// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ipc/EmulatorProcess.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvocore {

// The sound of one clip: a track of a music file, played in the emulator
// process from its start or where a seek put it, or silence. Looping tunes
// loop for ever.
class CClipSource {
public:
    explicit CClipSource(CEmulatorProcess& emulator) : m_emulator(emulator) {}

    // `data` must already be checked; false with the reason.
    bool Start(const std::string& name, const Bytes& data, const Bytes& trackList,
               const CompanionFiles& companions, const CEmulatorProcess::StartRequest& start,
               std::string& error);
    void StartSilence();
    // Whether a tune is in the emulator (one that ended is still there to seek).
    bool HasTune() const { return m_started; }
    // Goes to `ms` into the tune; what was taken ahead of it is dropped. A
    // seek that failed leaves the clip silent; one given up leaves the tune
    // where it got to, for the seek that replaced it.
    SeekOutcome Seek(int ms, uint32_t number, std::string& error);
    bool Mute(const std::vector<bool>& muted, std::string& error) {
        return m_started && m_emulator.Mute(muted, error);
    }
    // The started tune's voices.
    const std::vector<std::string>& Voices() const { return m_tune.voices; }
    // Whether its engine goes back cheaply, so a mute can render again from
    // the place heard.
    bool GoesBackCheaply() const { return m_tune.goesBackCheaply; }
    // The next `frameCount` frames: straight from the emulator's block when
    // they lie in one, else gathered in `buffer` (room for them). After the
    // end of a tune they are silence. `stopped` tells, with `error`, that the
    // emulator stopped on the way; the clip is silence from then on.
    int16_t* Render(int16_t* buffer, int frameCount, bool& stopped, std::string& error);
    // How long one call waits for a late block: briefly while a device plays
    // (the caller's thread must not stall), to the end when rendering offline.
    void SetBlockWait(int milliseconds) { m_waitMs = milliseconds; }
    static constexpr int kRealTimeBlockWaitMs = 50;

private:
    CEmulatorProcess::Block TakeBlock(std::string& error);

    void DropBlock();

    CEmulatorProcess& m_emulator;
    bool m_started = false;
    bool m_playing = false;
    CEmulatorProcess::Started m_tune;
    int16_t* m_block = nullptr;
    int m_blockFrames = 0;
    int m_read = 0;
    int m_waitMs = kRealTimeBlockWaitMs;
};

} // namespace tarvocore
