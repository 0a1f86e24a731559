// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/RomArchive.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarvocore {

// A clip to render from its start to its end, as a listener hears it play
// through: its known length with the fade over the end of a looping tune,
// or else kUnknownLengthMs that fade out over their last kFadeMs.
struct ClipRenderRequest {
    static constexpr int kUnknownLengthMs = 180000;
    static constexpr int kFadeMs = 8000;

    std::shared_ptr<const CRomArchive> archive; // kept while the rendering reads it
    const ArchiveMember* member = nullptr;
    Bytes trackList;
    int track = 0;
    int lengthMs = -1; // -1: unknown
    int fadeMs = 0;    // over the end of a known length
};

// Where the rendered sound goes, a stretch at a time, with the share of the
// clip done after it; false stops the rendering, with why in `error`.
using ClipSink =
    std::function<bool(int16_t* frames, int frameCount, double share, std::string& error)>;

// Renders the clip as fast as its emulator goes, in an emulator process of
// its own, into `sink`. True when the whole clip went there; false when it
// was cancelled (`error` empty) or failed (`error` says why).
bool RenderWholeClip(const ClipRenderRequest& request, const std::string& emulatorProgram,
                     const std::atomic<bool>& cancelled, const ClipSink& sink, std::string& error);

} // namespace tarvocore
