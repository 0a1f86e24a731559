// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/MenuBuilder.h"

#include <functional>

class QMenuBar;
class QWidget;

namespace tarvo {

class CPlayerEngine;
class CPlaylist;
struct Config;

// The main window's menu bar: its items by command number, enabled, checked
// and named as the player and the settings stand.
class CMainMenus {
public:
    // `command` is run with the number of each item chosen.
    CMainMenus(QWidget& window, std::function<void(int id)> command);

    int Height() const;
    void FollowWidth(int width);
    QAction* Action(int id) const;
    const CMenuBuilder::Actions& Actions() const { return m_actions; }
    // `prankAllowed` while the prank call has not yet been asked three times.
    void Update(const CPlayerEngine& engine, const CPlaylist& playlist, const Config& config,
                bool prankAllowed);
    // The transport's items as its buttons stand, by their command numbers.
    void FollowTransport(const std::function<bool(int id)>& buttonEnabled);

private:
    void SetEnabled(int id, bool enabled);
    void SetChecked(int id, bool checked);
    void SetText(int id, const QString& text);
    void UpdateClipItems(const CPlayerEngine& engine);
    void AddMediaKeys();

    QMenuBar* m_bar;
    CMenuBuilder::Actions m_actions;
};

} // namespace tarvo
