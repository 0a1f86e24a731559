// SPDX-License-Identifier: GPL-3.0-or-later
// Tarvo.ini as read at start-up; the playlist lines point nowhere real.
#include "FuzzGames.h"
#include "playlist/Playlist.h"
#include "settings/SettingsFile.h"

#include <sstream>

namespace {

class SilentDialogs : public tarvo::IDialogs {
public:
    void ShowMessage(const std::string&, tarvo::MessageIcon) override {}
    bool AskYesNo(const std::string&, tarvo::MessageIcon) override { return true; }
    std::string BrowseForFolder(const std::string&) override { return {}; }
    std::string OpenFileDialog(const std::string&, const std::vector<tarvo::FileFilter>&) override {
        return {};
    }
    std::string SaveFileDialog(const std::string&, const std::vector<tarvo::FileFilter>&,
                               const std::string&) override {
        return {};
    }
    std::optional<tarvo::RgbColor> ChooseColor(const tarvo::RgbColor&) override { return {}; }
    std::optional<int> ChooseItem(const std::string&, const std::string&,
                                  const std::vector<std::string>&, int) override {
        return {};
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvo::CROMList list;
    AddFuzzGames(list);
    tarvo::CPlaylist playlist;
    playlist.SetROMList(&list);
    SilentDialogs dialogs;
    tarvo::CSettingsFile settings("/nonexistent/tarvo-fuzz/", list, playlist, dialogs);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    tarvo::Config config;
    settings.ReadFrom(in, config);
    std::ostringstream out;
    settings.WriteTo(out, config, tarvo::SettingsForm::Exit);
    return 0;
}
