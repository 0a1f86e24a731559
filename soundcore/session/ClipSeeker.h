// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/BackgroundJob.h"
#include "ipc/EmulatorProcess.h"
#include "playback/ClipSource.h"
#include "session/CoreMessenger.h"
#include "session/OutputChain.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvocore {

// Moves the clip playing: the emulator goes to the place on a thread of its
// own (a C64 tune is run there, which takes a while) while the caller's
// thread goes on. A seek asked meanwhile replaces it: the one under way is
// given up where it got to, and the latest goes on from there. While a seek
// runs, the emulator and the clip's source are its own.
class CClipSeeker {
public:
    CClipSeeker(const CCoreMessenger& messenger, CEmulatorProcess& emulator, CClipSource& source,
                COutputChain& output, std::vector<std::string>& voices)
        : m_messenger(messenger), m_emulator(emulator), m_source(source), m_output(output),
          m_voices(voices) {}

    bool Running() const { return m_seek != nullptr; }
    // To `ms` into clip `clip`; `showBusy` false keeps the player as it was
    // (a mute heard at once). `wait`: done before this returns.
    void Seek(int ms, int clip, bool showBusy, bool wait);
    // Looks in on the seek under way: true while it runs (the player is told
    // busy once); once done, its outcome is told and the one asked meanwhile
    // starts.
    bool Busy();
    // A new clip, or no game: a seek still running is given up by ending the
    // emulator (the next request starts a fresh one). True while its thread
    // winds down, which takes moments; Busy() drops it, untold, once ended.
    bool Cancel();
    // For tools and tests: the seek under way is done (and not yet told).
    void WaitForJob() {
        if (m_seek) m_seek->Wait();
    }
    // Waits for a seek given up to end (a game going, or the core).
    void Forget();

private:
    void Begin(int ms, int clip, bool showBusy, bool wait);
    void Finish();
    // The seek is done: the player is told where the clip now is.
    void Tell(int ms);

    const CCoreMessenger& m_messenger;
    CEmulatorProcess& m_emulator;
    CClipSource& m_source;
    COutputChain& m_output;
    std::vector<std::string>& m_voices; // refreshed as each seek ends
    std::unique_ptr<CBackgroundJob> m_seek;
    int m_seekMs = 0;
    int m_clip = 0;
    SeekOutcome m_outcome = SeekOutcome::Failed;
    uint32_t m_seekNumber = 0; // of the last seek begun
    std::string m_seekError;
    bool m_showsBusy = false; // a mute's seek keeps the player as it was
    bool m_toldBusy = false;  // since the last seek the player was told done
    bool m_wait = false;
    bool m_cancelled = false; // the seek under way is given up, and never told
    int m_nextSeekMs = -1;    // asked while one runs: it replaces that one
    bool m_nextShowsBusy = false;
};

} // namespace tarvocore
