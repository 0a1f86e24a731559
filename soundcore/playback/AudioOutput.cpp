// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/AudioOutput.h"

#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <SDL.h>

namespace tarvocore {

bool CAudioOutput::Open(std::string& error) {
    if (m_opened) return true;
    m_opened = true;
    m_lastDrain = std::chrono::steady_clock::now();
    if (m_offlineFrames > 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no audio output (") + SDL_GetError() + "); playing silently";
        return false;
    }
    m_wantsDevice = true;
    if (m_paused) return true; // opened at the first resume
    if (OpenChosenDevice(error)) return true;
    error = "no audio device (" + error + "); playing silently";
    Close();
    m_opened = true;
    return false;
}

bool CAudioOutput::OpenDevice(std::string& error) {
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceFrames;
    m_device = SDL_OpenAudioDevice(m_deviceName.empty() ? nullptr : m_deviceName.c_str(), 0,
                                   &wanted, nullptr, 0);
    if (m_device == 0) {
        error = SDL_GetError();
        return false;
    }
    m_recent.assign(static_cast<size_t>(kRecentFrames) * 2, 0);
    m_recentEnd = 0;
    Queue(m_unplayed.data(), static_cast<int>(m_unplayed.size() / 2));
    m_unplayed.clear();
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

bool CAudioOutput::OpenChosenDevice(std::string& error) {
    if (OpenDevice(error) || m_deviceName.empty()) return m_device != 0;
    m_deviceProblem = "The sound device \"" + m_deviceName + "\" cannot be opened (" + error +
                      "); the sound goes to the system's default.";
    m_deviceName.clear();
    return OpenDevice(error);
}

std::vector<std::string> CAudioOutput::DeviceNames() {
    std::vector<std::string> names;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return names;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i)
        if (const char* name = SDL_GetAudioDeviceName(i, 0)) names.emplace_back(name);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

void CAudioOutput::SetDevice(const std::string& name) {
    if (name == m_deviceName) return;
    m_deviceName = name;
    if (!m_device) return; // opened there when it is next wanted
    ReleaseDevice();
    std::string error;
    if (!OpenChosenDevice(error)) m_unplayed.clear(); // no device: the clock paces the sound
}

void CAudioOutput::CheckDevice() {
    if (!m_device || SDL_GetAudioDeviceStatus(m_device) != SDL_AUDIO_STOPPED) return;
    m_deviceProblem = "The sound device \"" +
                      (m_deviceName.empty() ? std::string("system default") : m_deviceName) +
                      "\" went away; the sound goes to the system's default.";
    m_deviceName.clear();
    ReleaseDevice();
    std::string error;
    if (!OpenDevice(error)) m_unplayed.clear();
}

// Keeps what the device had not played, then closes it.
void CAudioOutput::ReleaseDevice() {
    if (!m_device) return;
    const size_t queued = std::min<size_t>(SDL_GetQueuedAudioSize(m_device) / 4, kRecentFrames);
    m_unplayed.resize(queued * 2);
    for (size_t i = 0; i < queued; ++i) {
        const size_t from = (m_recentEnd + kRecentFrames - queued + i) % kRecentFrames;
        m_unplayed[2 * i] = m_recent[2 * from];
        m_unplayed[2 * i + 1] = m_recent[2 * from + 1];
    }
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
}

void CAudioOutput::Close() {
    ReleaseDevice();
    if (m_wantsDevice) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_wantsDevice = false;
    m_unplayed.clear();
    m_opened = false;
}

void CAudioOutput::SetOffline(int millisecondsPerCall) {
    m_offlineFrames = std::clamp(millisecondsPerCall, 0, 60000) * kSampleRate / 1000;
}

void CAudioOutput::SetPaused(bool paused) {
    if (paused == m_paused) return;
    m_paused = paused;
    m_lastDrain = std::chrono::steady_clock::now();
    std::string error;
    if (paused)
        ReleaseDevice();
    else if (m_wantsDevice && !OpenChosenDevice(error))
        m_unplayed.clear(); // the device went away: the clock paces the sound, silently
}

void CAudioOutput::Flush() {
    if (m_device) SDL_ClearQueuedAudio(m_device);
    m_unplayed.clear();
    m_clockQueued = 0;
    m_lastDrain = std::chrono::steady_clock::now();
}

double CAudioOutput::QueuedFrames() {
    if (m_offlineFrames > 0) return 0; // rendered offline, each call's sound counts as heard
    if (m_device) return SDL_GetQueuedAudioSize(m_device) / 4.0;
    // The clock stands in for a device that plays in real time.
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - m_lastDrain).count();
    m_lastDrain = now;
    m_clockQueued = std::max(0.0, m_clockQueued - elapsed * kSampleRate);
    return m_clockQueued;
}

int CAudioOutput::FramesWanted() {
    if (!m_opened || m_paused) return 0;
    if (m_offlineFrames > 0) return m_offlineFrames;
    CheckDevice();
    const double wanted = kLeadFrames - QueuedFrames();
    return std::clamp(static_cast<int>(wanted), 0, kMaxFramesPerCall);
}

void CAudioOutput::Queue(const int16_t* frames, int frameCount) {
    if (frameCount <= 0) return;
    if (!m_device) {
        m_clockQueued += frameCount;
        return;
    }
    Remember(frames, frameCount); // as rendered: queued again, it gets the volume once
    const int16_t* heard = m_volume.Apply(frames, frameCount);
    SDL_QueueAudio(m_device, heard, static_cast<uint32_t>(frameCount) * 4);
}

// On every tick: at most two block copies into the ring.
void CAudioOutput::Remember(const int16_t* frames, int frameCount) {
    const size_t kept = std::min<size_t>(frameCount, kRecentFrames);
    frames += 2 * (frameCount - kept);
    for (size_t done = 0; done < kept;) {
        const size_t chunk = std::min(kept - done, kRecentFrames - m_recentEnd);
        std::copy_n(frames + 2 * done, 2 * chunk, m_recent.begin() + 2 * m_recentEnd);
        m_recentEnd = (m_recentEnd + chunk) % kRecentFrames;
        done += chunk;
    }
}

} // namespace tarvocore
