// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressDialog>
#include <QTimer>

namespace tarvo {

class CGameExport;

// The progress of a game's export: which file is being written and how much
// of the whole is done. It closes once the export ends; Cancel ends the export.
class CExportProgress : public QProgressDialog {
    Q_OBJECT

public:
    static constexpr int kPollMs = 100;

    CExportProgress(CGameExport& gameExport, QWidget* parent);

    // Shows where the export stands, and closes when it has ended.
    void Update();

private:
    CGameExport& m_export;
    QTimer m_poll;
};

} // namespace tarvo
