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
        if (!m_status.seekPending)
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
        if (++m_status.progress.silenceReports >= 2) OnSilenceDetected();
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
        m_recorder.AnswerPath(first);
        break;
    case CORE_MSG_EXPORT_PATH:
        m_export.AnswerPath(first);
        break;
    case CORE_MSG_LOUDNESS_PATH:
        return m_setup.AnswerLoudnessPath(first);
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
    if (!m_status.playlistMode) {
        m_view.ClearClipList();
        m_status.fields.browserTitle.clear();
        m_status.playlistPos = -1;
    }
    ClearGameFields();
    m_status.fields.clipNumber = 0;
    m_view.ShowFields(m_status.fields);
    m_status.state = PlayerState::Idle;
    m_view.UpdateTransportButtons();
    m_status.currentClip = m_status.pendingClip = -1;
    m_status.progress.lengthMs = -1;
    m_status.seekPending = false;
    m_view.VoicesChanged();
    m_meters.Reset();
    m_view.UpdateMenus();
}

void CPlayerEngine::OnGameLoaded(const char* title) {
    const int before = m_status.currentGame;
    m_status.currentGame = m_core.GetInt(CORE_INT_LOADED_GAME, 0);
    // A clip still awaited of another game, or the silence played around a
    // recording, will never be told started now: nothing waits for it.
    if (m_status.currentGame != before || m_status.pendingClip == CORE_SILENCE_CLIP)
        m_status.pendingClip = -1;
    CGameEntry* game = LoadedGame();
    // No clip of the new game has started yet: the clip fields show none, so
    // nothing typed or recorded can land on a clip of the game before.
    m_status.currentClip = -1;
    m_status.fields.clipNumber = -1;
    m_status.fields.clipTitle.clear();
    if (!m_status.playlistMode) m_status.playlistPos = -1;
    m_status.fields.gameName = title ? title : "";
    if (!m_status.playlistMode) m_status.fields.browserTitle = m_status.fields.gameName;
    m_status.fields.romFile = game ? game->romName : std::string();
    m_status.fields.manufacturer = game ? game->manufacturer : std::string();
    m_view.ShowFields(m_status.fields);
    const std::vector<FoundTune> tunes = AskLoadedGameTunes(m_core);
    const bool learned = game && game->clipInfo.SeedFromTunes(tunes);
    if (game) {
        game->knownLengthsMs.clear();
        for (const FoundTune& tune : tunes)
            game->knownLengthsMs.push_back(tune.lengthMs);
    }
    if (game && game->clipInfo.lastClip < 0) game->clipInfo.SetDefaultRange();
    if (game && !m_status.playlistMode) m_view.FillClipList(*game);
    // Titles learned, or lengths now known, show in the playlist's rows.
    if (game && (learned || !tunes.empty()) && m_status.playlistMode) m_view.RefreshPlaylistRows();
    m_view.UpdateMenus();
}

void CPlayerEngine::OnDriverDetails(const char* text) {
    const std::string details = text ? text : "";
    CGameEntry* game = LoadedGame();
    if (game) game->driverDetails = details;
    m_status.fields.driverText =
        "Driver: " + (game ? game->driverName : std::string()) + "\n" + details;
    m_view.ShowFields(m_status.fields);
}

void CPlayerEngine::OnLoadFailed() {
    Unload();
    m_status.state = PlayerState::Idle;
    m_status.currentGame = -1;
    UpdateButtonsAndMenus();
    m_person.Ask([this] {
        m_dialogs.ShowMessage("An error occurred while trying to load the ROM image",
                              MessageIcon::Error);
    });
}

void CPlayerEngine::OnClipStarted(int clip) {
    if (clip == CORE_SILENCE_CLIP) return;
    const bool awaited = clip == m_status.pendingClip;
    if (awaited) m_status.pendingClip = -1; // before the fields, which tell whether it can move
    if (m_status.state != PlayerState::Recording) m_status.state = PlayerState::Playing;
    m_view.UpdateTransportButtons();
    m_status.fields.clipNumber = clip;
    m_status.currentClip = clip;
    if (!m_status.playlistMode) m_status.playlistPos = clip;
    const CGameEntry* game = LoadedGame();
    m_status.fields.clipTitle = game ? game->clipInfo.GetTitle(clip) : std::string();
    m_status.seekPending = false;
    m_listening.LearnClipLength(clip);
    m_status.progress.StartClock(0);
    FillTimeFields(true);
    m_view.ShowFields(m_status.fields);
    m_view.SelectClipRow(m_status.playlistPos);
    if (awaited) m_view.SelectIconSequence(m_status.state == PlayerState::Recording ? 4 : 1);
    m_meters.ClipStarted();
    m_status.progress.silenceReports = 0;
    m_status.progress.fading = false;
    m_status.progress.endedAtLength = false;
    m_view.VoicesChanged();
    m_view.UpdateMenus();
}

void CPlayerEngine::OnStateMessage(PlayerState state) {
    if (state == PlayerState::Busy && m_status.state != PlayerState::Busy)
        m_status.stateBeforeBusy = m_status.state;
    m_status.state = state;
    UpdateButtonsAndMenus();
}

void CPlayerEngine::OnSilenceDetected() {
    if (!m_meters.HeardSound() && m_config.AutoMark) {
        CGameEntry* game = LoadedGame();
        if (!game) return;
        if (!game->clipInfo.IsBlank(m_status.currentClip)) {
            game->clipInfo.SetBlank(m_status.currentClip, true);
            m_view.RefreshClipRow(m_status.currentClip);
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
        if (m_status.pendingClip == -1) Next();
        break;
    }
    m_view.UpdateMenus();
}

// The core is done: the clip plays on from there, paused if it was.
void CPlayerEngine::OnSeeked(int ms) {
    m_status.seekPending = false;
    m_status.progress.endedAtLength = false;
    if (m_status.state == PlayerState::Busy) m_status.state = m_status.stateBeforeBusy;
    m_status.progress.StartClock(ms / 1000);
    UpdateButtonsAndMenus();
    ShowElapsed(m_status.state != PlayerState::Paused || m_blinkPhase);
    m_view.ClipSeeked(ms);
    UpdateTicking();
}

} // namespace tarvo
