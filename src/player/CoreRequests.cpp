#include "CoreRequests.h"

#include "IDialogs.h"
#include "ROMList.h"
#include "TarvoCore.h"
#include "TextUtils.h"

#include <cstring>

namespace tarvo {

bool CopyToCoreBuffer(void* buffer, const std::string& text) {
    if (!buffer || text.size() + 1 > CORE_PATH_BUFFER_SIZE) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

int AnswerRomPathRequest(void* buffer, const CROMList& romList, IDialogs& dialogs) {
    if (!buffer) return 0;
    const char* name = static_cast<const char*>(buffer);
    const std::string path =
        romList.GetRomPathForFile(std::string(name, strnlen(name, CORE_PATH_BUFFER_SIZE)));
    if (path.empty()) return 0;
    if (!FileExists(path)) {
        dialogs.ShowMessage("ERROR: CoreMessage() - Unable to find " + path, MessageIcon::Error);
        return 0;
    }
    return CopyToCoreBuffer(buffer, path) ? 1 : 0;
}

void ShowCoreError(const char* text, IDialogs& dialogs) {
    dialogs.ShowMessage(std::string("Sound Core reported an error: ") + (text ? text : ""),
                        MessageIcon::Error);
}

} // namespace tarvo
