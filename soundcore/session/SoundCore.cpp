// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SoundCore.h"

#include <algorithm>

namespace tarvocore {

void CSoundCore::SetEmulatorProgram(const std::string& path) {
    m_emulator.SetProgram(path);
    m_loudness.SetEmulatorProgram(path);
}

void CSoundCore::Init(void* user, CoreMessageCallback callback, const std::string& coreFolder) {
    m_messenger.Connect(user, callback);
    if (m_emulator.Program().empty()) SetEmulatorProgram(coreFolder + kEmulatorProgram);
    m_session.ReadCatalogues(coreFolder);
    std::string openmpt = TARVO_OPENMPT_VERSION;
    openmpt = openmpt.substr(0, openmpt.find('+'));
    m_versionText = std::string(kVersion) + " (libgme " + TARVO_LIBGME_VERSION + ", libsidplayfp " +
                    TARVO_SIDPLAYFP_VERSION + ", libopenmpt " + openmpt + ", AdPlug " +
                    TARVO_ADPLUG_VERSION + ")";
}

void CSoundCore::Shutdown() {
    m_playback.Stop();
    m_loudness.Shutdown();
    m_session.CancelLoad();
    m_session.DropCancelledLoads(true);
    m_export.Shutdown();
    m_emulator.Kill();
    m_session.Forget();
    m_output.Close();
    m_messenger.Disconnect();
}

void CSoundCore::WaitForStarts() {
    m_session.WaitForLoad();
    m_playback.WaitForJobs();
    m_loudness.WaitForScan();
    m_export.WaitForJob();
}

int CSoundCore::TuneTableInt(int code, int clip) const {
    const ClipLocation* tune = m_session.FindClip(clip);
    switch (code) {
    case CORE_INT_TUNE_TABLE:
        return 1;
    case CORE_INT_LAST_TUNE:
        return m_session.HasGame() ? m_session.Clips().HighestClip() : -1;
    case CORE_INT_HAS_TUNE:
        return tune ? 1 : 0;
    default:
        return tune ? m_timing.LengthOf(*tune) : -1;
    }
}

int CSoundCore::GetInt(int code, int argument) const {
    const auto& games = m_session.Catalogue().Games();
    const bool isGame = argument >= 0 && argument < static_cast<int>(games.size());
    if (code >= CORE_INT_TUNE_TABLE && code <= CORE_INT_TUNE_LENGTH)
        return TuneTableInt(code, argument);
    switch (code) {
    case CORE_INT_GAME_COUNT:
        return static_cast<int>(games.size());
    case CORE_INT_CURRENT_CLIP:
        return m_playback.CurrentClip();
    case CORE_INT_LOADED_GAME:
        return m_session.LoadedGame();
    case CORE_INT_EXPORT_PROGRESS:
        return m_export.Permille();
    case CORE_INT_POSITION_MS:
        return static_cast<int>(m_output.HeardFrame() * 1000 / kSampleRate);
    case CORE_INT_VOICE_COUNT:
        return static_cast<int>(m_playback.Voices().size());
    case CORE_INT_VOICE_MUTED:
        return m_playback.VoiceMuted(argument) ? 1 : 0;
    case CORE_INT_OUTPUT_DEVICE_COUNT:
        return m_output.CountDevices();
    case CORE_INT_GAME_IS_ADDED:
        return isGame && games[argument].added ? 1 : 0;
    case CORE_INT_DRIVER_OF_GAME:
        return isGame ? games[argument].driver : -1;
    default:
        return 0;
    }
}

const char* CSoundCore::GetString(int code, int argument) {
    const std::vector<std::string>& voices = m_playback.Voices();
    const std::vector<std::string>& drivers = m_session.Catalogue().Drivers();
    switch (code) {
    case CORE_STR_VERSION:
        return m_versionText.c_str();
    case CORE_STR_TUNE_TITLE: {
        const ClipLocation* tune = m_session.FindClip(argument);
        return tune ? tune->title.c_str() : "";
    }
    case CORE_STR_VOICE_NAME:
        return argument >= 0 && static_cast<size_t>(argument) < voices.size()
                   ? voices[static_cast<size_t>(argument)].c_str()
                   : "";
    case CORE_STR_OUTPUT_DEVICE:
        return m_output.DeviceName(argument);
    case CORE_STR_DRIVER_NAME:
        return argument >= 0 && argument < static_cast<int>(drivers.size())
                   ? drivers[argument].c_str()
                   : "";
    default:
        return GameString(code, argument);
    }
}

const char* CSoundCore::GameString(int code, int game) const {
    const auto& games = m_session.Catalogue().Games();
    if (game < 0 || game >= static_cast<int>(games.size())) return "";
    const CatalogueGame& entry = games[game];
    switch (code) {
    case CORE_STR_ROM_NAME:
        return entry.romName.c_str();
    case CORE_STR_TITLE:
        return entry.title.c_str();
    case CORE_STR_EXTRA_INFO:
        return entry.extraInfo.c_str();
    case CORE_STR_MANUFACTURER:
        return entry.manufacturer.c_str();
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
    case CORE_CMD_RESUME:
        m_output.SetPaused(code == CORE_CMD_PAUSE);
        break;
    case CORE_CMD_SERVICE:
        Service();
        break;
    case CORE_CMD_EXPORT_CLIP:
        m_export.Start(argument, m_emulator.Program(), m_output.Normalizer().IsEnabled(),
                       m_offline);
        break;
    case CORE_CMD_CANCEL_EXPORT:
        m_export.Cancel();
        break;
    case CORE_CMD_RELOAD_CATALOGUE:
        m_session.ReloadCatalogue();
        break;
    case CORE_CMD_SEEK:
        m_playback.Seek(argument);
        break;
    case CORE_CMD_MUTE_VOICE:
    case CORE_CMD_UNMUTE_VOICE:
        m_playback.SetVoiceMuted(argument, code == CORE_CMD_MUTE_VOICE);
        break;
    default:
        break;
    }
}

void CSoundCore::SetOption(int code, int value) {
    switch (code) {
    case CORE_OPT_GAME:
        m_session.Choose(value);
        break;
    case CORE_OPT_RECORD:
        m_output.SetRecording(value != 0);
        break;
    case CORE_OPT_NORMALIZE:
        m_output.SetNormalize(value != 0);
        m_loudness.SetEnabled(value != 0, m_playback.CurrentClip());
        break;
    case CORE_OPT_VOLUME:
        m_output.SetVolume(value);
        break;
    case CORE_OPT_OUTPUT_DEVICE:
        m_output.SetDevice(value);
        break;
    case CORE_OPT_FIXED_RENDER_MS:
        m_output.SetOffline(value);
        m_offline = value > 0;
        m_playback.SetOffline(m_offline);
        break;
    case CORE_OPT_EXPORT_MS:
        m_export.SetLength(value);
        break;
    case CORE_OPT_END_AT_LENGTH:
        m_timing.endAtLength = value != 0;
        break;
    case CORE_OPT_LOOP_COUNT:
        m_timing.loopCount = std::clamp(value, 1, 100);
        break;
    case CORE_OPT_TUNE_FADE_MS:
        m_timing.fadeMs = std::clamp(value, 0, 60000);
        break;
    case CORE_OPT_FADE_OUT_MS:
        m_output.FadeOut(value);
        break;
    default:
        break;
    }
}

void CSoundCore::StartGame(int clip) {
    m_messenger.Send(CORE_MSG_BUSY);
    m_session.CancelLoad();
    ForgetGame();
    if (!m_session.StartLoad(clip, m_emulator.Program())) {
        m_messenger.Send(CORE_MSG_LOAD_FAILED);
        return;
    }
    if (m_offline) FinishLoad();
}

void CSoundCore::FinishLoad() {
    const CGameSession::LoadOutcome outcome = m_session.FinishLoad();
    if (!outcome.loaded) {
        m_messenger.Send(CORE_MSG_LOAD_FAILED);
        return;
    }
    if (!outcome.sameGame) m_playback.ForgetMutes(); // the game loaded again keeps them
    StartLoadedGame(outcome.clip);
}

void CSoundCore::StartLoadedGame(int clip) {
    std::string title = m_session.LoadedEntry().title;
    m_messenger.Send(CORE_MSG_GAME_LOADED, title.data());
    std::string details = m_session.Clips().Details();
    m_messenger.Send(CORE_MSG_DRIVER_INFO, details.data());
    m_output.OpenOnce();
    if (clip >= 0) {
        PlayClip(clip);
        return;
    }
    m_playback.SetCurrentClip(m_session.Clips().LowestClip());
    m_playback.Stop();
    m_output.SetPaused(true);
    m_messenger.Send(CORE_MSG_STOPPED);
}

void CSoundCore::PlayClip(int clip) {
    if (m_session.Loading()) m_session.PlayAfterLoad(clip); // played once the game is loaded
    if (!m_session.HasGame()) return;
    m_playback.Play(clip);
    m_loudness.Begin(clip, m_offline);
}

void CSoundCore::ForgetGame() {
    m_playback.Stop();
    m_loudness.Stop();
    m_session.Forget();
    m_playback.SetCurrentClip(0);
    m_output.Flush();
}

void CSoundCore::Unload() {
    m_session.CancelLoad();
    ForgetGame();
    m_output.SetPaused(true); // nothing plays until a game loads: the device is let go
    m_messenger.Send(CORE_MSG_GAME_GONE);
}

void CSoundCore::Service() {
    m_session.DropCancelledLoads();
    m_export.Service();
    m_loudness.Service();
    if (m_session.LoadDone()) FinishLoad();
    if (!m_playback.Ready() || !m_loudness.Ready() || !m_session.HasGame() || m_output.Paused())
        return;
    Render(m_output.FramesWanted());
}

void CSoundCore::Render(int frameCount) {
    if (frameCount <= 0 || !m_session.HasGame()) return;
    m_buffer.resize(static_cast<size_t>(frameCount) * 2);
    m_output.Deliver(m_playback.Render(m_buffer.data(), frameCount), frameCount);
}

} // namespace tarvocore
