// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/TarvoCore.h"
#include "ipc/EmulatorProcess.h"
#include "session/ClipLoudness.h"
#include "session/ClipPlayback.h"
#include "session/CoreExport.h"
#include "session/CoreMessenger.h"
#include "session/GameSession.h"
#include "session/OutputChain.h"
#include "session/TuneTiming.h"

#include <string>
#include <vector>

namespace tarvocore {

// The whole core behind the C entry points, handing each call to the part
// that does it: the game session (catalogue and loaded game), the clip's
// playback with its seeks and voices, its loudness, the output chain, and
// the export.
// Every message is sent from inside one of these calls, on the caller's
// thread: work on threads of their own is told by the next service call
// after it is done.
class CSoundCore {
public:
    static constexpr const char* kVersion = "1.0.0";
    static constexpr const char* kEmulatorProgram = "tarvo-emulator";
    static constexpr int kLevelReportFrames = COutputChain::kLevelReportFrames;

    // Reads the catalogue from `coreFolder`, where the emulator program is
    // too unless SetEmulatorProgram said otherwise; CORE_MSG_ERROR reports a
    // missing file and malformed lines.
    void Init(void* user, CoreMessageCallback callback, const std::string& coreFolder);
    void SetEmulatorProgram(const std::string& path);
    // The user's own catalogue, read after the shipped one when it exists.
    void SetUserCatalogue(const std::string& path) { m_session.SetUserCatalogue(path); }
    CEmulatorProcess& Emulator() { return m_emulator; }
    void Shutdown();

    int GetInt(int code, int argument) const;
    const char* GetString(int code, int argument);
    void Command(int code, int argument);
    void SetOption(int code, int value);

    // Waits until the work under way on other threads is done; the next
    // service call tells of it (for tools and tests: the player never waits).
    void WaitForStarts();
    bool HoldsSoundDevice() const { return m_output.HoldsDevice(); }
    // Renders and delivers this many frames at once (the service path without
    // a device's pacing); used by the service call, tests and benchmarks.
    void Render(int frameCount);

private:
    int TuneTableInt(int code, int clip) const;
    const char* GameString(int code, int game) const;
    void StartGame(int clip);
    void FinishLoad();
    void StartLoadedGame(int clip);
    void PlayClip(int clip);
    void ForgetGame();
    void Unload();
    void Service();

    CCoreMessenger m_messenger;
    CEmulatorProcess m_emulator;
    CGameSession m_session{m_messenger};
    TuneTiming m_timing;
    COutputChain m_output{m_messenger};
    CClipPlayback m_playback{m_messenger, m_emulator, m_session, m_output, m_timing};
    CClipLoudness m_loudness{m_messenger, m_session, m_timing, m_output};
    CCoreExport m_export{m_messenger, m_session, m_timing, m_loudness};
    std::string m_versionText;
    bool m_offline = false; // rendering offline: every job is waited for
    std::vector<int16_t> m_buffer;
};

} // namespace tarvocore
