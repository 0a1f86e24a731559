// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/WindowSizing.h"

#include "kit/DialogLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
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

// A kept size the screen cannot hold (a smaller screen, a larger scale) is
// reduced to fit for this run only: the size the user chose stays kept for
// the screen that holds it. What the window system does to the fitted window
// as it first shows it (its frame, its panels) is not the user's either, so
// sizes are kept again only once the window has settled.
void CWindowSizing::RestoreKeptSize() {
    if (!m_kept.IsSet()) return;
    const QSize kept(m_kept.width, m_kept.height);
    const QSize fitting = kept.expandedTo(m_window.minimumSize()).boundedTo(ScreenRoom());
    m_fitted = fitting != kept;
    if (m_fitted) QTimer::singleShot(kSettleMs, &m_window, [this] { m_fitted = false; });
    m_window.resize(fitting);
}

void CWindowSizing::FollowResize() {
    CDialogLayout::Stretch(&m_window, m_window.size() - m_layoutSize);
    if (!m_fitted) m_kept = {m_window.width(), m_window.height()};
}

} // namespace tarvo
