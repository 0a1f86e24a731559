// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/RomArchive.h"
#include "export/ClipRendering.h"
#include "game/Catalogue.h"
#include "game/GameClips.h"
#include "game/GameLoad.h"
#include "session/CoreMessenger.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvocore {

// The catalogue and the game chosen from it: its archive read on a thread of
// its own, then its clips. Only the caller's thread touches what is here;
// a load's own thread hands over what it found when it is done.
class CGameSession {
public:
    explicit CGameSession(const CCoreMessenger& messenger) : m_messenger(messenger) {}

    // Reads the shipped catalogue from `coreFolder`, then the user's own.
    void ReadCatalogues(const std::string& coreFolder);
    void SetUserCatalogue(const std::string& path) { m_userCatalogue = path; }
    // Games added meanwhile come after the known ones, so every number the
    // player holds still names the same game; a renamed one changes in place.
    void ReloadCatalogue();
    const CCatalogue& Catalogue() const { return m_catalogue; }
    const CatalogueGame& LoadedEntry() const { return m_catalogue.Games()[m_loadedGame]; }

    void Choose(int game) { m_chosenGame = game; }
    // Asks the player where the chosen game's archive is and starts reading
    // it, to play `clip` once loaded (-1: none); false when there is no path.
    bool StartLoad(int clip, const std::string& emulatorProgram);
    bool Loading() const { return m_load != nullptr; }
    bool LoadDone() const { return m_load && m_load->Done(); }
    void WaitForLoad() const;
    void PlayAfterLoad(int clip) { m_loadClip = clip; }
    // A load no longer wanted ends by itself after the file it reads; nothing
    // waits for it, and what it found is never told.
    void CancelLoad();

    struct LoadOutcome {
        bool loaded = false;
        bool sameGame = false; // the game that was loaded before, loaded again
        int clip = -1;         // to play now, -1: none
    };
    // Takes in what the finished load found; its messages are sent.
    LoadOutcome FinishLoad();
    void Forget();
    // Cancelled loads that have ended are let go; `all` waits for the rest.
    void DropCancelledLoads(bool all = false);

    int LoadedGame() const { return m_loadedGame; }
    bool HasGame() const { return m_loadedGame >= 0; }
    const CGameClips& Clips() const { return m_clips; }
    const std::shared_ptr<const CRomArchive>& Archive() const { return m_archive; }
    // The loaded game's clip, null without a game or a tune.
    const ClipLocation* FindClip(int clip) const;
    Bytes TrackList() const { return m_clips.TrackListFor(*m_archive); }
    // What renders a clip of the loaded game whole, for so long.
    ClipRenderRequest RenderRequest(const ClipLocation& clip, int lengthMs, int fadeMs) const {
        return {m_archive, clip.member, TrackList(), clip.track, lengthMs, fadeMs};
    }
    CompanionFiles Companions() const { return CGameClips::CompanionsIn(*m_archive); }

private:
    CCatalogue Read() const;
    bool AskArchivePath(std::string& path) const;

    const CCoreMessenger& m_messenger;
    CCatalogue m_catalogue;
    std::string m_userCatalogue;
    std::string m_coreFolder;
    int m_chosenGame = -1;
    int m_loadedGame = -1;
    // The load in progress, the game and clip it is for, and cancelled loads
    // still finishing the file they were reading.
    std::unique_ptr<CGameLoad> m_load;
    int m_loadingGame = -1;
    int m_loadClip = -1;
    std::vector<std::unique_ptr<CGameLoad>> m_cancelledLoads;
    std::shared_ptr<const CRomArchive> m_archive;
    CGameClips m_clips;
};

} // namespace tarvocore
