// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/LoudnessScan.h"
#include "playback/LoudnessTable.h"
#include "session/CoreMessenger.h"
#include "session/GameSession.h"
#include "session/OutputChain.h"
#include "session/TuneTiming.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvocore {

// The normalizing of the clips that play: a tune's loudness found among the
// measures kept, or else measured by a scan beside its playing; its first
// sound held until the scan's first estimate (at most about a second), and
// its gain refined, gliding, as the scan goes on. A whole measure is kept.
// Caller's thread only; each scan runs on a thread of its own and is read
// through its estimate.
class CClipLoudness {
public:
    CClipLoudness(const CCoreMessenger& messenger, const CGameSession& session,
                  const TuneTiming& timing, COutputChain& output)
        : m_messenger(messenger), m_session(session), m_timing(timing), m_output(output) {}

    void SetEmulatorProgram(const std::string& path) { m_emulatorProgram = path; }
    // On: the clip playing is measured, its gain gliding from none.
    void SetEnabled(bool on, int clipPlaying);
    // A clip starts: by its kept measure, or held for a scan's first estimate
    // (`wait`: for its whole measure, before this returns).
    void Begin(int clip, bool wait);
    // True once the clip's sound can be given its gain.
    bool Ready();
    // Refines the gain from the scan, keeps a whole measure, lets go of scans
    // given up that have ended.
    void Service();
    // For tools and tests: the scan under way has ended when this returns.
    void WaitForScan() {
        if (m_scan) m_scan->Wait();
    }
    // The scan under way is given up (the game goes, the core ends).
    void Stop();
    // Every scan ends; the core does.
    void Shutdown();

    // A clip of the loaded game, as its measures are kept.
    std::optional<TuneKey> KeyOf(int clip);
    std::optional<TuneLoudness> Find(const TuneKey& key);
    void Keep(const TuneKey& key, const TuneLoudness& loudness);

private:
    CLoudnessTable& Table();
    uint32_t FileCrc(const ArchiveMember& member);
    std::optional<TuneLoudness> Measure(int clip);
    void TakeEstimate();

    const CCoreMessenger& m_messenger;
    const CGameSession& m_session;
    const TuneTiming& m_timing;
    COutputChain& m_output;
    std::string m_emulatorProgram;
    CLoudnessTable m_table;
    // The loaded game's files' CRCs, worked out once each. The archive is
    // watched, not kept: another game's, even at the same address, is another.
    std::weak_ptr<const CRomArchive> m_crcArchive;
    std::map<const ArchiveMember*, uint32_t> m_crcs;
    std::unique_ptr<CLoudnessScan> m_scan;
    TuneKey m_scanKey;
    bool m_holding = false; // the clip's sound waits for the scan's first estimate
    std::vector<std::unique_ptr<CLoudnessScan>> m_givenUp;
};

} // namespace tarvocore
