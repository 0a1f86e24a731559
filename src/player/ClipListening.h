// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"
#include "player/PlayerStatus.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvo {

struct Config;

// A voice of the clip playing (a chip's channel), as the Voices window lists it.
struct VoiceState {
    std::string name;
    bool muted = false;
    bool operator==(const VoiceState&) const = default;
};

// Where the clip playing is, moving it, and its voices: the core does the
// work, this keeps the player's clock and state in step. A clip can be moved
// while it plays or is paused; never while recording, which keeps a faithful
// capture from the clip's start.
class CClipListening {
public:
    static constexpr long long kUnknownLengthRangeMs = 180000;

    // `moved` hears of each seek asked, for the fields and the timer.
    CClipListening(ICore& core, PlayerStatus& status, const Config& config,
                   std::function<void()> moved);

    // The clip's length as its core's tune table gives it; -1 unknown.
    void LearnClipLength(int clip);
    int ClipLengthMs() const { return m_status.progress.lengthMs; }
    // How far the clip can be moved, known length or not.
    long long SeekRangeMs() const;
    bool CanSeek() const;
    // To `ms` into the clip, at least its start; past its length it ends.
    void SeekTo(long long ms);
    void SeekBy(int seconds);
    long long PositionMs() const;

    std::vector<VoiceState> Voices() const;
    // voice -1: every voice.
    void SetVoiceMuted(int voice, bool muted);

private:
    ICore& m_core;
    PlayerStatus& m_status;
    const Config& m_config;
    std::function<void()> m_moved;
};

} // namespace tarvo
