// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

namespace tarvo {

// Where the user left the keyboard focus in the window. A control disabled
// while the core works hands the focus on; it returns here when it can.
class CFocusKeeper {
public:
    // `moved` hears of every move of the focus, in the window or out of it.
    CFocusKeeper(QWidget& window, std::function<void(QWidget* now)> moved);
    ~CFocusKeeper();
    CFocusKeeper(const CFocusKeeper&) = delete;
    CFocusKeeper& operator=(const CFocusKeeper&) = delete;

    // The focus on `widget`, as if the user had put it there.
    void Give(QWidget* widget);
    void Restore();
    // While one lives, the window changes its controls: the focus moving
    // meanwhile is not the user's doing.
    class Updating {
    public:
        explicit Updating(CFocusKeeper& keeper) : m_keeper(keeper), m_was(keeper.m_updating) {
            keeper.m_updating = true;
        }
        ~Updating() { m_keeper.m_updating = m_was; }
        Updating(const Updating&) = delete;
        Updating& operator=(const Updating&) = delete;

    private:
        CFocusKeeper& m_keeper;
        bool m_was;
    };

private:
    QWidget& m_window;
    QPointer<QWidget> m_userFocus;
    bool m_updating = false;
    QMetaObject::Connection m_watch;
};

} // namespace tarvo
