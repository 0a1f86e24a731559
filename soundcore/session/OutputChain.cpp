// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/OutputChain.h"

#include <algorithm>

namespace tarvocore {

void COutputChain::OpenOnce() {
    if (m_outputTried) return;
    m_outputTried = true;
    std::string error;
    if (!m_output.Open(error)) m_messenger.SendError(error);
    m_output.SetPaused(m_paused);
}

void COutputChain::Close() {
    m_recording.Close();
    m_output.Close();
    m_outputTried = false;
}

void COutputChain::SetPaused(bool paused) {
    m_paused = paused;
    m_output.SetPaused(paused);
}

void COutputChain::Restart() {
    m_silence.Reset();
    m_output.Flush();
    m_queuedFrames = 0;
    m_levelFill = 0;
}

int COutputChain::FramesWanted() {
    const int wanted = m_output.FramesWanted();
    if (const std::string problem = m_output.TakeDeviceProblem(); !problem.empty())
        m_messenger.SendError(problem);
    return wanted;
}

int COutputChain::CountDevices() const {
    m_deviceNames = CAudioOutput::DeviceNames();
    return static_cast<int>(m_deviceNames.size());
}

const char* COutputChain::DeviceName(int n) const {
    return n >= 0 && static_cast<size_t>(n) < m_deviceNames.size()
               ? m_deviceNames[static_cast<size_t>(n)].c_str()
               : "";
}

void COutputChain::SetDevice(int n) {
    m_output.SetDevice(DeviceName(n));
}

void COutputChain::FadeOut(int ms) {
    if (ms > 0)
        m_fade.Start(static_cast<long>(ms) * kSampleRate / 1000);
    else
        m_fade.Cancel();
}

void COutputChain::SetRecording(bool on) {
    std::string error;
    if (!on) {
        if (!m_recording.Close(error) && !m_recordingFailed) m_messenger.SendError(error);
        return;
    }
    m_recordingFailed = false;
    const std::string path = m_messenger.AskPath(CORE_MSG_WAV_PATH, "");
    if (path.empty())
        m_messenger.SendError("No file name was given for the recording");
    else if (!m_recording.Open(path, {}, error))
        m_messenger.SendError(error);
}

long COutputChain::HeardFrame() const {
    return std::max(m_timeline.Position() - static_cast<long>(m_queuedFrames), 0L);
}

void COutputChain::Deliver(int16_t* frames, int frameCount) {
    m_timeline.Process(frames, frameCount);
    m_normalizer.Process(frames, frameCount);
    m_fade.Process(frames, frameCount);
    m_output.Queue(frames, frameCount);
    m_queuedFrames = m_output.QueuedFrames();
    Record(frames, frameCount);
    SendLevels(frames, frameCount);
    for (int reports = m_silence.Feed(frames, frameCount); reports > 0; --reports)
        m_messenger.Send(CORE_MSG_SILENCE);
}

void COutputChain::Record(const int16_t* frames, int frameCount) {
    std::string error;
    if (m_recordingFailed || m_recording.Write(frames, frameCount, error)) return;
    m_recordingFailed = true;
    m_messenger.SendError(error);
}

// Level reports keep one size whatever the device asks for at once: the
// player counts them (a clip with too few audible ones is blank) and delays
// the meters by a number of them.
void COutputChain::SendLevels(const int16_t* frames, int frameCount) {
    while (frameCount > 0) {
        const int wanted = kLevelReportFrames - m_levelFill;
        const int taken = std::min(wanted, frameCount);
        std::copy_n(frames, taken * 2, m_levelReport.begin() + m_levelFill * 2);
        m_levelFill += taken;
        frames += taken * 2;
        frameCount -= taken;
        if (m_levelFill < kLevelReportFrames) return;
        m_levelFill = 0;
        m_messenger.Send(CORE_MSG_LEVELS, m_levelReport.data(), kLevelReportFrames);
    }
}

} // namespace tarvocore
