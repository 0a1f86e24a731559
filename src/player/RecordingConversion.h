// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

// What a converted recording says of itself.
struct RecordingTags {
    std::string title;
    std::string game;
    std::string maker;
    std::string year;
    int clip = -1;
};

// True for a name whose extension asks for a format a WAV recording is
// converted to (".flac", ".ogg").
bool IsConvertedFormat(const std::string& path);

// Writes the WAV at `wavPath` to `outPath` in the format its name asks for,
// tagged. The file appears under its name only once whole: a failure leaves
// whatever was there before, and says why in `error`.
bool ConvertRecording(const std::string& wavPath, const std::string& outPath,
                      const RecordingTags& tags, std::string& error);

} // namespace tarvo
