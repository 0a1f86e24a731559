// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/SoundFileWriter.h"
#include "playback/AudioOutput.h"
#include "playback/ClipTimeline.h"
#include "playback/Normalizer.h"
#include "playback/OutputAnalysis.h"
#include "session/CoreMessenger.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvocore {

// Where the clip's sound goes once rendered: its timeline (the end at its
// length and the fade), the loudness normalizing, the player's fade-out, the device,
// the recording, and the level and silence reports. Caller's thread only.
class COutputChain {
public:
    // 30 ms of sound, the player's timer period.
    static constexpr int kLevelReportFrames = 1323;

    explicit COutputChain(const CCoreMessenger& messenger) : m_messenger(messenger) {}

    // The device is opened once, when a game first loads; a failure is told once.
    void OpenOnce();
    void Close();
    void SetPaused(bool paused);
    bool Paused() const { return m_paused; }
    bool HoldsDevice() const { return m_output.HoldsDevice(); }
    void SetOffline(int millisecondsPerCall) { m_output.SetOffline(millisecondsPerCall); }
    // What the device wants now; a device that failed or went away is told.
    int FramesWanted();
    // What was rendered for the old place is dropped, and neither the meters
    // nor the silence count see the part skipped.
    void Restart();
    void Flush() { m_output.Flush(); }

    void SetNormalize(bool on) { m_normalizer.SetEnabled(on); }
    CNormalizer& Normalizer() { return m_normalizer; }
    void SetVolume(int percent) { m_output.SetVolume(percent); }
    // The system's output devices, counted afresh; DeviceName(n) names them.
    int CountDevices() const;
    const char* DeviceName(int n) const;
    // n < 0: the system's default; else device n as last counted.
    void SetDevice(int n);
    // The player's fade-out over `ms`; 0 or less cancels it.
    void FadeOut(int ms);
    void SetRecording(bool on);
    bool Recording() const { return m_recording.IsOpen(); }
    void CloseRecording() { m_recording.Close(); }

    CClipTimeline& Timeline() { return m_timeline; }
    // The frame of the clip being heard now: what was rendered less what the
    // device still holds.
    long HeardFrame() const;
    // Takes the clip's next frames on their way to the listener.
    void Deliver(int16_t* frames, int frameCount);

private:
    void Record(const int16_t* frames, int frameCount);
    void SendLevels(const int16_t* frames, int frameCount);

    const CCoreMessenger& m_messenger;
    CAudioOutput m_output;
    mutable std::vector<std::string> m_deviceNames; // as last counted
    bool m_outputTried = false;
    bool m_paused = false;
    CClipTimeline m_timeline;
    double m_queuedFrames = 0; // rendered and not yet heard, at the last delivery
    CSilenceDetector m_silence;
    CNormalizer m_normalizer;
    CFadeOut m_fade;
    CSoundFileWriter m_recording;
    bool m_recordingFailed = false; // told once; the rest of the take is dropped
    std::array<int16_t, kLevelReportFrames * 2> m_levelReport{};
    int m_levelFill = 0;
};

} // namespace tarvocore
