// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/CoreRequests.h"

#include "core/ICore.h"
#include "core/TarvoCore.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"

#include <cstring>

namespace tarvo {

bool CopyToCoreBuffer(void* buffer, const std::string& text) {
    if (!buffer || text.size() + 1 > CORE_PATH_BUFFER_SIZE) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

int AnswerRomPathRequest(void* buffer, const CROMList& romList, std::string& problem) {
    if (!buffer) return 0;
    const char* name = static_cast<const char*>(buffer);
    const std::string path =
        romList.GetRomPathForFile(std::string(name, strnlen(name, CORE_PATH_BUFFER_SIZE)));
    if (path.empty()) return 0;
    if (!FileExists(path)) {
        problem = "ERROR: CoreMessage() - Unable to find " + path;
        return 0;
    }
    return CopyToCoreBuffer(buffer, path) ? 1 : 0;
}

void ShowCoreError(const char* text, IDialogs& dialogs) {
    dialogs.ShowMessage(std::string("Sound Core reported an error: ") + (text ? text : ""),
                        MessageIcon::Error);
}

std::vector<FoundTune> AskLoadedGameTunes(ICore& core) {
    std::vector<FoundTune> tunes;
    if (core.GetInt(CORE_INT_TUNE_TABLE, 0) != 1) return tunes;
    const int last = core.GetInt(CORE_INT_LAST_TUNE, 0);
    if (last < 0 || last > CClipInfo::kMaxClipNumber) return tunes;
    tunes.resize(static_cast<size_t>(last) + 1);
    for (int clip = 0; clip <= last; ++clip) {
        tunes[clip].present = core.GetInt(CORE_INT_HAS_TUNE, clip) == 1;
        if (!tunes[clip].present) continue;
        tunes[clip].title = core.GetString(CORE_STR_TUNE_TITLE, clip);
        tunes[clip].lengthMs = core.GetInt(CORE_INT_TUNE_LENGTH, clip);
    }
    return tunes;
}

} // namespace tarvo
