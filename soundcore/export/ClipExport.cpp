// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ClipExport.h"

#include "game/GameClips.h"
#include "ipc/EmulatorProcess.h"
#include "playback/ClipSource.h"
#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <vector>

namespace tarvocore {

namespace {

constexpr int kChunkFrames = 4410;

long FramesOf(int milliseconds) {
    return static_cast<long>(milliseconds) * kSampleRate / 1000;
}

} // namespace

CClipExport::CClipExport(ExportRequest request, const std::string& emulatorProgram)
    : m_request(std::move(request)), m_emulatorProgram(emulatorProgram), m_job([this] { Run(); }) {}

CClipExport::~CClipExport() {
    Cancel();
    Wait();
}

void CClipExport::Run() {
    CEmulatorProcess emulator(m_emulatorProgram);
    CClipSource source(emulator);
    source.SetBlockWait(CEmulatorProcess::kBlockLimitMs);
    const ArchiveMember& member = *m_request.member;
    Bytes data;
    std::string error;
    if (!CGameClips::PrepareData(member, data, error) ||
        !source.Start(member.name, data, m_request.trackList,
                      CGameClips::CompanionsIn(*m_request.archive), {m_request.track, {}}, error)) {
        m_error = member.name + ": " + error;
    } else {
        WriteFile(source);
    }
    emulator.Kill();
}

// The file is written under a name of its own beside the final one and takes
// the final name only when whole: a full disk, a failure or a cancel never
// leaves a cut file that looks finished.
void CClipExport::WriteFile(CClipSource& source) {
    const std::string partial = PartialName(m_request.path);
    m_file.ShowAs(m_request.path);
    if (!m_file.Open(partial, m_request.tags, m_error)) return;
    const bool known = m_request.lengthMs > 0;
    bool whole = Render(source, FramesOf(known ? m_request.lengthMs : kUnknownLengthMs));
    std::string error;
    if (!m_file.Close(error)) {
        whole = false;
        if (m_error.empty()) m_error = error;
    }
    std::error_code renameError;
    if (whole) std::filesystem::rename(partial, m_request.path, renameError);
    if (renameError) m_error = "cannot name it " + m_request.path + ": " + renameError.message();
    if (!whole || renameError) std::filesystem::remove(partial, renameError);
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
bool CClipExport::Render(CClipSource& source, long totalFrames) {
    std::vector<int16_t> buffer(kChunkFrames * 2);
    CFadeOut fade;
    const long fadeFrames = FramesOf(m_request.lengthMs > 0 ? m_request.fadeMs : kFadeMs);
    for (long done = 0; done < totalFrames; done += kChunkFrames) {
        if (m_cancelled) return false;
        if (fadeFrames > 0 && !fade.IsActive() && done >= totalFrames - fadeFrames)
            fade.Start(totalFrames - done);
        const int frames = static_cast<int>(std::min<long>(kChunkFrames, totalFrames - done));
        bool stopped = false;
        std::string error;
        int16_t* sound = source.Render(buffer.data(), frames, stopped, error);
        if (stopped) {
            m_error = m_request.member->name + " " + error;
            return false;
        }
        fade.Process(sound, frames);
        if (!m_file.Write(sound, frames, m_error)) return false;
        m_permille = static_cast<int>((done + frames) * 1000 / totalFrames);
    }
    return true;
}

} // namespace tarvocore
