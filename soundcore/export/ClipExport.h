// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/RomArchive.h"
#include "common/BackgroundJob.h"
#include "export/SoundFileWriter.h"

#include <atomic>
#include <memory>
#include <string>

namespace tarvocore {

// What one clip's export renders, and where to.
struct ExportRequest {
    std::shared_ptr<const CRomArchive> archive; // kept while the export reads it
    const ArchiveMember* member = nullptr;
    Bytes trackList;
    int track = 0;
    // The clip's known length, or -1: then kUnknownLengthMs that fade out
    // over their last kFadeMs.
    int lengthMs = -1;
    int fadeMs = 0; // over the end of a known length (a looping tune's)
    std::string path;
    SoundTags tags;
};

// One clip rendered into a sound file as fast as its emulator goes, on a
// thread of its own and in an emulator process of its own, so that whatever
// plays meanwhile goes on. The file takes its name only when whole: a
// cancelled or failed export leaves nothing behind.
class CClipExport {
public:
    static constexpr int kUnknownLengthMs = 180000;
    static constexpr int kFadeMs = 8000;

    CClipExport(ExportRequest request, const std::string& emulatorProgram);
    ~CClipExport();
    CClipExport(const CClipExport&) = delete;
    CClipExport& operator=(const CClipExport&) = delete;

    bool Done() const { return m_job.Done(); }
    void Wait() { m_job.Wait(); }
    void Cancel() { m_cancelled = true; }
    // Thousandths of the clip rendered so far.
    int Permille() const { return m_permille.load(std::memory_order_relaxed); }
    // Once done: empty when the file was written, else why not.
    const std::string& Error() const { return m_error; }
    const std::string& Path() const { return m_request.path; }

private:
    void Run();
    void WriteFile(class CClipSource& source);
    bool Render(class CClipSource& source, long totalFrames);
    // The name the file is written under until it is whole.
    static std::string PartialName(const std::string& path);

    const ExportRequest m_request;
    const std::string m_emulatorProgram;
    CSoundFileWriter m_file;
    std::atomic<bool> m_cancelled{false};
    std::atomic<int> m_permille{0};
    std::string m_error;
    CBackgroundJob m_job; // last: it starts once everything above is made
};

} // namespace tarvocore
