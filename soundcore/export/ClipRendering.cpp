// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ClipRendering.h"

#include "game/GameClips.h"
#include "ipc/EmulatorProcess.h"
#include "playback/ClipSource.h"
#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <vector>

namespace tarvocore {

namespace {

constexpr int kChunkFrames = 4410;

long FramesOf(int milliseconds) {
    return static_cast<long>(milliseconds) * kSampleRate / 1000;
}

bool StartSource(const ClipRenderRequest& request, CClipSource& source, std::string& error) {
    const ArchiveMember& member = *request.member;
    Bytes data;
    if (CGameClips::PrepareData(member, data, error) &&
        source.Start(member.name, data, request.trackList,
                     CGameClips::CompanionsIn(*request.archive), {request.track, {}}, error))
        return true;
    error = member.name + ": " + error;
    return false;
}

bool RenderInto(const ClipRenderRequest& request, CClipSource& source,
                const std::atomic<bool>& cancelled, const ClipSink& sink, std::string& error) {
    const bool known = request.lengthMs > 0;
    const long total = FramesOf(known ? request.lengthMs : ClipRenderRequest::kUnknownLengthMs);
    const long fadeFrames = FramesOf(known ? request.fadeMs : ClipRenderRequest::kFadeMs);
    std::vector<int16_t> buffer(kChunkFrames * 2);
    CFadeOut fade;
    for (long done = 0; done < total; done += kChunkFrames) {
        if (cancelled) return false;
        if (fadeFrames > 0 && !fade.IsActive() && done >= total - fadeFrames)
            fade.Start(total - done);
        const int frames = static_cast<int>(std::min<long>(kChunkFrames, total - done));
        bool stopped = false;
        int16_t* sound = source.Render(buffer.data(), frames, stopped, error);
        if (stopped) {
            error = request.member->name + " " + error;
            return false;
        }
        fade.Process(sound, frames);
        if (!sink(sound, frames, static_cast<double>(done + frames) / static_cast<double>(total),
                  error))
            return false;
    }
    return true;
}

} // namespace

bool RenderWholeClip(const ClipRenderRequest& request, const std::string& emulatorProgram,
                     const std::atomic<bool>& cancelled, const ClipSink& sink, std::string& error) {
    CEmulatorProcess emulator(emulatorProgram);
    CClipSource source(emulator);
    source.SetBlockWait(CEmulatorProcess::kBlockLimitMs);
    const bool whole =
        StartSource(request, source, error) && RenderInto(request, source, cancelled, sink, error);
    emulator.Kill();
    return whole;
}

} // namespace tarvocore
