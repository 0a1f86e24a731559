// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/ClipSource.h"

#include <algorithm>
#include <cstring>

namespace tarvocore {

bool CClipSource::Start(const std::string& name, const Bytes& data, const Bytes& trackList,
                        const CompanionFiles& companions,
                        const CEmulatorProcess::StartRequest& start, std::string& error) {
    StartSilence();
    m_started = m_playing =
        m_emulator.Start(name, data, trackList, companions, start, m_tune, error);
    return m_playing;
}

void CClipSource::StartSilence() {
    if (m_started) m_emulator.Stop();
    m_started = m_playing = false;
    m_tune = {};
    DropBlock();
}

void CClipSource::DropBlock() {
    m_block = nullptr;
    m_blockFrames = m_read = 0;
}

// A seek may run a tune a long way without sound; it is done on a thread of
// its own, so its limit is generous.
SeekOutcome CClipSource::Seek(int ms, uint32_t number, std::string& error) {
    if (!m_started) return SeekOutcome::Failed;
    DropBlock();
    constexpr int kSeekLimitMs = 60000;
    const SeekOutcome outcome = m_emulator.Seek(ms, number, kSeekLimitMs, error);
    m_playing = outcome == SeekOutcome::Done;
    if (outcome == SeekOutcome::Failed) StartSilence();
    return outcome;
}

// The block after this one is asked for at once, so the emulator renders it
// while this one plays. A block that is late is waited for only briefly: the
// clip is silent until it comes, or until the emulator is given up.
CEmulatorProcess::Block CClipSource::TakeBlock(std::string& error) {
    using Block = CEmulatorProcess::Block;
    m_read = 0;
    m_blockFrames = 0;
    const int16_t* block = nullptr;
    int frames = 0;
    Block taken = m_emulator.TakeNext(block, frames, error, m_waitMs);
    if (taken == Block::Taken && frames > 0 && !m_emulator.AskNext(error)) taken = Block::Failed;
    if (taken == Block::NotYet) return taken;
    if (taken == Block::Taken) m_blockFrames = frames;
    m_block = const_cast<int16_t*>(block); // the block is this side's until the next is taken
    m_playing = m_blockFrames > 0;
    if (taken == Block::Failed) m_started = false; // the emulator has gone, and the tune with it
    return taken;
}

int16_t* CClipSource::Render(int16_t* buffer, int frameCount, bool& stopped, std::string& error) {
    stopped = false;
    bool late = false;
    const auto takeWhenRead = [&] {
        if (m_read < m_blockFrames || !m_playing || late) return;
        const CEmulatorProcess::Block taken = TakeBlock(error);
        stopped = stopped || taken == CEmulatorProcess::Block::Failed;
        late = taken == CEmulatorProcess::Block::NotYet;
    };
    takeWhenRead();
    if (frameCount <= m_blockFrames - m_read) {
        int16_t* frames = m_block + static_cast<size_t>(m_read) * 2;
        m_read += frameCount;
        return frames;
    }
    for (int16_t* to = buffer; frameCount > 0;) {
        takeWhenRead();
        if (m_read == m_blockFrames) {
            std::memset(to, 0, static_cast<size_t>(frameCount) * 4);
            break;
        }
        const int taken = std::min(frameCount, m_blockFrames - m_read);
        std::memcpy(to, m_block + static_cast<size_t>(m_read) * 2, static_cast<size_t>(taken) * 4);
        m_read += taken;
        to += static_cast<size_t>(taken) * 2;
        frameCount -= taken;
    }
    return buffer;
}

} // namespace tarvocore
