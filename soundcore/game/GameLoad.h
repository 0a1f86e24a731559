// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/RomArchive.h"
#include "common/BackgroundJob.h"
#include "game/GameClips.h"
#include "ipc/EmulatorProcess.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace tarvocore {

// One game's load on a thread of its own, so that the caller's thread (the
// player's window) never waits on it: it reads the archive and the files'
// tags, with an emulator process of its own. Cancel makes it end after the
// file it is reading; the destructor cancels it and waits for that.
class CGameLoad {
public:
    CGameLoad(std::string path, const std::string& emulatorProgram);
    ~CGameLoad();
    CGameLoad(const CGameLoad&) = delete;
    CGameLoad& operator=(const CGameLoad&) = delete;

    bool Done() const { return m_job.Done(); }
    void Wait() { m_job.Wait(); }
    void Cancel() { m_cancelled = true; }

    // Once done: whether the game plays, what to tell the user, and the game.
    bool Succeeded() const { return m_succeeded; }
    const std::vector<std::string>& Messages() const { return m_messages; }
    std::unique_ptr<CRomArchive> TakeArchive() { return std::move(m_archive); }
    CGameClips TakeClips() { return std::move(m_clips); }

private:
    void Run();

    const std::string m_path;
    CEmulatorProcess m_emulator;
    std::atomic<bool> m_cancelled{false};
    bool m_succeeded = false;
    std::vector<std::string> m_messages;
    std::unique_ptr<CRomArchive> m_archive;
    CGameClips m_clips;
    CBackgroundJob m_job; // last: it starts once everything above is made
};

} // namespace tarvocore
