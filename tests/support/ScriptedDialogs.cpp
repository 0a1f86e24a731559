// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedDialogs.h"

namespace tarvo::test {

void ScriptedDialogs::ShowMessage(const std::string& text, MessageIcon icon) {
    shown.push_back({text, icon, false});
    if (onShow) onShow(text);
}

bool ScriptedDialogs::AskYesNo(const std::string& text, MessageIcon icon) {
    shown.push_back({text, icon, true});
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedDialogs::NextPath(const std::string& title) {
    pickerTitles.push_back(title);
    if (paths.empty()) return {};
    std::string path = paths.front();
    paths.pop_front();
    return path;
}

std::string ScriptedDialogs::BrowseForFolder(const std::string& title) {
    return NextPath(title);
}

std::string ScriptedDialogs::OpenFileDialog(const std::string& title,
                                            const std::vector<FileFilter>& filters) {
    lastFilters = filters;
    return NextPath(title);
}

std::string ScriptedDialogs::SaveFileDialog(const std::string& title,
                                            const std::vector<FileFilter>& filters,
                                            const std::string& initialName) {
    lastFilters = filters;
    initialNames.push_back(initialName);
    return NextPath(title);
}

std::optional<RgbColor> ScriptedDialogs::ChooseColor(const RgbColor&) {
    if (colors.empty()) return std::nullopt;
    const auto color = colors.front();
    colors.pop_front();
    return color;
}

std::optional<int> ScriptedDialogs::ChooseItem(const std::string& title, const std::string&,
                                               const std::vector<std::string>&, int) {
    pickerTitles.push_back(title);
    if (items.empty()) return std::nullopt;
    const auto item = items.front();
    items.pop_front();
    return item;
}

std::vector<std::string> ScriptedDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown)
        texts.push_back(s.text);
    return texts;
}

} // namespace tarvo::test
