// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's reactions to the core's messages: games loaded and gone,
// clips started, states, silence, levels, and the requests it answers.
#include "core/TarvoCore.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"
#include "player/CoreRequests.h"
#include "player/PlayerEngine.h"

namespace tarvo {

int CPlayerEngine::OnCoreMessage(int code, void* first, int second) {
    const CPersonQueue::Reacting reacting(m_person);
    switch (code) {
    case CORE_MSG_GAME_GONE:
        m_export.Abandon("the game was unloaded before every clip was written");
        OnGameGone();
        break;
    case CORE_MSG_GAME_LOADED:
        OnGameLoaded(static_cast<const char*>(first));
        break;
    case CORE_MSG_DRIVER_INFO:
        OnDriverDetails(static_cast<const char*>(first));
        break;
    case CORE_MSG_LOAD_FAILED:
        OnLoadFailed();
        break;
    case CORE_MSG_CLIP_STARTED:
        OnClipStarted(second);
        break;
    case CORE_MSG_BUSY:
        if (!m_seekPending)
            m_export.Abandon("another game was loaded before every clip was written");
        OnStateMessage(PlayerState::Busy);
        break;
    case CORE_MSG_SEEKED:
        OnSeeked(second);
        break;
    case CORE_MSG_STOPPED:
        OnStateMessage(PlayerState::Stopped);
        break;
    case CORE_MSG_SILENCE:
        if (++m_progress.silenceReports >= 2) OnSilenceDetected();
        break;
    case CORE_MSG_LEVELS:
        m_meters.Take(static_cast<const int16_t*>(first), second);
        break;
    case CORE_MSG_ROM_PATH: {
        std::string problem;
        const int answer = AnswerRomPathRequest(first, m_romList, problem);
        if (!problem.empty())
            m_person.Ask([this, problem] { m_dialogs.ShowMessage(problem, MessageIcon::Error); });
        return answer;
    }
    case CORE_MSG_WAV_PATH:
        m_tempWavPath = MakeTempWavName();
        CopyToCoreBuffer(first, m_tempWavPath);
        break;
    case CORE_MSG_EXPORT_PATH:
        m_export.AnswerPath(first);
        break;
    case CORE_MSG_EXPORTED:
        m_export.OnExported(static_cast<const char*>(first), second);
        break;
    case CORE_MSG_ERROR:
        m_person.Ask([this, text = std::string(first ? static_cast<const char*>(first) : "")] {
            ShowCoreError(text.c_str(), m_dialogs);
        });
        break;
    default:
        break;
    }
    UpdateTicking();
    return 0;
}

void CPlayerEngine::OnGameGone() {
    if (!m_playlistMode) {
        m_view.ClearClipList();
        m_fields.browserTitle.clear();
        m_playlistPos = -1;
    }
    ClearGameFields();
    m_fields.clipNumber = 0;
    m_view.ShowFields(m_fields);
    m_state = PlayerState::Idle;
    m_view.UpdateTransportButtons();
    m_currentClip = m_pendingClip = -1;
    m_progress.lengthMs = -1;
    m_seekPending = false;
    m_view.VoicesChanged();
    m_meters.Reset();
    m_view.UpdateMenus();
}

void CPlayerEngine::OnGameLoaded(const char* title) {
    const int before = m_currentGame;
    m_currentGame = m_core.GetInt(CORE_INT_LOADED_GAME, 0);
    // A clip still awaited of another game, or the silence played around a
    // recording, will never be told started now: nothing waits for it.
    if (m_currentGame != before || m_pendingClip == CORE_SILENCE_CLIP) m_pendingClip = -1;
    CGameEntry* game = LoadedGame();
    // No clip of the new game has started yet: the clip fields show none, so
    // nothing typed or recorded can land on a clip of the game before.
    m_currentClip = -1;
    m_fields.clipNumber = -1;
    m_fields.clipTitle.clear();
    if (!m_playlistMode) m_playlistPos = -1;
    m_fields.gameName = title ? title : "";
    if (!m_playlistMode) m_fields.browserTitle = m_fields.gameName;
    m_fields.romFile = game ? game->romName : std::string();
    m_fields.manufacturer = game ? game->manufacturer : std::string();
    m_view.ShowFields(m_fields);
    const bool learned = game && game->clipInfo.SeedFromTunes(AskLoadedGameTunes(m_core));
    if (game && game->clipInfo.lastClip < 0) game->clipInfo.SetDefaultRange();
    if (game && !m_playlistMode) m_view.FillClipList(*game);
    if (learned && m_playlistMode) m_view.RefreshPlaylistRows();
    m_view.UpdateMenus();
}

void CPlayerEngine::OnDriverDetails(const char* text) {
    const std::string details = text ? text : "";
    CGameEntry* game = LoadedGame();
    if (game) game->driverDetails = details;
    m_fields.driverText = "Driver: " + (game ? game->driverName : std::string()) + "\n" + details;
    m_view.ShowFields(m_fields);
}

void CPlayerEngine::OnLoadFailed() {
    Unload();
    m_state = PlayerState::Idle;
    m_currentGame = -1;
    UpdateButtonsAndMenus();
    m_person.Ask([this] {
        m_dialogs.ShowMessage("An error occurred while trying to load the ROM image",
                              MessageIcon::Error);
    });
}

void CPlayerEngine::OnClipStarted(int clip) {
    if (clip == CORE_SILENCE_CLIP) return;
    const bool awaited = clip == m_pendingClip;
    if (awaited) m_pendingClip = -1; // before the fields, which tell whether it can move
    if (m_state != PlayerState::Recording) m_state = PlayerState::Playing;
    m_view.UpdateTransportButtons();
    m_fields.clipNumber = clip;
    m_currentClip = clip;
    if (!m_playlistMode) m_playlistPos = clip;
    const CGameEntry* game = LoadedGame();
    m_fields.clipTitle = game ? game->clipInfo.GetTitle(clip) : std::string();
    m_seekPending = false;
    LearnClipLength(clip);
    m_progress.StartClock(0);
    FillTimeFields(true);
    m_view.ShowFields(m_fields);
    m_view.SelectClipRow(m_playlistPos);
    if (awaited) m_view.SelectIconSequence(m_state == PlayerState::Recording ? 4 : 1);
    m_meters.ClipStarted();
    m_progress.silenceReports = 0;
    m_progress.fading = false;
    m_progress.endedAtLength = false;
    m_view.VoicesChanged();
    m_view.UpdateMenus();
}

void CPlayerEngine::OnStateMessage(PlayerState state) {
    if (state == PlayerState::Busy && m_state != PlayerState::Busy) m_stateBeforeBusy = m_state;
    m_state = state;
    UpdateButtonsAndMenus();
}

void CPlayerEngine::OnSilenceDetected() {
    if (!m_meters.HeardSound() && m_config.AutoMark) {
        CGameEntry* game = LoadedGame();
        if (!game) return;
        if (!game->clipInfo.IsBlank(m_currentClip)) {
            game->clipInfo.SetBlank(m_currentClip, true);
            m_view.RefreshClipRow(m_currentClip);
        }
    }
    switch (static_cast<OnSilencePolicy>(m_config.OnSilence)) {
    case OnSilencePolicy::DoNothing:
        break;
    case OnSilencePolicy::StopPlayer:
        StopPlayer();
        break;
    case OnSilencePolicy::RepeatClip:
        PlayClip(-1);
        break;
    case OnSilencePolicy::NextClip:
        if (m_pendingClip == -1) Next();
        break;
    }
    m_view.UpdateMenus();
}

} // namespace tarvo
