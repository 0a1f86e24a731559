// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/IDialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarvo::test {

// Records every text shown and gives the answers a test queued; with none
// queued, questions are answered No and pickers are cancelled.
class ScriptedDialogs : public IDialogs {
public:
    struct Shown {
        std::string text;
        MessageIcon icon;
        bool question;
    };

    std::vector<Shown> shown;
    std::vector<std::string> pickerTitles;
    std::deque<bool> answers;
    std::deque<std::string> paths;
    std::deque<std::optional<RgbColor>> colors;
    std::deque<std::optional<int>> items;
    std::vector<std::string> initialNames;
    std::vector<FileFilter> lastFilters;
    bool unattended = false;
    int saveFilter = -1;                                 // the filter each save picker is left on
    std::function<void(const std::string& text)> onShow; // as a box opens

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, MessageIcon icon) override;
    std::string BrowseForFolder(const std::string& title) override;
    std::string OpenFileDialog(const std::string& title,
                               const std::vector<FileFilter>& filters) override;
    std::string SaveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                               const std::string& initialName) override;
    std::optional<RgbColor> ChooseColor(const RgbColor& initial) override;
    std::optional<int> ChooseItem(const std::string& title, const std::string& label,
                                  const std::vector<std::string>& choices, int initial) override;
    bool Unattended() const override { return unattended; }
    int LastSaveFilter() const override { return saveFilter; }

    std::vector<std::string> Texts() const;

private:
    std::string NextPath(const std::string& title);
};

} // namespace tarvo::test
