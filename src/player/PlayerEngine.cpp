// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerEngine.h"

#include "core/TarvoCore.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"
#include "player/CoreRequests.h"
#include "player/WavRecording.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistMoves.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstdio>

namespace tarvo {

namespace {

constexpr int kPlayIcon = 105;
constexpr int kPauseIcon = 106;
constexpr int kRecIcon = 101;
constexpr int kEmptyIcon = 108;

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
    : m_core(core), m_romList(romList), m_playlist(playlist), m_config(config),
      m_settings(settings), m_dialogs(dialogs), m_view(view),
      m_programFolder(std::move(programFolder)), m_clock(std::move(clock)) {}

// --- The core's life ---------------------------------------------------------

void CPlayerEngine::StartCore() {
    m_core.Init(*this);
    m_coreRunning = true;
    m_romList.BuildFromCore(m_core);
}

void CPlayerEngine::ApplyListeningOptions() {
    m_core.SetOption(CORE_OPT_END_AT_LENGTH, m_config.PlayKnownLength != 0 ? 1 : 0);
    m_core.SetOption(CORE_OPT_LOOP_COUNT, m_config.LoopCount);
    m_core.SetOption(CORE_OPT_TUNE_FADE_MS, m_config.FadeSeconds * 1000);
}

int CPlayerEngine::TakeNewGames() {
    m_core.Command(CORE_CMD_RELOAD_CATALOGUE, 0);
    const int added = m_romList.UpdateFromCore(m_core);
    if (added > 0) m_romList.ScanROMFolders();
    ImportPendingClipData();
    return added;
}

// The file is taken over by a rename before it is read: tarvo-add writing
// meanwhile makes a new one, which the next round takes, so no title is lost
// between the reading and the removing. A taken file whose titles could not
// be kept stays, and is taken first the next time.
void CPlayerEngine::ImportPendingClipData() {
    if (!m_keepsFiles) return;
    const std::string pending = m_programFolder + kPendingClipDataName;
    const std::string taken = pending + ".taken";
    for (int round = 0; round < 2; ++round) {
        if (!IsRegularFile(taken) &&
            (!IsRegularFile(pending) || std::rename(pending.c_str(), taken.c_str()) != 0))
            return;
        m_romList.LoadClipInfo(taken);
        if (!m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat",
                                    CROMList::Lines::WithUnsupported, m_dialogs))
            return;
        std::remove(taken.c_str());
    }
}

void CPlayerEngine::ApplyStartOptions(bool normalize) {
    SetNormalize(normalize);
    ApplyListeningOptions();
    m_core.SetOption(CORE_OPT_RECORD, 0);
}

void CPlayerEngine::SetNormalize(bool on) {
    m_core.SetOption(CORE_OPT_NORMALIZE, on ? 1 : 0);
}

std::string CPlayerEngine::CoreVersion() {
    return m_core.GetString(CORE_STR_VERSION, 0);
}

void CPlayerEngine::ShutdownCore() {
    if (m_coreRunning) m_core.Shutdown();
    m_coreRunning = false;
}

void CPlayerEngine::Start() {
    m_state = PlayerState::Idle;
    m_pendingClip = -1;
    m_view.UpdateTransportButtons();
    m_vuHistory.Reset();
    m_clockSubdivider = 6;
    m_meterTicksLeft = 0;
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
    m_silenceCount = 0;
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

// --- Recording -----------------------------------------------------------

void CPlayerEngine::SilenceCore() {
    m_pendingClip = CORE_SILENCE_CLIP;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, CORE_SILENCE_CLIP);
    m_silenceCount = 0;
}

// The clip PLAY or REC starts: the current one, or in a game where none has
// played yet its first clip worth hearing; -1 for none.
int CPlayerEngine::ClipToStart() const {
    if (m_currentClip >= 0) return m_currentClip;
    return m_playlistMode ? -1 : NextTarget(-1);
}

void CPlayerEngine::StartRecording() {
    const int clip = ClipToStart();
    if (clip < 0) return;
    SilenceCore();
    m_core.SetOption(CORE_OPT_RECORD, 1);
    m_state = PlayerState::Recording;
    m_pendingClip = clip;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, clip);
    m_silenceCount = 0;
    m_view.UpdateMenus();
}

void CPlayerEngine::SaveRecording() {
    const std::string temporary = m_tempWavPath;
    m_core.SetOption(CORE_OPT_RECORD, 0);
    m_state = PlayerState::Stopped;
    m_view.UpdateTransportButtons();
    SilenceCore();
    m_core.Command(CORE_CMD_PAUSE, 0);
    m_person.Ask(
        [this, temporary,
         proposed = m_fields.romFile + "-" + FormatClipNumber(m_currentClip) + ".wav",
         tags = RecordingTagsNow()] { CWavRecording::Keep(temporary, proposed, tags, m_dialogs); });
}

void CPlayerEngine::ServePerson() {
    m_person.Serve();
}

// The year is the catalogue's first detail ("1999, Prototype").
RecordingTags CPlayerEngine::RecordingTagsNow() const {
    const CGameEntry* game = LoadedGame();
    const std::string details = game ? game->extraInfo : std::string();
    return {m_fields.clipTitle, m_fields.gameName, m_fields.manufacturer,
            details.substr(0, details.find(',')), m_currentClip};
}

std::string CPlayerEngine::MakeTempWavName() const {
    return CWavRecording::MakeTempWavName(m_programFolder, m_fields.romFile, m_currentClip,
                                          m_clock.now());
}

// --- Timer ---------------------------------------------------------------

void CPlayerEngine::TimerTick() {
    const CPersonQueue::Reacting reacting(m_person);
    m_core.Command(CORE_CMD_SERVICE, 0);
    EndAtKnownLength();
    int left = 0, right = 0;
    m_vuHistory.Advance(left, right);
    m_view.SetMeterLevels(left, right);
    if (m_meterTicksLeft > 0) --m_meterTicksLeft;
    m_clockSubdivider = (m_clockSubdivider + 1) % kTicksPerClockTick;
    if (m_clockSubdivider == 0) ClockTick();
    UpdateTicking();
}

TickNeed CPlayerEngine::TickNeeded() const {
    const bool sounding = m_state == PlayerState::Playing || m_state == PlayerState::Recording;
    if (sounding || m_state == PlayerState::Busy || m_pendingClip >= 0 || m_meterTicksLeft > 0 ||
        m_seekPending || m_export.Running())
        return TickNeed::Timer;
    if (m_state == PlayerState::Paused || m_state == PlayerState::RecordingPaused)
        return TickNeed::Clock;
    return TickNeed::None;
}

// The timer runs only while something needs it; when it stops, the time box
// and the window icon show the idle player at once rather than at a tick.
void CPlayerEngine::UpdateTicking() {
    const TickNeed need = TickNeeded();
    if (need == m_tickNeed) return;
    m_tickNeed = need;
    if (need == TickNeed::None) {
        ShowElapsed(false);
        m_view.AdvanceWindowIcon();
    }
    m_view.SetTickNeed(need);
}

void CPlayerEngine::ShowElapsed(bool visible) {
    FillTimeFields(visible);
    m_view.ShowFields(m_fields);
}

void CPlayerEngine::FillTimeFields(bool visible) {
    const int length = m_clipLengthMs < 0 ? -1 : (m_clipLengthMs + 500) / 1000;
    // The clock counts whole seconds from the start: it never reads past the end.
    const int elapsed = length >= 0 ? std::min(m_elapsed, length) : m_elapsed;
    m_fields.elapsed.clear();
    if (visible) m_fields.elapsed = FormatTime(elapsed, false);
    if (visible && length >= 0) m_fields.elapsed += " / " + FormatTime(length, false);
    // The field holds about fourteen characters: the length gives way to the word.
    if (visible && Seeking()) m_fields.elapsed = "seeking " + FormatTime(elapsed, false);
    m_fields.positionSeconds = visible || IsPaused(m_state) || Seeking() ? elapsed : 0;
    m_fields.lengthSeconds = length;
    m_fields.rangeSeconds = static_cast<int>((SeekRangeMs() + 500) / 1000);
    m_fields.canSeek = CanSeek();
}

void CPlayerEngine::ClockTick() {
    m_blinkPhase = !m_blinkPhase;
    m_view.AdvanceWindowIcon();
    const long long now = m_clock.now();
    bool timing = true;
    switch (m_state) {
    case PlayerState::Recording:
        m_view.SetRecIcon(m_blinkPhase ? kRecIcon : kEmptyIcon);
        [[fallthrough]];
    case PlayerState::Playing:
        m_elapsed = static_cast<int>(now - m_startTime);
        ShowElapsed(true);
        break;
    case PlayerState::RecordingPaused:
        m_view.SetRecIcon(m_blinkPhase ? kRecIcon : kEmptyIcon);
        [[fallthrough]];
    case PlayerState::Paused:
        m_view.SetPlayIcon(m_blinkPhase ? kPauseIcon : kEmptyIcon);
        m_startTime = now - m_elapsed;
        ShowElapsed(m_blinkPhase);
        break;
    case PlayerState::Busy:
        ShowElapsed(m_seekPending); // a seek under way shows where it goes
        timing = false;
        break;
    default:
        ShowElapsed(false);
        timing = false;
        break;
    }
    if (timing) ApplyTimeLimits();
}

void CPlayerEngine::ApplyTimeLimits() {
    // A recording ends by itself once it has run the longest time the user
    // allows. The clock counts whole seconds, so an elapsed time of n may be
    // as little as n - 1 real seconds: only beyond the limit is it sure to hold
    // all of it.
    if (m_state == PlayerState::Recording && m_elapsed > m_config.MaxWAVTime) {
        StopPlayer();
        return;
    }
    if (!m_config.EnforceLoopTime) return;
    FadeBeforeTheLoopLimit();
    if (m_elapsed <= m_config.MaxLoopTime) return;
    if (m_config.OnSilence == static_cast<int>(OnSilencePolicy::NextClip))
        Next();
    else
        StopPlayer();
}

// The last seconds before the loop limit fade out, so the limit ends a tune
// already silent; the fade is the one every tune ends with, no longer than
// the limit. It starts on the clock tick whose elapsed time is the fade's
// length in whole seconds before the one on which the limit acts, and lasts
// half a second less: the ticks' own jitter cannot make the limit cut it short.
void CPlayerEngine::FadeBeforeTheLoopLimit() {
    const int fadeSeconds = std::min(m_config.FadeSeconds, m_config.MaxLoopTime);
    if (m_fading || fadeSeconds <= 0 || m_elapsed < m_config.MaxLoopTime + 1 - fadeSeconds) return;
    m_fading = true;
    m_core.SetOption(CORE_OPT_FADE_OUT_MS, fadeSeconds * 1000 - 500);
}

void CPlayerEngine::Autosave() {
    if (!m_keepsFiles) return;
    if (m_playlist.GetCount() > 0)
        m_playlist.SaveToFile(m_settings.TempPlaylistPath(), Interaction::Quiet, m_dialogs);
    if (!m_settings.Write(m_config, SettingsForm::Autosave)) return;
    m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat", CROMList::Lines::WithUnsupported,
                           m_dialogs);
}

std::string CPlayerEngine::FormatTime(int seconds, bool verbose) {
    if (seconds < 0) return verbose ? "Time unknown" : "???";
    char text[64];
    if (!verbose) {
        std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
        return text;
    }
    const int hours = seconds / 3600, minutes = seconds % 3600 / 60, secs = seconds % 60;
    std::string result;
    if (hours) result += std::to_string(hours) + " hr" + (hours > 1 ? "s " : " ");
    if (minutes) result += std::to_string(minutes) + " min ";
    if (secs) result += std::to_string(secs) + " sec";
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result.empty() ? "0 sec" : result;
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
