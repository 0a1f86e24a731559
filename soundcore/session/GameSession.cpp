// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/GameSession.h"

#include <filesystem>

namespace tarvocore {

void CGameSession::ReadCatalogues(const std::string& coreFolder) {
    m_coreFolder = coreFolder;
    m_catalogue = Read();
    for (const std::string& problem : m_catalogue.Problems())
        m_messenger.SendError(problem);
}

void CGameSession::ReloadCatalogue() {
    m_catalogue.TakeChangesFrom(Read());
}

// The shipped catalogue, then the user's own when there is one.
CCatalogue CGameSession::Read() const {
    CCatalogue catalogue;
    catalogue.Load(m_coreFolder + CCatalogue::kFileName);
    std::error_code error;
    if (!m_userCatalogue.empty() && std::filesystem::exists(m_userCatalogue, error))
        catalogue.Load(m_userCatalogue);
    return catalogue;
}

bool CGameSession::StartLoad(int clip, const std::string& emulatorProgram) {
    std::string path;
    if (!AskArchivePath(path)) return false;
    m_load = std::make_unique<CGameLoad>(path, emulatorProgram);
    m_loadingGame = m_chosenGame;
    m_loadClip = clip;
    return true;
}

bool CGameSession::AskArchivePath(std::string& path) const {
    const auto& games = m_catalogue.Games();
    if (m_chosenGame < 0 || m_chosenGame >= static_cast<int>(games.size())) return false;
    int answer = 0;
    path = m_messenger.AskPath(CORE_MSG_ROM_PATH, games[m_chosenGame].romName + ".zip", &answer);
    return answer != 0 && !path.empty();
}

void CGameSession::WaitForLoad() const {
    if (m_load) m_load->Wait();
}

void CGameSession::CancelLoad() {
    if (!m_load) return;
    m_load->Cancel();
    m_cancelledLoads.push_back(std::move(m_load));
}

CGameSession::LoadOutcome CGameSession::FinishLoad() {
    const std::unique_ptr<CGameLoad> load = std::move(m_load);
    load->Wait();
    for (const std::string& message : load->Messages())
        m_messenger.SendError(message);
    if (!load->Succeeded()) return {};
    m_archive = load->TakeArchive();
    m_clips = load->TakeClips();
    const bool sameGame = m_loadingGame == m_loadedGame;
    m_loadedGame = m_loadingGame;
    return {true, sameGame, m_loadClip};
}

void CGameSession::Forget() {
    m_archive.reset();
    m_loadedGame = -1;
}

void CGameSession::DropCancelledLoads(bool all) {
    if (all) m_cancelledLoads.clear();
    std::erase_if(m_cancelledLoads, [](const auto& load) { return load->Done(); });
}

const ClipLocation* CGameSession::FindClip(int clip) const {
    return m_loadedGame >= 0 ? m_clips.Find(clip) : nullptr;
}

} // namespace tarvocore
