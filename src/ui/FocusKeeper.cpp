// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FocusKeeper.h"

#include <QApplication>

namespace tarvo {

CFocusKeeper::CFocusKeeper(QWidget& window, std::function<void(QWidget* now)> moved)
    : m_window(window) {
    m_watch = QObject::connect(qApp, &QApplication::focusChanged, &window,
                               [this, moved = std::move(moved)](QWidget*, QWidget* now) {
                                   if (!m_updating && now && m_window.isAncestorOf(now))
                                       m_userFocus = now;
                                   moved(now);
                               });
}

// The window's controls go after the window's destructor, and the focus moves
// as they go: by then there is no window left to note it.
CFocusKeeper::~CFocusKeeper() {
    QObject::disconnect(m_watch);
}

void CFocusKeeper::Give(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
    m_userFocus = widget;
}

void CFocusKeeper::Restore() {
    if (m_userFocus && m_userFocus->isEnabled() && m_userFocus->isVisible() &&
        m_window.focusWidget() != m_userFocus)
        m_userFocus->setFocus(Qt::OtherFocusReason);
}

} // namespace tarvo
