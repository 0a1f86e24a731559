// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's export of a whole game's sound to files.
#include "core/TarvoCore.h"
#include "dialogs/ExportProgress.h"
#include "library/IDialogs.h"
#include "library/TextUtils.h"
#include "ui/PlayerDlg.h"

namespace tarvo {

namespace {

struct ExportFormat {
    const char* name;
    const char* extension;
};

const ExportFormat kFormats[] = {{"FLAC (lossless, tagged)", ".flac"},
                                 {"Ogg Vorbis (smaller, tagged)", ".ogg"},
                                 {"WAV (uncompressed, no tags)", ".wav"}};

// The index of the format chosen, or nothing when cancelled.
std::optional<int> ChooseFormat(IDialogs& dialogs) {
    std::vector<std::string> names;
    for (const ExportFormat& format : kFormats)
        names.push_back(format.name);
    return dialogs.ChooseItem("Export Game Audio", "Format of the files:", names, 0);
}

} // namespace

void CPlayerDlg::ExportGameAudio() {
    const CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    std::string folder = m_dialogs.BrowseForFolder("Export Game Audio To...");
    if (folder.empty() || !PrepareFolderPath(folder)) return;
    const std::optional<int> format = ChooseFormat(m_dialogs);
    if (!format) return;
    CGameExport& gameExport = m_engine->Export();
    std::vector<ExportItem> items = gameExport.Items(game->clipInfo, kFormats[*format].extension);
    if (items.empty()) {
        m_dialogs.ShowMessage("This game has no clips to export: every clip is marked blank.",
                              MessageIcon::Information);
        return;
    }
    if (!CGameExport::PathsFit(folder, items)) {
        m_dialogs.ShowMessage("ERROR: The path of " + folder +
                                  " and a file name in it is longer than the " +
                                  std::to_string(CORE_PATH_BUFFER_SIZE - 1) +
                                  " bytes the sound core takes. Choose a folder nearer the top.",
                              MessageIcon::Error);
        return;
    }
    if (!ConfirmExport(folder, items)) return;
    gameExport.Start(folder, std::move(items));
    if (gameExport.Running()) {
        CExportProgress progress(gameExport, this);
        RunModal(m_runModal, progress);
        gameExport.Cancel(); // a dialog closed some other way ends it too
    }
    ReportExport();
}

// Files of the same names are replaced only when the user agrees.
bool CPlayerDlg::ConfirmExport(const std::string& folder, const std::vector<ExportItem>& items) {
    const std::vector<std::string> existing = CGameExport::ExistingFiles(folder, items);
    if (existing.empty()) return true;
    return m_dialogs.AskYesNo(std::to_string(existing.size()) + " of the " +
                                  std::to_string(items.size()) + " files already exist in " +
                                  folder + ":\n" + FirstNames(existing) + "\n\nReplace them?",
                              MessageIcon::Warning);
}

void CPlayerDlg::ReportExport() {
    const CGameExport& done = m_engine->Export();
    const std::string written = std::to_string(done.Written()) + " of " +
                                std::to_string(done.Count()) + " clips were written to " +
                                done.Folder() + ".";
    if (!done.Error().empty())
        m_dialogs.ShowMessage("ERROR: The export stopped: " + done.Error() + "\n\n" + written,
                              MessageIcon::Error);
    else if (done.Cancelled())
        m_dialogs.ShowMessage("The export was cancelled. " + written, MessageIcon::Information);
    else
        m_dialogs.ShowMessage(written, MessageIcon::Information);
}

} // namespace tarvo
