// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's recording: the silence around a take, its start and its end,
// and the things that wait for a person meanwhile.
#include "core/TarvoCore.h"
#include "library/GameEntry.h"
#include "player/PlayerEngine.h"
#include "player/WavRecording.h"

namespace tarvo {

void CPlayerEngine::SilenceCore() {
    m_pendingClip = CORE_SILENCE_CLIP;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, CORE_SILENCE_CLIP);
    m_progress.silenceReports = 0;
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
    m_progress.silenceReports = 0;
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
    return CWavRecording::MakeTempWavName(m_setup.ProgramFolder(), m_fields.romFile, m_currentClip,
                                          m_clock.now());
}

} // namespace tarvo
