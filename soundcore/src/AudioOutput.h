#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tarvocore {

// Where the rendered sound goes: the default SDL audio device kept about
// 100 ms ahead, or, without a device, a clock that consumes sound at the same
// rate so everything else behaves the same, silently. In offline mode each
// service call asks for a fixed amount of sound (rendering tools and tests).
class CAudioOutput {
public:
    static constexpr int kLeadFrames = 4410;        // 100 ms
    static constexpr int kMaxFramesPerCall = 13230; // 300 ms

    ~CAudioOutput() { Close(); }

    // Opens the device on first use; false with the reason when there is none.
    bool Open(std::string& error);
    void Close();
    void SetOffline(int millisecondsPerCall);
    bool IsOpen() const { return m_opened; }

    void SetPaused(bool paused);
    // Drops what is queued, so a new clip is heard at once.
    void Flush();
    int FramesWanted();
    void Queue(const int16_t* frames, int frameCount);

private:
    double QueuedFrames();

    bool m_opened = false;
    uint32_t m_device = 0; // 0: no device, paced by the clock
    bool m_paused = false;
    int m_offlineFrames = 0;
    double m_clockQueued = 0;
    std::chrono::steady_clock::time_point m_lastDrain{};
};

} // namespace tarvocore
