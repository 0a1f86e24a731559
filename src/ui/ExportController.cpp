// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ExportController.h"

#include "core/TarvoCore.h"
#include "dialogs/ExportProgress.h"
#include "library/IDialogs.h"
#include "library/SafeFileWriter.h"
#include "library/TextUtils.h"
#include "ui/PlayerDlg.h"

#include <QApplication>
#include <QCursor>

namespace tarvo {

namespace {

const std::vector<FileFilter> kClipDataFilter{
    {"Tarvo Clip Info Files", "*.dat"}, {"Text Files", "*.txt"}, {"All Files", "*.*"}};

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

void CExportController::ExportGameClipData() {
    const CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game) return;
    const std::string path = m_window.Dialogs().SaveFileDialog(
        "Export Clip Data (\"" + game->romName + "\")...", kClipDataFilter, "");
    if (path.empty()) return;
    if (!CSafeFileWriter::Save(
            path, [game](std::ostream& out) { CROMList::WriteGameExport(out, *game); }))
        m_window.Dialogs().ShowMessage("ERROR while exporting data: Unable to open [" + path +
                                           "] for writing.",
                                       MessageIcon::Error);
}

void CExportController::ExportAllClipData() {
    const std::string path =
        m_window.Dialogs().SaveFileDialog("Export All Clip Data...", kClipDataFilter, "");
    if (!path.empty())
        m_window.ROMList().SaveClipInfo(path, CROMList::Lines::KnownGames, m_window.Dialogs());
}

void CExportController::ImportClipData() {
    const std::string path =
        m_window.Dialogs().OpenFileDialog("Import Clip Data From...", kClipDataFilter);
    if (path.empty() ||
        !m_window.Dialogs().AskYesNo(
            "Attention: Importing clip data may overwrite existing information.  Proceed?",
            MessageIcon::Warning)) {
        m_window.UpdateMenus();
        return;
    }
    // A long file keeps the sound going and the window drawn, but takes no
    // other command until it is in.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_window.ROMList().LoadClipInfo(
        path, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    QApplication::restoreOverrideCursor();
    ShowImportedClipData();
    m_window.UpdateMenus();
}

void CExportController::ShowImportedClipData() {
    if (m_window.Engine().Status().playlistMode)
        m_window.Playlist().FillList(m_window.Clips().View());
    m_window.Clips().RefillClipList();
    m_window.Engine().ShowClipInformation();
}

void CExportController::ExportGameAudio() {
    const CGameEntry* game = m_window.Engine().LoadedGame();
    if (!game) return;
    std::string folder = m_window.Dialogs().BrowseForFolder("Export Game Audio To...");
    if (folder.empty() || !PrepareFolderPath(folder)) return;
    const std::optional<int> format = ChooseFormat(m_window.Dialogs());
    if (!format) return;
    CGameExport& gameExport = m_window.Engine().Export();
    std::vector<ExportItem> items = gameExport.Items(game->clipInfo, kFormats[*format].extension);
    if (items.empty()) {
        m_window.Dialogs().ShowMessage(
            "This game has no clips to export: every clip is marked blank.",
            MessageIcon::Information);
        return;
    }
    if (!CGameExport::PathsFit(folder, items)) {
        m_window.Dialogs().ShowMessage(
            "ERROR: The path of " + folder + " and a file name in it is longer than the " +
                std::to_string(CORE_PATH_BUFFER_SIZE - 1) +
                " bytes the sound core takes. Choose a folder nearer the top.",
            MessageIcon::Error);
        return;
    }
    if (!ConfirmExport(folder, items)) return;
    gameExport.Start(folder, std::move(items));
    if (gameExport.Running()) {
        CExportProgress progress(gameExport, &m_window);
        m_window.RunModal(progress);
        gameExport.Cancel(); // a dialog closed some other way ends it too
    }
    ReportExport();
}

// Files of the same names are replaced only when the user agrees.
bool CExportController::ConfirmExport(const std::string& folder,
                                      const std::vector<ExportItem>& items) {
    const std::vector<std::string> existing = CGameExport::ExistingFiles(folder, items);
    if (existing.empty()) return true;
    return m_window.Dialogs().AskYesNo(std::to_string(existing.size()) + " of the " +
                                           std::to_string(items.size()) +
                                           " files already exist in " + folder + ":\n" +
                                           FirstNames(existing) + "\n\nReplace them?",
                                       MessageIcon::Warning);
}

void CExportController::ReportExport() {
    const CGameExport& done = m_window.Engine().Export();
    const std::string written = std::to_string(done.Written()) + " of " +
                                std::to_string(done.Count()) + " clips were written to " +
                                done.Folder() + ".";
    if (!done.Error().empty())
        m_window.Dialogs().ShowMessage(
            "ERROR: The export stopped: " + done.Error() + "\n\n" + written, MessageIcon::Error);
    else if (done.Cancelled())
        m_window.Dialogs().ShowMessage("The export was cancelled. " + written,
                                       MessageIcon::Information);
    else
        m_window.Dialogs().ShowMessage(written, MessageIcon::Information);
}

} // namespace tarvo
