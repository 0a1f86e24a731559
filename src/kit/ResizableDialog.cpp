// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/ResizableDialog.h"

namespace tarvo {

CResizableDialog::~CResizableDialog() = default;

void CResizableDialog::KeepSizeIn(WindowSize& kept) {
    m_sizing = std::make_unique<CWindowSizing>(*this, kept);
    m_sizing->RestoreKeptSize();
}

void CResizableDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_sizing) m_sizing->FollowResize();
}

} // namespace tarvo
