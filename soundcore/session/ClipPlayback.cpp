// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ClipPlayback.h"

#include <algorithm>
#include <utility>

namespace tarvocore {

void CClipPlayback::SetOffline(bool offline) {
    m_offline = offline;
    m_source.SetBlockWait(offline ? CEmulatorProcess::kBlockLimitMs
                                  : CClipSource::kRealTimeBlockWaitMs);
}

void CClipPlayback::Play(int clip) {
    m_currentClip = clip;
    m_output.FadeOut(0);
    m_output.Restart();
    const bool seekWindsDown = m_seeker.Cancel();
    if (GiveUpStart() || seekWindsDown) {
        m_nextClip = clip;
        return;
    }
    m_nextClip.reset();
    Begin(clip);
}

void CClipPlayback::Begin(int clip) {
    m_source.StartSilence();
    const ClipLocation* location = clip == CORE_SILENCE_CLIP ? nullptr : m_session.FindClip(clip);
    StartClipEnd(location);
    if (!location) {
        m_voices.clear();
        m_messenger.Send(CORE_MSG_CLIP_STARTED, nullptr, clip);
        return;
    }
    m_sourceName = location->member->name;
    m_startError.clear();
    m_emulator.Launch(m_startError); // on this thread, which outlives the job
    // The job starts with the mutes as they are now; any made meanwhile are
    // applied once it is done.
    m_start = std::make_unique<CBackgroundJob>([this, location, muted = m_mutedVoices] {
        m_started = Start(*location, muted, m_startError);
    });
    if (m_offline) FinishStart();
}

bool CClipPlayback::Start(const ClipLocation& location, const std::vector<bool>& muted,
                          std::string& error) {
    const ArchiveMember& member = *location.member;
    Bytes data;
    if (!CGameClips::PrepareData(member, data, error) ||
        !m_source.Start(member.name, data, m_session.TrackList(), m_session.Companions(),
                        {location.track, muted}, error)) {
        error = member.name + ": " + error;
        return false;
    }
    return true;
}

void CClipPlayback::FinishStart() {
    WaitForStart();
    m_voices = m_source.Voices();
    if (!m_started) {
        m_source.StartSilence();
        m_messenger.SendError("Clip " + std::to_string(m_currentClip) +
                              " cannot be played: " + m_startError);
    }
    m_messenger.Send(CORE_MSG_CLIP_STARTED, nullptr, m_currentClip);
}

// Before anything else uses the emulator or the clip's file.
void CClipPlayback::WaitForStart() {
    if (!m_start) return;
    m_start->Wait();
    m_start.reset();
    m_startGivenUp = false;
}

bool CClipPlayback::GiveUpStart() {
    if (!m_start) return false;
    if (m_start->Done()) {
        WaitForStart(); // done, and superseded before it was told
        return false;
    }
    m_startGivenUp = true;
    m_emulator.Interrupt();
    return true;
}

// The game's files go with it, so what still reads them is waited for: since
// its emulator is ended, no longer than a file's unpacking.
void CClipPlayback::Stop() {
    m_nextClip.reset();
    m_seeker.Cancel();
    m_seeker.Forget();
    GiveUpStart();
    WaitForStart();
    m_source.StartSilence();
    m_voices.clear();
}

bool CClipPlayback::Ready() {
    if (m_start) {
        if (!m_start->Done()) return false; // nothing plays until the clip has started
        if (m_startGivenUp)
            WaitForStart();
        else
            FinishStart();
    }
    if (m_seeker.Busy()) return false;
    if (m_nextClip) {
        Begin(*std::exchange(m_nextClip, std::nullopt));
        return Ready();
    }
    if (m_mutesPending) ApplyMutes();
    return !m_seeker.Running();
}

void CClipPlayback::WaitForJobs() {
    if (m_start) m_start->Wait();
    m_seeker.WaitForJob();
}

void CClipPlayback::Seek(int ms) {
    if (!m_session.HasGame() || m_start || m_nextClip) return;
    m_seeker.Seek(ms, m_currentClip, true, m_offline);
}

void CClipPlayback::StartClipEnd(const ClipLocation* clip) {
    const int length = clip ? m_timing.LengthOf(*clip) : -1;
    if (!m_timing.endAtLength || length <= 0) {
        m_output.Timeline().Start(-1, 0);
        return;
    }
    m_output.Timeline().Start(static_cast<long>(length) * kSampleRate / 1000,
                              static_cast<long>(m_timing.FadeOf(*clip)) * kSampleRate / 1000);
}

void CClipPlayback::SetVoiceMuted(int voice, bool muted) {
    const size_t voices = m_voices.size();
    if (voice >= 0 && static_cast<size_t>(voice) >= voices) return;
    m_mutedVoices.resize(std::max(voices, m_mutedVoices.size()), false);
    if (voice < 0)
        std::fill(m_mutedVoices.begin(), m_mutedVoices.end(), muted);
    else
        m_mutedVoices[static_cast<size_t>(voice)] = muted;
    m_mutesPending = true;
    if (!m_seeker.Running() && !m_start && !m_nextClip) ApplyMutes();
}

bool CClipPlayback::VoiceMuted(int voice) const {
    return voice >= 0 && static_cast<size_t>(voice) < m_mutedVoices.size() &&
           m_mutedVoices[static_cast<size_t>(voice)];
}

// Unless a recording runs: what it holds was heard, and stays as it was.
void CClipPlayback::ApplyMutes() {
    m_mutesPending = false;
    std::string error;
    if (!m_source.HasTune()) return;
    if (!m_source.Mute(m_mutedVoices, error)) {
        m_messenger.SendError(m_sourceName + " " + error);
        return;
    }
    // Not shown as busy: the player goes on as it was, and its clock is set
    // right when the seek is done. An engine that would replay the tune to
    // go back does so only near the start; further on it is spared the
    // replay, and the mute is heard once the little rendered ahead has played.
    const int heardMs = static_cast<int>(m_output.HeardFrame() * 1000 / kSampleRate);
    if (!m_output.Recording() && (m_source.GoesBackCheaply() || heardMs < kShortReplayMs))
        m_seeker.Seek(heardMs, m_currentClip, false, m_offline);
}

int16_t* CClipPlayback::Render(int16_t* buffer, int frameCount) {
    bool stopped = false;
    std::string error;
    int16_t* frames = m_source.Render(buffer, frameCount, stopped, error);
    if (stopped) m_messenger.SendError(m_sourceName + " " + error); // the clip goes on as silence
    return frames;
}

} // namespace tarvocore
