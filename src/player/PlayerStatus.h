// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/ClipProgress.h"
#include "player/IPlayerView.h"
#include "player/PlayerState.h"

namespace tarvo {

// What the player is doing: the game and clip, the transport's state, the
// fields the window shows and the clip's clock. The engine owns it; the parts
// it hands work to (the clip order, listening, recording) read and change it
// on the window's thread, as the engine does.
struct PlayerStatus {
    int currentGame = -1;
    int currentClip = -1;
    int playlistPos = -1;
    int pendingClip = -1; // asked of the core, not yet told started
    PlayerState state = PlayerState::Idle;
    PlayerState stateBeforeBusy = PlayerState::Idle;
    bool seekPending = false; // asked of the core, not yet told done
    bool playlistMode = false;
    PlayerFields fields;
    ClipProgress progress;

    // A seek keeps the player busy until the core has done it.
    bool Seeking() const { return state == PlayerState::Busy && seekPending; }
    // The state of the clip for those outside (the desktop's controls): while
    // a seek keeps the player busy, the state the clip had before it.
    PlayerState StateOfTheClip() const { return Seeking() ? stateBeforeBusy : state; }
    bool Sounding() const {
        return state == PlayerState::Playing || state == PlayerState::Recording;
    }
};

} // namespace tarvo
