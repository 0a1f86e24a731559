// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/Volume.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvocore {

// Where the rendered sound goes: an SDL audio device (the system's default,
// or the one the listener chose) kept about
// 140 ms ahead, or, without a device, a clock that consumes sound at the same
// rate so everything else behaves the same, silently. In offline mode each
// service call asks for a fixed amount of sound (rendering tools and tests).
// While paused the device is closed, so that neither its thread nor the sound
// server wakes for a player that plays nothing; what it had not yet played
// is kept and goes first when it opens again.
class CAudioOutput {
public:
    // The device takes sound in periods of about 93 ms, so the sound server
    // wakes about 11 times a second; STOP, PAUSE and NEXT are still heard
    // within a period. The queue holds a period and 50 ms more, so a 30 ms
    // tick that comes late never lets it run dry.
    static constexpr int kDeviceFrames = 4096;
    static constexpr int kLeadFrames = kDeviceFrames + 2205;
    static constexpr int kMaxFramesPerCall = 13230; // 300 ms

    ~CAudioOutput() { Close(); }

    // Opens the device on first use; false with the reason when there is none.
    bool Open(std::string& error);
    void Close();
    void SetOffline(int millisecondsPerCall);
    bool IsOpen() const { return m_opened; }

    void SetPaused(bool paused);
    // The listener's volume, 0 to 100: on the device's sound alone.
    void SetVolume(int percent) { m_volume.SetPercent(percent); }
    bool HoldsDevice() const { return m_device != 0; }
    // The output devices the system has, by the names it gives them.
    static std::vector<std::string> DeviceNames();
    // Sends the sound to the device of this name from now on (empty: the
    // system's default); what was queued goes on there.
    void SetDevice(const std::string& name);
    // What befell the chosen device since last asked, in words, once: it
    // could not be opened, or it went away while playing. The sound then goes
    // on through the system's default.
    std::string TakeDeviceProblem() { return std::move(m_deviceProblem); }
    // Drops what is queued, so a new clip is heard at once.
    void Flush();
    int FramesWanted();
    void Queue(const int16_t* frames, int frameCount);
    // Frames queued and not yet heard.
    double QueuedFrames();

private:
    bool OpenDevice(std::string& error);
    // The chosen device, else the default, told when it is not the chosen one.
    bool OpenChosenDevice(std::string& error);
    void ReleaseDevice();
    // A device unplugged stops: the sound goes to the default instead.
    void CheckDevice();
    void Remember(const int16_t* frames, int frameCount);

    // The last frames queued, at least as many as the device can hold.
    static constexpr int kRecentFrames = kLeadFrames + kMaxFramesPerCall + 1024;
    std::vector<int16_t> m_recent;
    size_t m_recentEnd = 0;          // in frames, where the next frame goes
    std::vector<int16_t> m_unplayed; // taken from the device at a pause
    bool m_wantsDevice = false;      // a device was opened, to open again on resume
    bool m_opened = false;
    uint32_t m_device = 0;    // 0: no device, paced by the clock
    std::string m_deviceName; // chosen; empty for the system's default
    std::string m_deviceProblem;
    bool m_paused = false;
    int m_offlineFrames = 0;
    double m_clockQueued = 0;
    CVolume m_volume;
    std::chrono::steady_clock::time_point m_lastDrain{};
};

} // namespace tarvocore
