// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SoundCore.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>

namespace tarvocore {

// The player writes a file's name into a buffer of the agreed size; empty
// when it gave none. `answer` is what it returned.
std::string CSoundCore::AskPath(int code, const std::string& initial, int* answer) {
    std::vector<char> buffer(CORE_PATH_BUFFER_SIZE, '\0');
    std::memcpy(buffer.data(), initial.data(), std::min(initial.size(), buffer.size() - 1));
    const int answered = Send(code, buffer.data());
    if (answer) *answer = answered;
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

void CSoundCore::Init(void* user, CoreMessageCallback callback, const std::string& coreFolder) {
    m_user = user;
    m_callback = callback;
    if (m_emulator.Program().empty()) m_emulator.SetProgram(coreFolder + kEmulatorProgram);
    m_coreFolder = coreFolder;
    m_catalogue = ReadCatalogues();
    for (const std::string& problem : m_catalogue.Problems())
        SendError(problem);
    std::string openmpt = TARVO_OPENMPT_VERSION;
    openmpt = openmpt.substr(0, openmpt.find('+'));
    m_versionText = std::string(kVersion) + " (libgme " + TARVO_LIBGME_VERSION + ", libsidplayfp " +
                    TARVO_SIDPLAYFP_VERSION + ", libopenmpt " + openmpt + ", AdPlug " +
                    TARVO_ADPLUG_VERSION + ")";
}

void CSoundCore::Shutdown() {
    CancelSeek();
    WaitForClipStart();
    CancelLoad();
    m_cancelledLoads.clear();
    m_export.reset(); // cancelled: its file goes
    m_cancelledExports.clear();
    m_recording.Close();
    m_source.StartSilence();
    m_emulator.Kill();
    m_archive.reset();
    m_output.Close();
    m_outputTried = false;
    m_loadedGame = -1;
    m_callback = nullptr;
}

int CSoundCore::Send(int code, void* first, int second) {
    return m_callback ? m_callback(m_user, code, first, second) : 0;
}

void CSoundCore::SendError(const std::string& text) {
    std::string copy = text;
    Send(CORE_MSG_ERROR, copy.data());
}

int CSoundCore::TuneTableInt(int code, int clip) const {
    const ClipLocation* tune = m_loadedGame >= 0 ? m_clips.Find(clip) : nullptr;
    switch (code) {
    case CORE_INT_TUNE_TABLE:
        return 1;
    case CORE_INT_LAST_TUNE:
        return m_loadedGame >= 0 ? m_clips.HighestClip() : -1;
    case CORE_INT_HAS_TUNE:
        return tune ? 1 : 0;
    default:
        return tune ? LengthOf(*tune) : -1;
    }
}

int CSoundCore::GetInt(int code, int argument) const {
    const auto& games = m_catalogue.Games();
    if (code >= CORE_INT_TUNE_TABLE && code <= CORE_INT_TUNE_LENGTH)
        return TuneTableInt(code, argument);
    switch (code) {
    case CORE_INT_GAME_COUNT:
        return static_cast<int>(games.size());
    case CORE_INT_CURRENT_CLIP:
        return m_currentClip;
    case CORE_INT_LOADED_GAME:
        return m_loadedGame;
    case CORE_INT_EXPORT_PROGRESS:
        return m_export ? m_export->Permille() : -1;
    case CORE_INT_POSITION_MS:
        return static_cast<int>(HeardFrame() * 1000 / kSampleRate);
    case CORE_INT_VOICE_COUNT:
        return static_cast<int>(m_voices.size());
    case CORE_INT_VOICE_MUTED:
        return argument >= 0 && static_cast<size_t>(argument) < m_mutedVoices.size() &&
                       m_mutedVoices[static_cast<size_t>(argument)]
                   ? 1
                   : 0;
    case CORE_INT_GAME_IS_ADDED:
        return argument >= 0 && argument < static_cast<int>(games.size()) && games[argument].added
                   ? 1
                   : 0;
    case CORE_INT_DRIVER_OF_GAME:
        return argument >= 0 && argument < static_cast<int>(games.size()) ? games[argument].driver
                                                                          : -1;
    default:
        return 0;
    }
}

const char* CSoundCore::GetString(int code, int argument) {
    const auto& games = m_catalogue.Games();
    if (code == CORE_STR_VERSION) return m_versionText.c_str();
    if (code == CORE_STR_TUNE_TITLE) {
        const ClipLocation* tune = m_loadedGame >= 0 ? m_clips.Find(argument) : nullptr;
        return tune ? tune->title.c_str() : "";
    }
    if (code == CORE_STR_VOICE_NAME) {
        return argument >= 0 && static_cast<size_t>(argument) < m_voices.size()
                   ? m_voices[static_cast<size_t>(argument)].c_str()
                   : "";
    }
    if (code == CORE_STR_DRIVER_NAME) {
        const auto& drivers = m_catalogue.Drivers();
        return argument >= 0 && argument < static_cast<int>(drivers.size())
                   ? drivers[argument].c_str()
                   : "";
    }
    if (argument < 0 || argument >= static_cast<int>(games.size())) return "";
    const CatalogueGame& game = games[argument];
    switch (code) {
    case CORE_STR_ROM_NAME:
        return game.romName.c_str();
    case CORE_STR_TITLE:
        return game.title.c_str();
    case CORE_STR_EXTRA_INFO:
        return game.extraInfo.c_str();
    case CORE_STR_MANUFACTURER:
        return game.manufacturer.c_str();
    default:
        return "";
    }
}

void CSoundCore::Command(int code, int argument) {
    switch (code) {
    case CORE_CMD_PLAY_CLIP:
        PlayClip(argument);
        break;
    case CORE_CMD_START_GAME:
        StartGame(argument);
        break;
    case CORE_CMD_UNLOAD:
        Unload();
        break;
    case CORE_CMD_PAUSE:
        m_paused = true;
        m_output.SetPaused(true);
        break;
    case CORE_CMD_RESUME:
        m_paused = false;
        m_output.SetPaused(false);
        break;
    case CORE_CMD_SERVICE:
        Service();
        break;
    case CORE_CMD_EXPORT_CLIP:
        ExportClip(argument);
        break;
    case CORE_CMD_CANCEL_EXPORT:
        CancelExport();
        break;
    case CORE_CMD_RELOAD_CATALOGUE:
        ReloadCatalogue();
        break;
    case CORE_CMD_SEEK:
        Seek(argument);
        break;
    case CORE_CMD_MUTE_VOICE:
    case CORE_CMD_UNMUTE_VOICE:
        SetVoiceMuted(argument, code == CORE_CMD_MUTE_VOICE);
        break;
    default:
        break;
    }
}

void CSoundCore::SetOption(int code, int value) {
    switch (code) {
    case CORE_OPT_GAME:
        m_chosenGame = value;
        break;
    case CORE_OPT_RECORD:
        SetRecording(value != 0);
        break;
    case CORE_OPT_NORMALIZE:
        m_normalizer.SetEnabled(value != 0);
        m_normalizer.Reset();
        break;
    case CORE_OPT_FIXED_RENDER_MS:
        m_output.SetOffline(value);
        m_waitsForLoads = value > 0;
        m_source.SetBlockWait(value > 0 ? CEmulatorProcess::kBlockLimitMs
                                        : CClipSource::kRealTimeBlockWaitMs);
        break;
    case CORE_OPT_EXPORT_MS:
        m_exportMs = std::max(value, 0);
        break;
    case CORE_OPT_END_AT_LENGTH:
        m_endAtLength = value != 0;
        break;
    case CORE_OPT_LOOP_COUNT:
        m_loopCount = std::clamp(value, 1, 100);
        break;
    case CORE_OPT_TUNE_FADE_MS:
        m_tuneFadeMs = std::clamp(value, 0, 60000);
        break;
    case CORE_OPT_FADE_OUT_MS:
        if (value > 0)
            m_fade.Start(static_cast<long>(value) * kSampleRate / 1000);
        else
            m_fade.Cancel();
        break;
    default:
        break;
    }
}

void CSoundCore::StartGame(int clip) {
    Send(CORE_MSG_BUSY);
    CancelLoad();
    ForgetGame();
    std::string path;
    if (!AskArchivePath(path)) {
        Send(CORE_MSG_LOAD_FAILED);
        return;
    }
    m_load = std::make_unique<CGameLoad>(path, m_emulator.Program());
    m_loadingGame = m_chosenGame;
    m_loadClip = clip;
    if (!m_waitsForLoads) return;
    WaitForStarts();
    FinishLoad();
}

bool CSoundCore::AskArchivePath(std::string& path) {
    const auto& games = m_catalogue.Games();
    if (m_chosenGame < 0 || m_chosenGame >= static_cast<int>(games.size())) return false;
    int answer = 0;
    path = AskPath(CORE_MSG_ROM_PATH, games[m_chosenGame].romName + ".zip", &answer);
    return answer != 0 && !path.empty();
}

// A load that is no longer wanted ends by itself after the file it reads;
// nothing waits for it, and what it found is never told.
void CSoundCore::CancelLoad() {
    if (!m_load) return;
    m_load->Cancel();
    m_cancelledLoads.push_back(std::move(m_load));
}

void CSoundCore::FinishLoad() {
    const std::unique_ptr<CGameLoad> load = std::move(m_load);
    for (const std::string& message : load->Messages())
        SendError(message);
    if (!load->Succeeded()) {
        Send(CORE_MSG_LOAD_FAILED);
        return;
    }
    m_archive = load->TakeArchive();
    m_clips = load->TakeClips();
    if (m_loadingGame != m_loadedGame) m_mutedVoices.clear(); // the game loaded again keeps them
    m_loadedGame = m_loadingGame;
    StartLoadedGame(m_loadClip);
}

void CSoundCore::StartLoadedGame(int clip) {
    std::string title = m_catalogue.Games()[m_loadedGame].title;
    Send(CORE_MSG_GAME_LOADED, title.data());
    std::string details = m_clips.Details();
    Send(CORE_MSG_DRIVER_INFO, details.data());
    OpenOutputOnce();
    if (clip >= 0) {
        PlayClip(clip);
        return;
    }
    m_currentClip = m_clips.LowestClip();
    m_source.StartSilence();
    m_paused = true;
    m_output.SetPaused(true);
    Send(CORE_MSG_STOPPED);
}

// A clip's file is checked and handed to the emulator on a thread of its own:
// a large file takes a while, and the caller's thread goes on meanwhile. The
// clip is told started once it is.
void CSoundCore::PlayClip(int clip) {
    if (m_load) m_loadClip = clip; // played once the game is loaded
    if (m_loadedGame < 0) return;
    CancelSeek();
    WaitForClipStart();
    m_currentClip = clip;
    m_source.StartSilence();
    m_fade.Cancel();
    RestartOutput();
    const ClipLocation* location = clip == CORE_SILENCE_CLIP ? nullptr : m_clips.Find(clip);
    StartClipEnd(location);
    if (!location) {
        m_voices.clear();
        Send(CORE_MSG_CLIP_STARTED, nullptr, clip);
        return;
    }
    m_sourceName = location->member->name;
    m_clipStartError.clear();
    m_emulator.Launch(m_clipStartError); // on this thread, which outlives the job
    // The job starts with the mutes as they are now; any made meanwhile are
    // applied once it is done.
    m_clipStart = std::make_unique<CBackgroundJob>([this, location, muted = m_mutedVoices] {
        m_clipStarted = PrepareClip(*location, muted, m_clipStartError);
    });
    if (m_waitsForLoads) FinishClipStart();
}

void CSoundCore::FinishClipStart() {
    WaitForClipStart();
    m_voices = m_source.Voices();
    if (!m_clipStarted) {
        m_source.StartSilence();
        SendError("Clip " + std::to_string(m_currentClip) +
                  " cannot be played: " + m_clipStartError);
    }
    Send(CORE_MSG_CLIP_STARTED, nullptr, m_currentClip);
    OnClipJobDone();
}

// Before anything else uses the emulator or the clip's file.
void CSoundCore::WaitForClipStart() {
    if (!m_clipStart) return;
    m_clipStart->Wait();
    m_clipStart.reset();
}

bool CSoundCore::PrepareClip(const ClipLocation& location, const std::vector<bool>& muted,
                             std::string& error) {
    const ArchiveMember& member = *location.member;
    Bytes data;
    const Bytes trackList = m_clips.TrackListFor(*m_archive);
    if (!CGameClips::PrepareData(member, data, error) ||
        !m_source.Start(member.name, data, trackList, {location.track, muted}, error)) {
        error = member.name + ": " + error;
        return false;
    }
    return true;
}

void CSoundCore::ForgetGame() {
    CancelSeek();
    WaitForClipStart();
    m_source.StartSilence();
    m_voices.clear();
    m_archive.reset();
    m_loadedGame = -1;
    m_currentClip = 0;
    m_output.Flush();
}

void CSoundCore::Unload() {
    CancelLoad();
    ForgetGame();
    m_output.SetPaused(true); // nothing plays until a game loads: the device is let go
    Send(CORE_MSG_GAME_GONE);
}

void CSoundCore::OpenOutputOnce() {
    if (m_outputTried) return;
    m_outputTried = true;
    std::string error;
    if (!m_output.Open(error)) SendError(error);
    m_output.SetPaused(m_paused);
}

void CSoundCore::Service() {
    std::erase_if(m_cancelledLoads, [](const auto& load) { return load->Done(); });
    std::erase_if(m_cancelledExports, [](const auto& job) { return job->Done(); });
    if (m_export && m_export->Done()) FinishExport();
    if (m_load && m_load->Done()) FinishLoad();
    if (m_clipStart) {
        if (!m_clipStart->Done()) return; // nothing plays until the clip has started
        FinishClipStart();
    }
    if (m_seek) {
        if (!m_seek->Done()) {
            if (!m_seekToldBusy) Send(CORE_MSG_BUSY); // a seek that takes a while is shown
            m_seekToldBusy = true;
            return;
        }
        FinishSeek();
    }
    if (m_loadedGame < 0 || m_paused) return;
    Render(m_output.FramesWanted());
}

int16_t* CSoundCore::RenderClip(int frameCount) {
    bool stopped = false;
    std::string error;
    int16_t* frames = m_source.Render(m_buffer.data(), frameCount, stopped, error);
    if (stopped) SendError(m_sourceName + " " + error); // the clip goes on as silence
    return frames;
}

void CSoundCore::Render(int frameCount) {
    if (frameCount <= 0 || m_loadedGame < 0) return;
    m_buffer.resize(static_cast<size_t>(frameCount) * 2);
    int16_t* frames = RenderClip(frameCount);
    m_timeline.Process(frames, frameCount);
    m_normalizer.Process(frames, frameCount);
    m_fade.Process(frames, frameCount);
    m_output.Queue(frames, frameCount);
    m_queuedFrames = m_output.QueuedFrames();
    std::string error;
    if (!m_recordingFailed && !m_recording.Write(frames, frameCount, error)) {
        m_recordingFailed = true;
        SendError(error);
    }
    SendLevels(frames, frameCount);
    for (int reports = m_silence.Feed(frames, frameCount); reports > 0; --reports)
        Send(CORE_MSG_SILENCE);
}

// Level reports keep one size whatever the device asks for at once: the
// player counts them (a clip with too few audible ones is blank) and delays
// the meters by a number of them.
void CSoundCore::SendLevels(const int16_t* frames, int frameCount) {
    while (frameCount > 0) {
        const int wanted = kLevelReportFrames - m_levelFill;
        const int taken = std::min(wanted, frameCount);
        std::copy_n(frames, taken * 2, m_levelReport.begin() + m_levelFill * 2);
        m_levelFill += taken;
        frames += taken * 2;
        frameCount -= taken;
        if (m_levelFill < kLevelReportFrames) return;
        m_levelFill = 0;
        Send(CORE_MSG_LEVELS, m_levelReport.data(), kLevelReportFrames);
    }
}

void CSoundCore::SetRecording(bool on) {
    std::string error;
    if (!on) {
        if (!m_recording.Close(error) && !m_recordingFailed) SendError(error);
        return;
    }
    m_recordingFailed = false;
    const std::string path = AskPath(CORE_MSG_WAV_PATH, "");
    if (path.empty())
        SendError("No file name was given for the recording");
    else if (!m_recording.Open(path, {}, error))
        SendError(error);
}

int CSoundCore::LengthOf(const ClipLocation& clip) const {
    if (clip.loopMs <= 0) return clip.lengthMs;
    const long long length = static_cast<long long>(clip.introMs) +
                             static_cast<long long>(m_loopCount) * clip.loopMs + m_tuneFadeMs;
    return static_cast<int>(std::min<long long>(length, std::numeric_limits<int>::max()));
}

// A tune that loops fades out while its loop goes on; a length a file states
// is the tune's whole.
int CSoundCore::FadeOf(const ClipLocation& clip) const {
    return clip.loopMs > 0 ? m_tuneFadeMs : 0;
}

void CSoundCore::StartClipEnd(const ClipLocation* clip) {
    const int length = clip ? LengthOf(*clip) : -1;
    if (!m_endAtLength || length <= 0) {
        m_timeline.Start(-1, 0);
        return;
    }
    m_timeline.Start(static_cast<long>(length) * kSampleRate / 1000,
                     static_cast<long>(FadeOf(*clip)) * kSampleRate / 1000);
}

// Games added meanwhile (by tarvo-add) come after the known ones, so every
// number the player holds still names the same game; a renamed one changes
// in place.
void CSoundCore::ReloadCatalogue() {
    m_catalogue.TakeChangesFrom(ReadCatalogues());
}

// The shipped catalogue, then the user's own when there is one.
CCatalogue CSoundCore::ReadCatalogues() const {
    CCatalogue catalogue;
    catalogue.Load(m_coreFolder + CCatalogue::kFileName);
    std::error_code error;
    if (!m_userCatalogue.empty() && std::filesystem::exists(m_userCatalogue, error))
        catalogue.Load(m_userCatalogue);
    return catalogue;
}

} // namespace tarvocore
