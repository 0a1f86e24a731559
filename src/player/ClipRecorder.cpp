// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/ClipRecorder.h"

#include "core/TarvoCore.h"
#include "library/GameEntry.h"
#include "library/TextUtils.h"
#include "player/CoreRequests.h"
#include "player/PersonQueue.h"
#include "player/WavRecording.h"
#include "settings/Config.h"

#include <filesystem>

namespace tarvo {

CClipRecorder::CClipRecorder(ICore& core, PlayerStatus& status, IPlayerView& view,
                             CPersonQueue& person, IDialogs& dialogs, Config& settings,
                             std::string programFolder, std::function<long long()> now)
    : m_core(core), m_status(status), m_view(view), m_person(person), m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)), m_now(std::move(now)), m_settings(settings) {}

void CClipRecorder::SilenceCore() {
    m_status.pendingClip = CORE_SILENCE_CLIP;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, CORE_SILENCE_CLIP);
    m_status.progress.silenceReports = 0;
}

void CClipRecorder::Start(int clip) {
    if (clip < 0) return;
    SilenceCore();
    m_core.SetOption(CORE_OPT_RECORD, 1);
    m_status.state = PlayerState::Recording;
    m_status.pendingClip = clip;
    m_core.Command(CORE_CMD_RESUME, 0);
    m_core.Command(CORE_CMD_PLAY_CLIP, clip);
    m_status.progress.silenceReports = 0;
    m_view.UpdateMenus();
}

void CClipRecorder::Save(const CGameEntry* game) {
    const std::string temporary = m_tempWavPath;
    m_core.SetOption(CORE_OPT_RECORD, 0);
    m_status.state = PlayerState::Stopped;
    m_view.UpdateTransportButtons();
    SilenceCore();
    m_core.Command(CORE_CMD_PAUSE, 0);
    const PlayerFields& fields = m_status.fields;
    const std::string name =
        CWavRecording::ProposedName(fields.clipTitle, fields.romFile, m_status.currentClip,
                                    "." + m_settings.LastRecording.format);
    // The picker opens where the last take was kept, in its format.
    m_person.Ask([this, temporary, name, tags = TagsNow(game)] {
        const std::string folder =
            m_settings.LastRecording.folder.empty() ? "" : m_settings.LastRecording.folder + "/";
        const std::filesystem::path kept =
            CWavRecording::Keep(temporary, folder + name, tags, m_dialogs);
        if (kept.empty()) return;
        m_settings.LastRecording.folder = kept.parent_path().string();
        const std::string format = ToLowerAscii(kept.extension().string());
        if (format == ".wav" || format == ".flac" || format == ".ogg")
            m_settings.LastRecording.format = format.substr(1);
    });
}

void CClipRecorder::AnswerPath(void* buffer) {
    m_tempWavPath = CWavRecording::MakeTempWavName(m_programFolder, m_status.fields.romFile,
                                                   m_status.currentClip, m_now());
    CopyToCoreBuffer(buffer, m_tempWavPath);
}

// The year is the catalogue's first detail ("1999, Prototype").
RecordingTags CClipRecorder::TagsNow(const CGameEntry* game) const {
    const std::string details = game ? game->extraInfo : std::string();
    const PlayerFields& fields = m_status.fields;
    return {fields.clipTitle, fields.gameName, fields.manufacturer,
            details.substr(0, details.find(',')), m_status.currentClip};
}

} // namespace tarvo
