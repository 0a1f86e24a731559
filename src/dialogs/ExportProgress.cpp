// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ExportProgress.h"

#include "player/GameExport.h"

using namespace Qt::StringLiterals;

namespace tarvo {

CExportProgress::CExportProgress(CGameExport& gameExport, QWidget* parent)
    : QProgressDialog(parent), m_export(gameExport) {
    setWindowTitle(u"Export Game Audio"_s);
    setRange(0, 1000);
    setMinimumDuration(0);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumWidth(420);
    connect(this, &QProgressDialog::canceled, this, [this] { m_export.Cancel(); });
    connect(&m_poll, &QTimer::timeout, this, &CExportProgress::Update);
    m_poll.start(kPollMs);
    Update();
}

void CExportProgress::Update() {
    const CGameExport& progress = m_export;
    if (!progress.Running()) {
        m_poll.stop();
        done(progress.Error().empty() && progress.Written() == progress.Count() ? Accepted
                                                                                : Rejected);
        return;
    }
    setLabelText(tr("Writing %1 of %2:\n%3")
                     .arg(progress.Written() + 1)
                     .arg(progress.Count())
                     .arg(QString::fromStdString(progress.CurrentFile())));
    setValue(progress.Permille());
}

} // namespace tarvo
