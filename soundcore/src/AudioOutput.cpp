// SPDX-License-Identifier: GPL-3.0-or-later
#include "src/AudioOutput.h"

#include "src/OutputAnalysis.h"

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
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceFrames;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (m_device == 0) {
        error = std::string("no audio device (") + SDL_GetError() + "); playing silently";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(m_device, m_paused ? 1 : 0);
    return true;
}

void CAudioOutput::Close() {
    if (m_device) {
        SDL_CloseAudioDevice(m_device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_device = 0;
    }
    m_opened = false;
}

void CAudioOutput::SetOffline(int millisecondsPerCall) {
    m_offlineFrames = std::clamp(millisecondsPerCall, 0, 60000) * kSampleRate / 1000;
}

void CAudioOutput::SetPaused(bool paused) {
    if (paused == m_paused) return;
    m_paused = paused;
    m_lastDrain = std::chrono::steady_clock::now();
    if (m_device) SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
}

void CAudioOutput::Flush() {
    if (m_device) SDL_ClearQueuedAudio(m_device);
    m_clockQueued = 0;
    m_lastDrain = std::chrono::steady_clock::now();
}

double CAudioOutput::QueuedFrames() {
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
    const double wanted = kLeadFrames - QueuedFrames();
    return std::clamp(static_cast<int>(wanted), 0, kMaxFramesPerCall);
}

void CAudioOutput::Queue(const int16_t* frames, int frameCount) {
    if (frameCount <= 0) return;
    if (m_device)
        SDL_QueueAudio(m_device, frames, static_cast<uint32_t>(frameCount) * 4);
    else
        m_clockQueued += frameCount;
}

} // namespace tarvocore
