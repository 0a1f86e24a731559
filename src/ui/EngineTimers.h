// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/IPlayerView.h"

#include <QTimer>

namespace tarvo {

class CPlayerEngine;

// The engine's timer, running only at the cadence the engine asks for, and
// the autosave's own slow one.
class CEngineTimers {
public:
    explicit CEngineTimers(CPlayerEngine& engine);

    void Start();
    void Stop();
    void SetTickNeed(TickNeed need);
    const QTimer& Timer() const { return m_timer; }
    const QTimer& AutosaveTimer() const { return m_autosaveTimer; }

private:
    CPlayerEngine& m_engine;
    QTimer m_timer;
    TickNeed m_tickNeed = TickNeed::None;
    QTimer m_autosaveTimer;
};

} // namespace tarvo
