// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/ClipExport.h"
#include "session/ClipLoudness.h"
#include "session/CoreMessenger.h"
#include "session/GameSession.h"
#include "session/TuneTiming.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvocore {

// A clip of the loaded game rendered into a sound file on a thread and in an
// emulator process of their own, beside whatever plays. It keeps the game's
// archive however the game changes meanwhile.
class CCoreExport {
public:
    CCoreExport(const CCoreMessenger& messenger, const CGameSession& session,
                const TuneTiming& timing, CClipLoudness& loudness)
        : m_messenger(messenger), m_session(session), m_timing(timing), m_loudness(loudness) {}

    // 0: each clip's known length.
    void SetLength(int ms) { m_lengthMs = std::max(ms, 0); }
    // Asks the player for the file; `normalize`: brought to the loudness
    // the player normalizes to; `wait`: done before this returns.
    void Start(int clip, const std::string& emulatorProgram, bool normalize, bool wait);
    // The export ends on its own thread: its partial file goes, and the
    // window that asked goes on at once.
    void Cancel();
    // Tells of an export that has ended, and lets go of cancelled ones that have.
    void Service();
    int Permille() const { return m_export ? m_export->Permille() : -1; }
    void WaitForJob() {
        if (m_export) m_export->Wait();
    }
    // Ends every export; an unfinished file goes.
    void Shutdown();

private:
    void Finish();
    SoundTags TagsOf(int clip) const;

    const CCoreMessenger& m_messenger;
    const CGameSession& m_session;
    const TuneTiming& m_timing;
    CClipLoudness& m_loudness;
    std::unique_ptr<CClipExport> m_export;
    std::optional<TuneKey> m_key; // of the clip exported, whose measure is kept
    // Cancelled exports end by themselves on their threads; nothing waits for them.
    std::vector<std::unique_ptr<CClipExport>> m_cancelled;
    int m_clip = -1;
    int m_lengthMs = 0;
};

} // namespace tarvocore
