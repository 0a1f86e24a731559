// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowSizing.h"

#include "ui/DialogLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tarvo {

CWindowSizing::CWindowSizing(QWidget& window, WindowSize& kept)
    : m_window(window), m_kept(kept), m_layoutSize(window.size()) {
    m_window.setMinimumSize(m_layoutSize.boundedTo(ScreenRoom()));
    m_window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// What the screen offers a window, its frame and the desktop's panels aside.
QSize CWindowSizing::ScreenRoom() const {
    const QScreen* screen =
        m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void CWindowSizing::RestoreKeptSize() {
    if (!m_kept.IsSet()) return;
    const QSize kept(m_kept.width, m_kept.height);
    m_window.resize(kept.expandedTo(m_window.minimumSize()).boundedTo(ScreenRoom()));
}

void CWindowSizing::FollowResize() {
    CDialogLayout::Stretch(&m_window, m_window.size() - m_layoutSize);
    m_kept = {m_window.width(), m_window.height()};
}

} // namespace tarvo
