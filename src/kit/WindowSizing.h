// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Config.h"

#include <QSize>

class QWidget;

namespace tarvo {

// A window laid out from its table that the user may resize: never smaller
// than the table's size, or than the screen where that is smaller (its lists
// then scroll); its controls follow as the table says, and its size is kept
// in the settings for the next start.
class CWindowSizing {
public:
    // `window` has just been laid out at its table's size.
    CWindowSizing(QWidget& window, WindowSize& kept);

    // The size kept from before, within the screen.
    void RestoreKeptSize();
    // From the window's resize event.
    void FollowResize();
    QSize LayoutSize() const { return m_layoutSize; }

private:
    QSize ScreenRoom() const;

    QWidget& m_window;
    WindowSize& m_kept;
    QSize m_layoutSize;
    // The kept size was reduced to fit this screen, and the window has not
    // settled since: what it is given meanwhile is not kept.
    bool m_fitted = false;
    static constexpr int kSettleMs = 2000;
};

} // namespace tarvo
