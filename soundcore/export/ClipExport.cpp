// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ClipExport.h"

#include "export/ReplayGainTags.h"
#include "playback/Normalizer.h"

#include <atomic>
#include <filesystem>

namespace tarvocore {

namespace {

// A normalized export measures the clip first, over the first half of its progress.
constexpr int kMeasuredPermille = 500;

} // namespace

CClipExport::CClipExport(ExportRequest request, const std::string& emulatorProgram)
    : m_request(std::move(request)), m_emulatorProgram(emulatorProgram), m_job([this] { Run(); }) {}

CClipExport::~CClipExport() {
    Cancel();
    Wait();
}

// The file is written under a name of its own beside the final one and takes
// the final name only when whole: a full disk, a failure or a cancel never
// leaves a cut file that looks finished.
void CClipExport::Run() {
    const std::string partial = PartialName(m_request.path);
    const bool measure = m_request.normalize && !m_request.loudness;
    bool whole = (!measure || MeasureFirst()) && WriteFile(partial);
    std::error_code renameError;
    if (whole) std::filesystem::rename(partial, m_request.path, renameError);
    if (renameError) m_error = "cannot name it " + m_request.path + ": " + renameError.message();
    if (!whole || renameError) std::filesystem::remove(partial, renameError);
}

bool CClipExport::MeasureFirst() {
    CLoudnessMeter meter;
    const bool whole = Render([&](int16_t* frames, int frameCount, double share, std::string&) {
        meter.Add(frames, frameCount);
        m_permille = static_cast<int>(share * kMeasuredPermille);
        return true;
    });
    if (whole) m_measured = meter.Measure();
    return whole;
}

bool CClipExport::WriteFile(const std::string& partial) {
    m_file.ShowAs(m_request.path);
    if (!m_file.Open(partial, m_request.tags, m_error)) return false;
    CNormalizer normalizer;
    normalizer.SetEnabled(m_request.normalize);
    if (const auto& own = m_request.loudness ? m_request.loudness : m_measured)
        normalizer.Start(CNormalizer::GainDbFor(*own));
    const int from = m_measured ? kMeasuredPermille : 0;
    CLoudnessMeter written;
    bool whole = Render([&](int16_t* frames, int frameCount, double share, std::string& error) {
        normalizer.Process(frames, frameCount);
        written.Add(frames, frameCount);
        m_permille = from + static_cast<int>(share * (1000 - from));
        return m_file.Write(frames, frameCount, error);
    });
    std::string error;
    if (!m_file.Close(error)) {
        whole = false;
        if (m_error.empty()) m_error = error;
    }
    if (whole && !m_request.normalize) m_measured = written.Measure();
    if (whole && CSoundFileWriter::CarriesTags(partial) &&
        !AddReplayGainTags(partial, written.Measure(), error)) {
        m_error = "cannot tag " + m_request.path + ": " + error;
        whole = false;
    }
    return whole;
}

std::string CClipExport::PartialName(const std::string& path) {
    // Hidden, numbered (a cancelled export of the same clip may still be
    // ending), and ending as the final name does, which says the format.
    static std::atomic<unsigned> serial{0};
    const std::filesystem::path final(path);
    return (final.parent_path() / ("." + final.stem().string() + ".partial-" +
                                   std::to_string(++serial) + final.extension().string()))
        .string();
}

// False when cancelled or failed; a failure leaves its reason in m_error.
bool CClipExport::Render(const ClipSink& sink) {
    return RenderWholeClip(m_request.clip, m_emulatorProgram, m_cancelled, sink, m_error);
}

} // namespace tarvocore
