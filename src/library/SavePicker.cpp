// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/SavePicker.h"

#include "library/TextUtils.h"

namespace tarvo {

std::string AskSavePath(IDialogs& dialogs, const std::string& title,
                        const std::vector<FileFilter>& filters, const std::string& initialName,
                        const std::string& extension) {
    std::string proposed = initialName;
    for (;;) {
        std::string chosen = dialogs.SaveFileDialog(title, filters, proposed);
        if (chosen.empty() || !GetLowerExtension(chosen).empty()) return chosen;
        chosen += extension;
        const std::string name = chosen.substr(GetFolderOfPath(chosen).size());
        if (!FileExists(chosen) ||
            dialogs.AskYesNo(name + " already exists.\nDo you want to replace it?",
                             MessageIcon::Warning))
            return chosen;
        proposed = chosen;
    }
}

} // namespace tarvo
