// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

enum class MessageIcon { None, Error, Question, Warning, Information };

// One entry of a file picker's filter: "Tarvo Playlist Files" with "*.tvp".
struct FileFilter {
    std::string description;
    std::string pattern;
};

struct RgbColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RgbColor&) const = default;
};

// Every message box and picker the program shows goes through this interface,
// so tests can script the answers and read back every text shown.
class IDialogs {
public:
    virtual ~IDialogs() = default;

    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // True when the user answers Yes.
    virtual bool AskYesNo(const std::string& text, MessageIcon icon) = 0;
    // The chosen path, or an empty text when cancelled.
    virtual std::string BrowseForFolder(const std::string& title) = 0;
    virtual std::string OpenFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters) = 0;
    virtual std::string SaveFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& initialName) = 0;
    // The filter the last save picker was left on, as an index of its
    // filters; -1 when none is known.
    virtual int LastSaveFilter() const { return -1; }
    virtual std::optional<RgbColor> ChooseColor(const RgbColor& initial) = 0;
    // The index of the choice the user picked from a list, or nothing when cancelled.
    virtual std::optional<int> ChooseItem(const std::string& title, const std::string& label,
                                          const std::vector<std::string>& choices, int initial) = 0;

    // True once nobody is there to answer (the program is ending on a signal):
    // questions are answered No and pickers cancelled, so whoever asks must
    // keep, not drop, what the user has not decided about.
    virtual bool Unattended() const { return false; }
};

} // namespace tarvo
