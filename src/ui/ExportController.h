// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/GameExport.h"

#include <string>
#include <vector>

namespace tarvo {

class CPlayerDlg;

// What leaves the main window as files and comes back: clip information
// exported and imported, and the loaded game's clips rendered to sound files
// with a progress dialog.
class CExportController {
public:
    explicit CExportController(CPlayerDlg& window) : m_window(window) {}

    void ExportGameClipData();
    void ExportAllClipData();
    void ImportClipData();
    void ExportGameAudio();

private:
    void ShowImportedClipData();
    // Files of the same names are replaced only when the user agrees.
    bool ConfirmExport(const std::string& folder, const std::vector<ExportItem>& items);
    void ReportExport();

    CPlayerDlg& m_window;
};

} // namespace tarvo
