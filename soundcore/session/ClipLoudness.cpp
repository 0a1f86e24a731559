// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ClipLoudness.h"

#include "playback/Normalizer.h"

#include <utility>
#include <zlib.h>

namespace tarvocore {

CLoudnessTable& CClipLoudness::Table() {
    // Asked for once: the player answers where its files are kept, or with
    // nothing when it keeps none.
    if (!m_table.IsOpen()) {
        int answer = 0;
        const std::string path = m_messenger.AskPath(CORE_MSG_LOUDNESS_PATH, "", &answer);
        m_table.Open(answer == 1 ? path : std::string());
    }
    return m_table;
}

uint32_t CClipLoudness::FileCrc(const ArchiveMember& member) {
    if (m_crcArchive.lock() != m_session.Archive()) {
        m_crcs.clear();
        m_crcArchive = m_session.Archive();
    }
    const auto known = m_crcs.find(&member);
    if (known != m_crcs.end()) return known->second;
    uLong crc = crc32_z(0L, Z_NULL, 0);
    crc = crc32_z(crc, member.data.data(), member.data.size());
    return m_crcs[&member] = static_cast<uint32_t>(crc);
}

std::optional<TuneKey> CClipLoudness::KeyOf(int clip) {
    const ClipLocation* location = m_session.FindClip(clip);
    if (!location) return std::nullopt;
    return TuneKey{m_session.LoadedEntry().romName, clip, FileCrc(*location->member)};
}

std::optional<TuneLoudness> CClipLoudness::Find(const TuneKey& key) {
    return Table().Find(key);
}

void CClipLoudness::Keep(const TuneKey& key, const TuneLoudness& loudness) {
    Table().Keep(key, loudness);
}

void CClipLoudness::SetEnabled(bool on, int clipPlaying) {
    Stop();
    if (!on || !m_session.HasGame()) return;
    m_output.Normalizer().Start(0.0);
    if (const std::optional<TuneLoudness> kept = Measure(clipPlaying))
        m_output.Normalizer().Refine(CNormalizer::GainDbFor(*kept));
}

void CClipLoudness::Begin(int clip, bool wait) {
    const bool enabled = m_output.Normalizer().IsEnabled();
    // The same tune again (played anew, or Prev) goes on with its scan.
    if (!enabled || !m_scan || KeyOf(clip) != m_scanKey) {
        Stop();
        if (!enabled) return;
        const std::optional<TuneLoudness> kept = Measure(clip);
        m_output.Normalizer().Start(kept ? CNormalizer::GainDbFor(*kept) : 0.0);
    }
    m_holding = m_scan != nullptr;
    if (wait && m_scan) {
        m_scan->Wait();
        Service();
    }
}

// The clip's kept measure; else a scan is started to make it.
std::optional<TuneLoudness> CClipLoudness::Measure(int clip) {
    const std::optional<TuneKey> key = KeyOf(clip);
    if (!key) return std::nullopt;
    if (const std::optional<TuneLoudness> kept = Find(*key)) return kept;
    const ClipLocation& location = *m_session.FindClip(clip);
    m_scanKey = *key;
    m_scan = std::make_unique<CLoudnessScan>(
        m_session.RenderRequest(location, m_timing.LengthOf(location), m_timing.FadeOf(location)),
        m_emulatorProgram);
    return std::nullopt;
}

bool CClipLoudness::Ready() {
    if (m_holding) Service();
    return !m_holding;
}

void CClipLoudness::Service() {
    std::erase_if(m_givenUp, [](const auto& scan) { return scan->Done(); });
    if (m_scan) TakeEstimate();
}

void CClipLoudness::TakeEstimate() {
    const bool done = m_scan->Done(); // before the estimate, which is then the last
    const CLoudnessScan::Estimate estimate = m_scan->Latest();
    if (!estimate.ready) return;
    const double gain = CNormalizer::GainDbFor(estimate.loudness);
    if (std::exchange(m_holding, false))
        m_output.Normalizer().Start(gain);
    else
        m_output.Normalizer().Refine(gain);
    if (!done) return;
    if (estimate.whole) Keep(m_scanKey, estimate.loudness);
    m_scan.reset();
}

void CClipLoudness::Stop() {
    m_holding = false;
    if (!m_scan) return;
    m_scan->Cancel();
    m_givenUp.push_back(std::move(m_scan));
}

void CClipLoudness::Shutdown() {
    Stop();
    m_givenUp.clear(); // each waits for its scan's end, which a cancel makes short
}

} // namespace tarvocore
