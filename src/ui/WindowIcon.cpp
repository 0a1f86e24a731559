// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowIcon.h"

#include "kit/IconLibrary.h"

#include <QWidget>
#include <QWindow>

namespace tarvo {

void CWindowIcon::Load() {
    m_window.setWindowIcon(CIconLibrary::Icon(CIconSequences::kProgramIcon));
    m_sequences = CIconSequences();
    for (int icon : m_sequences.Icons())
        m_frames.insert(icon, QIcon(CIconLibrary::Pixmap(QString::number(icon), 16)));
}

void CWindowIcon::Advance() {
    const int icon = m_sequences.Advance();
    if (icon == m_icon) return;
    m_icon = icon;
    // Straight to the window system: the widget's own setWindowIcon would
    // tell every child widget of the change, five times a second.
    if (QWindow* handle = m_window.windowHandle()) handle->setIcon(m_frames.value(icon));
}

} // namespace tarvo
