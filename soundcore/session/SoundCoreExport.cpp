// SPDX-License-Identifier: GPL-3.0-or-later
// The core's exports: a clip of the loaded game rendered into a sound file on
// a thread and in an emulator process of their own, beside whatever plays.
#include "session/SoundCore.h"

namespace tarvocore {

// An export reads the game's archive on a thread of its own, so it keeps the
// archive however the game changes meanwhile.
void CSoundCore::ExportClip(int clip) {
    const ClipLocation* location = m_loadedGame >= 0 ? m_clips.Find(clip) : nullptr;
    std::string problem;
    if (m_export)
        problem = "Another clip is being exported";
    else if (!location)
        problem = "Clip " + std::to_string(clip) + " has no tune to export";
    const std::string path = problem.empty() ? AskPath(CORE_MSG_EXPORT_PATH, "") : std::string();
    if (problem.empty() && path.empty()) problem = "No file name was given for the export";
    if (!problem.empty()) {
        Send(CORE_MSG_EXPORTED, problem.data(), clip);
        return;
    }
    const int lengthMs = m_exportMs > 0 ? m_exportMs : LengthOf(*location);
    const int fadeMs = m_exportMs > 0 ? 0 : FadeOf(*location);
    ExportRequest request{m_archive,
                          location->member,
                          m_clips.TrackListFor(*m_archive),
                          location->track,
                          lengthMs,
                          fadeMs,
                          path,
                          TagsOf(clip)};
    m_export = std::make_unique<CClipExport>(std::move(request), m_emulator.Program());
    m_exportClip = clip;
    if (m_waitsForLoads) FinishExport();
}

// The export ends on its own thread: its partial file goes, and the window
// that asked goes on at once.
void CSoundCore::CancelExport() {
    if (!m_export) return;
    m_export->Cancel();
    m_cancelledExports.push_back(std::move(m_export));
}

void CSoundCore::FinishExport() {
    m_export->Wait();
    std::string error = m_export->Error();
    m_export.reset();
    Send(CORE_MSG_EXPORTED, error.empty() ? nullptr : error.data(), m_exportClip);
}

SoundTags CSoundCore::TagsOf(int clip) const {
    const CatalogueGame& game = m_catalogue.Games()[m_loadedGame];
    const ClipLocation* location = m_clips.Find(clip);
    const std::string title =
        location && !location->title.empty() ? location->title : "Clip " + std::to_string(clip);
    return {title, game.title, game.manufacturer, game.year, clip};
}

} // namespace tarvocore
