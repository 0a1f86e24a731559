// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/CoreExport.h"

namespace tarvocore {

void CCoreExport::Start(int clip, const std::string& emulatorProgram, bool normalize, bool wait) {
    const ClipLocation* location = m_session.FindClip(clip);
    std::string problem;
    if (m_export)
        problem = "Another clip is being exported";
    else if (!location)
        problem = "Clip " + std::to_string(clip) + " has no tune to export";
    const std::string path =
        problem.empty() ? m_messenger.AskPath(CORE_MSG_EXPORT_PATH, "") : std::string();
    if (problem.empty() && path.empty()) problem = "No file name was given for the export";
    if (!problem.empty()) {
        m_messenger.Send(CORE_MSG_EXPORTED, problem.data(), clip);
        return;
    }
    const int lengthMs = m_lengthMs > 0 ? m_lengthMs : m_timing.LengthOf(*location);
    const int fadeMs = m_lengthMs > 0 ? 0 : m_timing.FadeOf(*location);
    m_key = m_loudness.KeyOf(clip);
    ExportRequest request{m_session.RenderRequest(*location, lengthMs, fadeMs), path, TagsOf(clip),
                          normalize, std::nullopt};
    // A measure is of the clip as it plays, not of a length chosen for the export.
    if (m_lengthMs > 0)
        m_key.reset();
    else if (normalize && m_key)
        request.loudness = m_loudness.Find(*m_key);
    m_export = std::make_unique<CClipExport>(std::move(request), emulatorProgram);
    m_clip = clip;
    if (wait) Finish();
}

void CCoreExport::Cancel() {
    if (!m_export) return;
    m_export->Cancel();
    m_cancelled.push_back(std::move(m_export));
}

void CCoreExport::Service() {
    std::erase_if(m_cancelled, [](const auto& job) { return job->Done(); });
    if (m_export && m_export->Done()) Finish();
}

void CCoreExport::Finish() {
    m_export->Wait();
    std::string error = m_export->Error();
    if (m_key && m_export->Measured()) m_loudness.Keep(*m_key, *m_export->Measured());
    m_export.reset();
    m_messenger.Send(CORE_MSG_EXPORTED, error.empty() ? nullptr : error.data(), m_clip);
}

void CCoreExport::Shutdown() {
    m_export.reset(); // cancelled: its file goes
    m_cancelled.clear();
}

SoundTags CCoreExport::TagsOf(int clip) const {
    const CatalogueGame& game = m_session.LoadedEntry();
    const ClipLocation* location = m_session.FindClip(clip);
    const std::string title =
        location && !location->title.empty() ? location->title : "Clip " + std::to_string(clip);
    return {title, game.title, game.manufacturer, game.year, clip};
}

} // namespace tarvocore
