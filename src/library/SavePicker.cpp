// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/SavePicker.h"

#include "library/TextUtils.h"

namespace tarvo {

namespace {

// ".flac" of the filter "*.flac"; "" for a filter of many kinds or none.
std::string ExtensionOfFilter(const std::vector<FileFilter>& filters, int index) {
    if (index < 0 || static_cast<size_t>(index) >= filters.size()) return {};
    const std::string& pattern = filters[static_cast<size_t>(index)].pattern;
    if (pattern.rfind("*.", 0) != 0 || pattern.find_first_of("*?; ", 1) != std::string::npos)
        return {};
    return pattern.substr(1);
}

} // namespace

std::string AskSavePath(IDialogs& dialogs, const std::string& title,
                        const std::vector<FileFilter>& filters, const std::string& initialName,
                        const std::string& extension) {
    std::string proposed = initialName;
    for (;;) {
        std::string chosen = dialogs.SaveFileDialog(title, filters, proposed);
        if (chosen.empty() || !GetLowerExtension(chosen).empty()) return chosen;
        const std::string filtered = ExtensionOfFilter(filters, dialogs.LastSaveFilter());
        chosen += filtered.empty() ? extension : filtered;
        const std::string name = chosen.substr(GetFolderOfPath(chosen).size());
        if (!FileExists(chosen) ||
            dialogs.AskYesNo(name + " already exists.\nDo you want to replace it?",
                             MessageIcon::Warning))
            return chosen;
        proposed = chosen;
    }
}

} // namespace tarvo
