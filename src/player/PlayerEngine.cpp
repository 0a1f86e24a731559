// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerEngine.h"

#include "core/TarvoCore.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"
#include "player/CoreRequests.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistMoves.h"
#include "settings/SettingsFile.h"

namespace tarvo {

CPlayerEngine::CPlayerEngine(ICore& core, CROMList& romList, CPlaylist& playlist, Config& config,
                             CSettingsFile& settings, IDialogs& dialogs, IPlayerView& view,
                             std::string programFolder, EngineClock clock)
    : m_core(core),
      m_setup(m_core, romList, playlist, config, settings, dialogs, std::move(programFolder)),
      m_romList(romList), m_playlist(playlist), m_config(config), m_dialogs(dialogs), m_view(view),
      m_clock(std::move(clock)), m_order(m_status, romList, playlist, config, m_clock.random),
      m_listening(m_core, m_status, config,
                  [this] {
                      ShowElapsed(true);
                      UpdateTicking();
                  }),
      m_recorder(m_core, m_status, view, m_person, dialogs, config, m_setup.ProgramFolder(),
                 m_clock.now) {
    m_status.progress.now = m_clock.now;
}

void CPlayerEngine::Start() {
    m_status.state = PlayerState::Idle;
    m_status.pendingClip = -1;
    m_view.UpdateTransportButtons();
    m_meters.Reset();
    m_clockSubdivider = 6;
    UpdateTicking();
}

CGameEntry* CPlayerEngine::LoadedGame() {
    return m_romList.GetEntry(m_status.currentGame);
}
const CGameEntry* CPlayerEngine::LoadedGame() const {
    return m_romList.GetEntry(m_status.currentGame);
}

void CPlayerEngine::UpdateButtonsAndMenus() {
    m_view.UpdateTransportButtons();
    m_view.UpdateMenus();
    UpdateTicking();
}

// --- Playing -------------------------------------------------------------

void CPlayerEngine::PlayClip(int n) {
    if (n == -1) {
        n = m_core.GetInt(CORE_INT_CURRENT_CLIP, 0);
    } else if (m_status.playlistMode) {
        const CGameEntry* game = m_playlist.GetGame(n);
        if (!game) return;
        const int clip = m_playlist.GetClip(n);
        if (game != LoadedGame()) {
            LoadGame(m_romList.FindGameIndex(game->romName), clip);
            return;
        }
        n = clip;
    }
    m_status.pendingClip = n;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, n);
    m_status.progress.silenceReports = 0;
    m_view.UpdateMenus();
    UpdateTicking();
}

void CPlayerEngine::LoadGame(int game, int clip) {
    if (game != -1) m_core.SetOption(CORE_OPT_GAME, game);
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_START_GAME, clip);
}

void CPlayerEngine::ClearGameFields() {
    m_status.fields.gameName.clear();
    m_status.fields.romFile.clear();
    m_status.fields.parent.clear();
    m_status.fields.manufacturer.clear();
    m_status.fields.driverText.clear();
    m_status.fields.clipTitle.clear();
}

void CPlayerEngine::Unload() {
    m_core.Command(CORE_CMD_UNLOAD, 0);
    ClearGameFields();
    m_status.fields.clipNumber = -1;
    if (!m_status.playlistMode) {
        m_view.ClearClipList();
        m_status.fields.browserTitle.clear();
    }
    m_view.ShowFields(m_status.fields);
    m_status.state = PlayerState::Idle;
    UpdateButtonsAndMenus();
}

void CPlayerEngine::StopPlayer() {
    switch (m_status.StateOfTheClip()) {
    case PlayerState::Idle:
        break;
    case PlayerState::Busy: // the game loading is not wanted after all
        Unload();
        return;
    case PlayerState::Stopped:
        m_core.Command(CORE_CMD_PAUSE, 0);
        m_status.pendingClip = -1;
        break;
    case PlayerState::Recording:
    case PlayerState::RecordingPaused:
        m_recorder.Save(LoadedGame());
        [[fallthrough]];
    case PlayerState::Playing:
    case PlayerState::Paused:
        m_status.pendingClip = -1;
        m_core.Command(CORE_CMD_PAUSE, 0);
        m_status.state = PlayerState::Stopped;
        break;
    }
    UpdateButtonsAndMenus();
}

// During a seek the transport acts on the clip as it was before the seek.
void CPlayerEngine::Play() {
    PlayerState& clipState = m_status.Seeking() ? m_status.stateBeforeBusy : m_status.state;
    switch (clipState) {
    case PlayerState::Idle:
    case PlayerState::Busy:
        Next();
        break;
    case PlayerState::Stopped:
        if (m_status.currentClip >= 0)
            PlayClip(-1);
        else if (const int clip = m_order.ClipToStart(); clip >= 0)
            PlayClip(clip);
        break;
    case PlayerState::Playing:
        m_core.Command(CORE_CMD_PAUSE, 0);
        clipState = PlayerState::Paused;
        break;
    case PlayerState::Paused:
        m_core.Command(CORE_CMD_RESUME, 0);
        clipState = PlayerState::Playing;
        break;
    case PlayerState::Recording:
        m_core.Command(CORE_CMD_PAUSE, 0);
        clipState = PlayerState::RecordingPaused;
        break;
    case PlayerState::RecordingPaused:
        m_core.Command(CORE_CMD_RESUME, 0);
        clipState = PlayerState::Recording;
        break;
    }
    UpdateButtonsAndMenus();
}

void CPlayerEngine::Rec() {
    const PlayerState state = m_status.StateOfTheClip();
    if (state == PlayerState::Stopped || state == PlayerState::Playing ||
        state == PlayerState::Paused)
        m_recorder.Start(m_order.ClipToStart());
    else if (IsRecording(state))
        m_recorder.Save(LoadedGame());
}

void CPlayerEngine::Next() {
    m_status.playlistPos = m_order.NextTarget(-1);
    const PlayerState state = m_status.StateOfTheClip();
    if (state == PlayerState::Idle || state == PlayerState::Busy) {
        if (m_status.playlistMode) PlayClip(m_status.playlistPos);
        return;
    }
    if (IsRecording(state)) StopPlayer();
    PlayClip(m_status.playlistPos);
}

void CPlayerEngine::Prev() {
    m_status.playlistPos = m_order.PrevTarget(-1);
    const PlayerState state = m_status.StateOfTheClip();
    if (state == PlayerState::Idle || state == PlayerState::Busy) return;
    if (IsRecording(state)) StopPlayer();
    PlayClip(m_status.playlistPos);
}

// --- What the window asks ------------------------------------------------

void CPlayerEngine::SetPlaylistMode(bool on) {
    m_status.playlistMode = on;
    m_config.PlaylistMode = on ? 1 : 0;
}

void CPlayerEngine::SetBrowserTitle(const std::string& title) {
    m_status.fields.browserTitle = title;
    m_view.ShowFields(m_status.fields);
}

void CPlayerEngine::ShowClipInformation() {
    const CGameEntry* game = LoadedGame();
    if (!game) return;
    m_status.fields.clipTitle = game->clipInfo.GetTitle(m_status.currentClip);
    m_view.ShowFields(m_status.fields);
}

// A number typed in ROM mode plays that clip, unless it is playing already;
// in Playlist mode the field only shows.
void CPlayerEngine::TypeClipNumber(int clip) {
    if (m_status.playlistMode) {
        m_view.ShowFields(m_status.fields);
        return;
    }
    m_status.fields.clipNumber = clip;
    if (clip == m_status.currentClip && m_status.state == PlayerState::Playing) return;
    StopPlayer();
    PlayClip(clip);
}

// A title typed for the current clip is its title from now on; without a
// clip the field shows what it showed.
void CPlayerEngine::TypeClipTitle(const std::string& title) {
    CGameEntry* game = LoadedGame();
    if (!game || m_status.currentClip < 0) {
        m_view.ShowFields(m_status.fields);
        return;
    }
    if (title == game->clipInfo.GetTitle(m_status.currentClip)) return;
    game->clipInfo.SetTitle(m_status.currentClip, title);
    m_status.fields.clipTitle = game->clipInfo.GetTitle(m_status.currentClip);
    m_view.ShowFields(m_status.fields); // the field shows the title as stored: on one line
    m_view.RefreshClipRow(m_status.currentClip);
}

void CPlayerEngine::PlayChosen(int clipOrPosition) {
    StopPlayer();
    if (m_status.playlistMode) m_status.playlistPos = clipOrPosition;
    PlayClip(clipOrPosition);
}

void CPlayerEngine::FollowMovedEntry(PlaylistMove move, int index, int count) {
    m_status.playlistPos = PositionAfterMove(move, m_status.playlistPos, index, count);
}

// The clip playing stays when the playlist holds it. Otherwise nothing that
// the playlist does not hold may go on: an idle or stopped game is unloaded,
// a playing one stopped.
void CPlayerEngine::FindPlayingEntry(bool startIfAbsent) {
    const CGameEntry* game = LoadedGame();
    m_status.playlistPos =
        game && m_status.currentClip >= 0 ? m_playlist.FindEntry(game, m_status.currentClip) : -1;
    if (m_status.playlistPos >= 0) {
        m_view.SelectClipRow(m_status.playlistPos);
    } else if (m_status.StateOfTheClip() == PlayerState::Idle ||
               m_status.StateOfTheClip() == PlayerState::Busy ||
               m_status.StateOfTheClip() == PlayerState::Stopped) {
        Unload();
        m_view.SelectClipRow(0);
    } else {
        StopPlayer();
        if (startIfAbsent) Next();
    }
    m_view.UpdateMenus();
}

void CPlayerEngine::ServePerson() {
    m_person.Serve();
}

} // namespace tarvo
