// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/GameLoad.h"

namespace tarvocore {

CGameLoad::CGameLoad(std::string path, const std::string& emulatorProgram)
    : m_path(std::move(path)), m_emulator(emulatorProgram), m_job([this] { Run(); }) {}

CGameLoad::~CGameLoad() {
    Cancel();
    Wait();
}

void CGameLoad::Run() {
    auto archive = std::make_unique<CRomArchive>();
    const std::string name = m_path.substr(m_path.rfind('/') + 1) + ": ";
    std::string error;
    if (!archive->Open(m_path, error)) {
        if (!error.empty()) m_messages.push_back(error);
    } else {
        if (!archive->Problem().empty()) m_messages.push_back(name + archive->Problem());
        if (!m_clips.Build(*archive, m_emulator, error, &m_cancelled)) {
            m_messages.push_back(name + error);
        } else {
            if (!m_clips.Unread().empty()) m_messages.push_back(name + m_clips.Unread());
            m_archive = std::move(archive);
            m_succeeded = true;
        }
    }
    m_emulator.Kill(); // the game plays in the core's own emulator process
}

} // namespace tarvocore
