// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/BackgroundJob.h"
#include "export/ClipRendering.h"
#include "export/SoundFileWriter.h"
#include "playback/LoudnessMeter.h"

#include <atomic>
#include <optional>
#include <string>

namespace tarvocore {

// What one clip's export renders, and where to.
struct ExportRequest {
    ClipRenderRequest clip;
    std::string path;
    SoundTags tags;
    // Brought to the loudness the player normalizes to: by the measure
    // known, or else by one made first.
    bool normalize = false;
    std::optional<TuneLoudness> loudness;
};

// One clip rendered into a sound file as fast as its emulator goes, on a
// thread of its own and in an emulator process of its own, so that whatever
// plays meanwhile goes on. FLAC and Ogg files carry their sound's ReplayGain.
// The file takes its name only when whole: a cancelled or failed export
// leaves nothing behind.
class CClipExport {
public:
    CClipExport(ExportRequest request, const std::string& emulatorProgram);
    ~CClipExport();
    CClipExport(const CClipExport&) = delete;
    CClipExport& operator=(const CClipExport&) = delete;

    bool Done() const { return m_job.Done(); }
    void Wait() { m_job.Wait(); }
    void Cancel() { m_cancelled = true; }
    // Thousandths of the work done so far.
    int Permille() const { return m_permille.load(std::memory_order_relaxed); }
    // Once done: empty when the file was written, else why not.
    const std::string& Error() const { return m_error; }
    const std::string& Path() const { return m_request.path; }
    // Once done: the clip's own loudness where this export measured it.
    const std::optional<TuneLoudness>& Measured() const { return m_measured; }

private:
    void Run();
    bool MeasureFirst();
    bool WriteFile(const std::string& partial);
    bool Render(const ClipSink& sink);
    // The name the file is written under until it is whole.
    static std::string PartialName(const std::string& path);

    const ExportRequest m_request;
    const std::string m_emulatorProgram;
    CSoundFileWriter m_file;
    std::atomic<bool> m_cancelled{false};
    std::atomic<int> m_permille{0};
    std::string m_error;
    std::optional<TuneLoudness> m_measured;
    CBackgroundJob m_job; // last: it starts once everything above is made
};

} // namespace tarvocore
