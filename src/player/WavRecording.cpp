// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/WavRecording.h"

#include "library/ClipInfo.h"
#include "library/ExportName.h"
#include "library/IDialogs.h"
#include "library/SavePicker.h"
#include "library/TextUtils.h"

#include <cstdio>
#include <filesystem>

namespace tarvo {

std::string CWavRecording::MakeTempWavName(const std::string& programFolder,
                                           const std::string& romName, int clip, long long now) {
    return programFolder + romName + "-" + std::to_string(clip) + "-" + std::to_string(now) +
           ".wav";
}

namespace {

const char* const kSaveFailed =
    "ERROR: Failed to save WAV File.  A copy of the recording is saved as:\n\n";

// The recording's new place, as a move (or a copy to another file system).
bool MoveRecording(const std::string& temporaryPath, const std::string& chosen) {
    // The user has been asked before replacing a file, so a rename over an
    // existing one is what the user chose.
    std::error_code error;
    std::filesystem::rename(temporaryPath, chosen, error);
    if (!error) return true;
    std::filesystem::copy_file(temporaryPath, chosen,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) return false;
    std::filesystem::remove(temporaryPath, error);
    return true;
}

} // namespace

std::string CWavRecording::ProposedName(const std::string& clipTitle, const std::string& romName,
                                        int clip, const std::string& extension) {
    const std::string titled = SafeFileNamePart(clipTitle);
    char number[16];
    std::snprintf(number, sizeof number, "%02d ", clip);
    return number + (titled.empty() ? romName : titled) + extension;
}

std::string CWavRecording::Keep(const std::string& temporaryPath, const std::string& proposedName,
                                const RecordingTags& tags, IDialogs& dialogs) {
    const std::string chosen = AskSavePath(
        dialogs, "Save Recording",
        {{"WAV Files", "*.wav"}, {"FLAC Files", "*.flac"}, {"Ogg Vorbis Files", "*.ogg"}},
        proposedName, ".wav");
    if (chosen.empty()) {
        if (dialogs.Unattended()) return {}; // the recording stays under its temporary name
        std::error_code error;
        if (!std::filesystem::remove(temporaryPath, error) && FileExists(temporaryPath))
            dialogs.ShowMessage("ERROR: Failed to clean up temporary file.  A copy of the "
                                "recording is saved as:\n\n" +
                                    temporaryPath,
                                MessageIcon::Error);
        return {};
    }
    std::string reason;
    const bool kept = IsConvertedFormat(chosen)
                          ? ConvertRecording(temporaryPath, chosen, tags, reason)
                          : MoveRecording(temporaryPath, chosen);
    if (!kept) {
        dialogs.ShowMessage(kSaveFailed + temporaryPath, MessageIcon::Error);
        return {};
    }
    std::error_code error;
    std::filesystem::remove(temporaryPath, error);
    return chosen;
}

} // namespace tarvo
