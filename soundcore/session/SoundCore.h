// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/RomArchive.h"
#include "common/BackgroundJob.h"
#include "core/TarvoCore.h"
#include "export/ClipExport.h"
#include "export/SoundFileWriter.h"
#include "game/Catalogue.h"
#include "game/GameClips.h"
#include "game/GameLoad.h"
#include "playback/AudioOutput.h"
#include "playback/ClipSource.h"
#include "playback/ClipTimeline.h"
#include "playback/OutputAnalysis.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tarvocore {

// The whole core behind the C entry points: the catalogue, the loaded game,
// the clip playing, the output with its level and silence reports, and the
// recording. Every message is sent from inside one of these calls, on the
// caller's thread: a game loads on a thread of its own, and its outcome is
// told by the next service call after it is known.
class CSoundCore {
public:
    static constexpr const char* kVersion = "1.0.0";

    static constexpr const char* kEmulatorProgram = "tarvo-emulator";
    // 30 ms of sound, the player's timer period.
    static constexpr int kLevelReportFrames = 1323;

    // Reads the catalogue from `coreFolder`, where the emulator program is
    // too unless SetEmulatorProgram said otherwise; messages 13 report a
    // missing file and malformed lines.
    void Init(void* user, CoreMessageCallback callback, const std::string& coreFolder);
    void SetEmulatorProgram(const std::string& path) { m_emulator.SetProgram(path); }
    // The user's own catalogue, read after the shipped one when it exists.
    void SetUserCatalogue(const std::string& path) { m_userCatalogue = path; }
    CEmulatorProcess& Emulator() { return m_emulator; }
    void Shutdown();

    int GetInt(int code, int argument) const;
    int TuneTableInt(int code, int clip) const;
    const char* GetString(int code, int argument);
    void Command(int code, int argument);
    void SetOption(int code, int value);

    // Waits until a game's load and a clip's start under way are done; the
    // next service call tells of them (for tools and tests: the player never
    // waits).
    void WaitForStarts() {
        if (m_load) m_load->Wait();
        if (m_clipStart) m_clipStart->Wait();
        if (m_seek) m_seek->Wait();
        if (m_export) m_export->Wait();
    }

    bool HoldsSoundDevice() const { return m_output.HoldsDevice(); }

    // Renders and delivers this many frames at once (the service path without
    // a device's pacing); used by the service call, tests and benchmarks.
    void Render(int frameCount);

private:
    int Send(int code, void* first = nullptr, int second = 0);
    std::string AskPath(int code, const std::string& initial, int* answer = nullptr);
    void SendError(const std::string& text);
    void StartGame(int clip);
    bool AskArchivePath(std::string& path);
    void FinishLoad();
    void CancelLoad();
    void StartLoadedGame(int clip);
    void PlayClip(int clip);
    bool PrepareClip(const ClipLocation& location, const std::vector<bool>& muted,
                     std::string& error);
    void FinishClipStart();
    void WaitForClipStart();
    int16_t* RenderClip(int frameCount);
    void Unload();
    void ForgetGame();
    void Service();
    void SetRecording(bool on);
    void OpenOutputOnce();
    void SendLevels(const int16_t* frames, int frameCount);
    void ReloadCatalogue();
    // A clip's length as it plays and exports, -1 when unknown.
    int LengthOf(const ClipLocation& clip) const;
    int FadeOf(const ClipLocation& clip) const;
    void StartClipEnd(const ClipLocation* clip);
    // Seeking and voices (SoundCoreSeek.cpp).
    long HeardFrame() const;
    void Seek(int ms, bool showBusy = true);
    void FinishSeek();
    void CancelSeek();
    void RestartOutput();
    void SetVoiceMuted(int voice, bool muted);
    void ApplyMutes();
    void OnClipJobDone();
    CCatalogue ReadCatalogues() const;
    void ExportClip(int clip);
    void FinishExport();
    void CancelExport();
    SoundTags TagsOf(int clip) const;

    void* m_user = nullptr;
    CoreMessageCallback m_callback = nullptr;
    CCatalogue m_catalogue;
    std::string m_userCatalogue;
    std::string m_coreFolder;
    std::string m_versionText;

    int m_chosenGame = -1;
    int m_loadedGame = -1;
    // The load in progress, the game and clip it is for, and cancelled loads
    // still finishing the file they were reading.
    std::unique_ptr<CGameLoad> m_load;
    int m_loadingGame = -1;
    int m_loadClip = -1;
    std::vector<std::unique_ptr<CGameLoad>> m_cancelledLoads;
    bool m_waitsForLoads = false; // rendering offline: nothing real-time waits
    int m_currentClip = 0;
    std::shared_ptr<const CRomArchive> m_archive;
    CGameClips m_clips;
    CEmulatorProcess m_emulator;
    // The emulator and the clip's source belong to the job under way (a clip
    // start or a seek) while one runs, else to the caller's thread: nothing
    // else touches them until the job has been waited for.
    CClipSource m_source{m_emulator};
    std::string m_sourceName;                    // the file the clip plays, for messages
    std::unique_ptr<CBackgroundJob> m_clipStart; // the clip's file on its way to the emulator
    bool m_clipStarted = false;
    std::string m_clipStartError;
    // The voices of the last clip start or seek that finished: what the
    // caller's thread answers, whatever a job is doing.
    std::vector<std::string> m_voices;

    CAudioOutput m_output;
    bool m_outputTried = false;
    bool m_paused = false;
    CSilenceDetector m_silence;
    CNormalizer m_normalizer;
    CFadeOut m_fade;
    CSoundFileWriter m_recording;
    bool m_recordingFailed = false; // told once; the rest of the take is dropped
    std::array<int16_t, kLevelReportFrames * 2> m_levelReport{};
    int m_levelFill = 0;
    std::vector<int16_t> m_buffer;
    std::unique_ptr<CClipExport> m_export;
    // Cancelled exports end by themselves on their threads; nothing waits for them.
    std::vector<std::unique_ptr<CClipExport>> m_cancelledExports;
    int m_exportClip = -1;
    int m_exportMs = 0; // 0: each clip's known length
    // How tunes of known length end, and where the clip playing stands.
    bool m_endAtLength = true;
    int m_loopCount = 2;
    int m_tuneFadeMs = 8000;
    CClipTimeline m_timeline;
    double m_queuedFrames = 0; // rendered and not yet heard, at the last render
    // A seek under way on a thread of its own, and the one asked for meanwhile.
    std::unique_ptr<CBackgroundJob> m_seek;
    int m_seekMs = 0;
    bool m_seekDone = false;
    std::string m_seekError;
    bool m_seekToldBusy = false;
    int m_nextSeekMs = -1;
    // The loaded game's muted voices, and whether the emulator has yet to hear of them.
    std::vector<bool> m_mutedVoices;
    bool m_mutesPending = false;
};

} // namespace tarvocore
