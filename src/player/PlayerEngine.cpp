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

#include <algorithm>
#include <cstdio>

namespace tarvo {

namespace {

// From `target` on in `direction`, wrapping through clip 0 and the last clip,
// the first clip not marked blank; `target` itself when every clip is blank.
int FirstAudibleClip(const CClipInfo& info, int target, int direction) {
    const int span = info.lastClip + 1;
    for (int i = 0; i < span; ++i) {
        const int clip = ((target + direction * i) % span + span) % span;
        if (!info.IsBlank(clip)) return clip;
    }
    return target;
}

} // namespace

CPlayerEngine::CPlayerEngine(ICore& core, CROMList& romList, CPlaylist& playlist, Config& config,
                             CSettingsFile& settings, IDialogs& dialogs, IPlayerView& view,
                             std::string programFolder, EngineClock clock)
    : m_core(core),
      m_setup(m_core, romList, playlist, config, settings, dialogs, std::move(programFolder)),
      m_romList(romList), m_playlist(playlist), m_config(config), m_dialogs(dialogs), m_view(view),
      m_clock(std::move(clock)) {
    m_progress.now = m_clock.now;
}

void CPlayerEngine::Start() {
    m_state = PlayerState::Idle;
    m_pendingClip = -1;
    m_view.UpdateTransportButtons();
    m_meters.Reset();
    m_clockSubdivider = 6;
    UpdateTicking();
}

CGameEntry* CPlayerEngine::LoadedGame() {
    return m_romList.GetEntry(m_currentGame);
}
const CGameEntry* CPlayerEngine::LoadedGame() const {
    return m_romList.GetEntry(m_currentGame);
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
    } else if (m_playlistMode) {
        const CGameEntry* game = m_playlist.GetGame(n);
        if (!game) return;
        const int clip = m_playlist.GetClip(n);
        if (game != LoadedGame()) {
            LoadGame(m_romList.FindGameIndex(game->romName), clip);
            return;
        }
        n = clip;
    }
    m_pendingClip = n;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, n);
    m_progress.silenceReports = 0;
    m_view.UpdateMenus();
    UpdateTicking();
}

void CPlayerEngine::LoadGame(int game, int clip) {
    if (game != -1) m_core.SetOption(CORE_OPT_GAME, game);
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_START_GAME, clip);
}

void CPlayerEngine::ClearGameFields() {
    m_fields.gameName.clear();
    m_fields.romFile.clear();
    m_fields.parent.clear();
    m_fields.manufacturer.clear();
    m_fields.driverText.clear();
    m_fields.clipTitle.clear();
}

void CPlayerEngine::Unload() {
    m_core.Command(CORE_CMD_UNLOAD, 0);
    ClearGameFields();
    m_fields.clipNumber = -1;
    if (!m_playlistMode) {
        m_view.ClearClipList();
        m_fields.browserTitle.clear();
    }
    m_view.ShowFields(m_fields);
    m_state = PlayerState::Idle;
    UpdateButtonsAndMenus();
}

void CPlayerEngine::StopPlayer() {
    switch (m_state) {
    case PlayerState::Idle:
        break;
    case PlayerState::Busy: // the game loading is not wanted after all
        Unload();
        return;
    case PlayerState::Stopped:
        m_core.Command(CORE_CMD_PAUSE, 0);
        m_pendingClip = -1;
        break;
    case PlayerState::Recording:
    case PlayerState::RecordingPaused:
        SaveRecording();
        [[fallthrough]];
    case PlayerState::Playing:
    case PlayerState::Paused:
        m_pendingClip = -1;
        m_core.Command(CORE_CMD_PAUSE, 0);
        m_state = PlayerState::Stopped;
        break;
    }
    UpdateButtonsAndMenus();
}

void CPlayerEngine::Play() {
    switch (m_state) {
    case PlayerState::Idle:
    case PlayerState::Busy:
        Next();
        break;
    case PlayerState::Stopped:
        if (m_currentClip >= 0)
            PlayClip(-1);
        else if (const int clip = ClipToStart(); clip >= 0)
            PlayClip(clip);
        break;
    case PlayerState::Playing:
        m_core.Command(CORE_CMD_PAUSE, 0);
        m_state = PlayerState::Paused;
        break;
    case PlayerState::Paused:
        m_core.Command(CORE_CMD_RESUME, 0);
        m_state = PlayerState::Playing;
        break;
    case PlayerState::Recording:
        m_core.Command(CORE_CMD_PAUSE, 0);
        m_state = PlayerState::RecordingPaused;
        break;
    case PlayerState::RecordingPaused:
        m_core.Command(CORE_CMD_RESUME, 0);
        m_state = PlayerState::Recording;
        break;
    }
    UpdateButtonsAndMenus();
}

void CPlayerEngine::Rec() {
    if (m_state == PlayerState::Stopped || m_state == PlayerState::Playing ||
        m_state == PlayerState::Paused)
        StartRecording();
    else if (IsRecording(m_state))
        SaveRecording();
}

void CPlayerEngine::Next() {
    m_playlistPos = NextTarget(-1);
    if (m_state == PlayerState::Idle || m_state == PlayerState::Busy) {
        if (m_playlistMode) PlayClip(m_playlistPos);
        return;
    }
    if (IsRecording(m_state)) StopPlayer();
    PlayClip(m_playlistPos);
}

void CPlayerEngine::Prev() {
    m_playlistPos = PrevTarget(-1);
    if (m_state == PlayerState::Idle || m_state == PlayerState::Busy) return;
    if (IsRecording(m_state)) StopPlayer();
    PlayClip(m_playlistPos);
}

int CPlayerEngine::NextTarget(int from) const {
    if (m_playlistMode) {
        if (m_config.Shuffle) return ShufflePick();
        const int p = from == -1 ? m_playlistPos : from;
        return p >= 0 && p < m_playlist.GetCount() - 1 ? p + 1 : 0;
    }
    const CGameEntry* game = LoadedGame();
    if (!game) return -1;
    const CClipInfo& info = game->clipInfo;
    const int cur = from == -1 ? m_currentClip : from;
    const int target = cur >= info.lastClip || cur < 0 ? info.firstClip : cur + 1;
    if (m_config.ShowBlanks) return target;
    return FirstAudibleClip(info, target, +1);
}

int CPlayerEngine::PrevTarget(int from) const {
    if (m_playlistMode) {
        int p = from == -1 ? m_playlistPos : from;
        if (p <= 0) p = m_playlist.GetCount();
        return p - 1;
    }
    const CGameEntry* game = LoadedGame();
    if (!game) return -1;
    const CClipInfo& info = game->clipInfo;
    const int cur = from == -1 ? m_currentClip : from;
    const int target = cur <= info.firstClip ? info.lastClip : cur - 1;
    if (m_config.ShowBlanks) return target;
    return FirstAudibleClip(info, target, -1);
}

int CPlayerEngine::ShufflePick() const {
    const int count = m_playlist.GetCount();
    if (count <= 1 || !m_clock.random) return m_playlistPos;
    int pick = m_playlistPos;
    while (pick == m_playlistPos)
        pick = static_cast<int>(static_cast<long long>(m_clock.random()) * count / 32768);
    return pick;
}

// --- What the window asks ------------------------------------------------

void CPlayerEngine::SetPlaylistMode(bool on) {
    m_playlistMode = on;
    m_config.PlaylistMode = on ? 1 : 0;
}

void CPlayerEngine::SetBrowserTitle(const std::string& title) {
    m_fields.browserTitle = title;
    m_view.ShowFields(m_fields);
}

void CPlayerEngine::ShowClipInformation() {
    const CGameEntry* game = LoadedGame();
    if (!game) return;
    m_fields.clipTitle = game->clipInfo.GetTitle(m_currentClip);
    m_view.ShowFields(m_fields);
}

// A number typed in ROM mode plays that clip, unless it is playing already;
// in Playlist mode the field only shows.
void CPlayerEngine::TypeClipNumber(int clip) {
    if (m_playlistMode) {
        m_view.ShowFields(m_fields);
        return;
    }
    m_fields.clipNumber = clip;
    if (clip == m_currentClip && m_state == PlayerState::Playing) return;
    StopPlayer();
    PlayClip(clip);
}

// A title typed for the current clip is its title from now on; without a
// clip the field shows what it showed.
void CPlayerEngine::TypeClipTitle(const std::string& title) {
    CGameEntry* game = LoadedGame();
    if (!game || m_currentClip < 0) {
        m_view.ShowFields(m_fields);
        return;
    }
    if (title == game->clipInfo.GetTitle(m_currentClip)) return;
    game->clipInfo.SetTitle(m_currentClip, title);
    m_fields.clipTitle = game->clipInfo.GetTitle(m_currentClip);
    m_view.ShowFields(m_fields); // the field shows the title as stored: on one line
    m_view.RefreshClipRow(m_currentClip);
}

void CPlayerEngine::PlayChosen(int clipOrPosition) {
    StopPlayer();
    if (m_playlistMode) m_playlistPos = clipOrPosition;
    PlayClip(clipOrPosition);
}

void CPlayerEngine::FollowMovedEntry(PlaylistMove move, int index, int count) {
    m_playlistPos = PositionAfterMove(move, m_playlistPos, index, count);
}

// The clip playing stays when the playlist holds it. Otherwise nothing that
// the playlist does not hold may go on: an idle or stopped game is unloaded,
// a playing one stopped.
void CPlayerEngine::FindPlayingEntry(bool startIfAbsent) {
    const CGameEntry* game = LoadedGame();
    m_playlistPos = game && m_currentClip >= 0 ? m_playlist.FindEntry(game, m_currentClip) : -1;
    if (m_playlistPos >= 0) {
        m_view.SelectClipRow(m_playlistPos);
    } else if (m_state == PlayerState::Idle || m_state == PlayerState::Busy ||
               m_state == PlayerState::Stopped) {
        Unload();
        m_view.SelectClipRow(0);
    } else {
        StopPlayer();
        if (startIfAbsent) Next();
    }
    m_view.UpdateMenus();
}

std::vector<ExportItem> CPlayerEngine::ExportItems(const std::string& extension) {
    const CGameEntry* game = LoadedGame();
    return game ? CGameExport::ItemsOf(m_core, game->clipInfo, extension)
                : std::vector<ExportItem>();
}

void CPlayerEngine::StartExport(std::string folder, std::vector<ExportItem> items) {
    m_export.Start(std::move(folder), std::move(items));
    UpdateTicking();
}

void CPlayerEngine::CancelExport() {
    m_export.Cancel();
    UpdateTicking();
}

} // namespace tarvo
