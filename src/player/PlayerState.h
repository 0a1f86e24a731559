// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarvo {

enum class PlayerState { Idle = 0, Busy, Stopped, Playing, Paused, Recording, RecordingPaused };

inline bool IsPaused(PlayerState s) {
    return s == PlayerState::Paused || s == PlayerState::RecordingPaused;
}

inline bool IsRecording(PlayerState s) {
    return s == PlayerState::Recording || s == PlayerState::RecordingPaused;
}

} // namespace tarvo
