// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EngineTimers.h"

#include "player/PlayerEngine.h"

namespace tarvo {

CEngineTimers::CEngineTimers(CPlayerEngine& engine) : m_engine(engine) {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_tickNeed == TickNeed::Clock)
            m_engine.ClockTick();
        else
            m_engine.TimerTick();
    });
    QObject::connect(&m_autosaveTimer, &QTimer::timeout, [this] { m_engine.Setup().Autosave(); });
}

void CEngineTimers::Start() {
    m_engine.Start();
    m_autosaveTimer.start(CPlayerEngine::kAutosavePeriodMs);
}

void CEngineTimers::Stop() {
    m_timer.stop();
    m_autosaveTimer.stop();
}

void CEngineTimers::SetTickNeed(TickNeed need) {
    m_tickNeed = need;
    if (need == TickNeed::None)
        m_timer.stop();
    else
        m_timer.start(need == TickNeed::Timer ? CPlayerEngine::kTimerPeriodMs
                                              : CPlayerEngine::kClockPeriodMs);
}

} // namespace tarvo
