// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's import and export of clip information.
#include "library/IDialogs.h"
#include "library/SafeFileWriter.h"
#include "ui/PlayerDlg.h"

#include <QApplication>
#include <QCursor>

namespace tarvo {

namespace {

const std::vector<FileFilter> kClipDataFilter{
    {"Tarvo Clip Info Files", "*.dat"}, {"Text Files", "*.txt"}, {"All Files", "*.*"}};

} // namespace

void CPlayerDlg::ExportGameClipData() {
    const CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    const std::string path = m_dialogs.SaveFileDialog(
        "Export Clip Data (\"" + game->romName + "\")...", kClipDataFilter, "");
    if (path.empty()) return;
    if (!CSafeFileWriter::Save(
            path, [game](std::ostream& out) { CROMList::WriteGameExport(out, *game); }))
        m_dialogs.ShowMessage("ERROR while exporting data: Unable to open [" + path +
                                  "] for writing.",
                              MessageIcon::Error);
}

void CPlayerDlg::ExportAllClipData() {
    const std::string path =
        m_dialogs.SaveFileDialog("Export All Clip Data...", kClipDataFilter, "");
    if (!path.empty()) m_romList.SaveClipInfo(path, CROMList::Lines::KnownGames, m_dialogs);
}

void CPlayerDlg::ImportClipData() {
    const std::string path = m_dialogs.OpenFileDialog("Import Clip Data From...", kClipDataFilter);
    if (path.empty() ||
        !m_dialogs.AskYesNo(
            "Attention: Importing clip data may overwrite existing information.  Proceed?",
            MessageIcon::Warning)) {
        UpdateMenus();
        return;
    }
    // A long file keeps the sound going and the window drawn, but takes no
    // other command until it is in.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_romList.LoadClipInfo(
        path, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    QApplication::restoreOverrideCursor();
    ShowImportedClipData();
    UpdateMenus();
}

void CPlayerDlg::ShowImportedClipData() {
    if (m_engine->Status().playlistMode) m_playlist.FillList(*m_clipList);
    RefillClipList();
    m_engine->ShowClipInformation();
}

} // namespace tarvo
