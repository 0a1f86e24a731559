// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/RecordingConversion.h"

#include <string>

namespace tarvo {

class IDialogs;

// The recording's temporary file and what becomes of it when it ends.
class CWavRecording {
public:
    // "<folder><romName>-<clip>-<seconds since 1970>.wav"
    static std::string MakeTempWavName(const std::string& programFolder, const std::string& romName,
                                       int clip, long long now);
    // Asks where to keep the finished recording, proposing `proposedName`, and
    // moves it there, or converts it for a FLAC or Ogg name; cancelling
    // deletes it, and a failure says where the temporary copy stays. The
    // path it was kept at, or empty.
    static std::string Keep(const std::string& temporaryPath, const std::string& proposedName,
                            const RecordingTags& tags, IDialogs& dialogs);
    // The name proposed for a take of `clip`: its number and its title (the
    // game's short name for a clip without one), with `extension` (".flac").
    static std::string ProposedName(const std::string& clipTitle, const std::string& romName,
                                    int clip, const std::string& extension);
};

} // namespace tarvo
