// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ipc/EmulatorProcess.h"
#include "library/ClipInfo.h"
#include "tools/add/Collection.h"

#include <set>
#include <string>
#include <vector>

namespace tarvoadd {

// A game ready for the catalogue: its line's fields, the archive's members
// named by clip number as the core expects, and what the tags say of each clip.
struct NewGame {
    std::string romName;
    std::string title;
    std::string maker;
    std::string year;
    std::string driver;
    std::vector<SourceFile> members;
    std::string copyArchive;             // an input archive that fits as it is
    std::vector<tarvo::FoundTune> tunes; // index = clip number
    std::string skipped;                 // why it is not added, when it is not
    // The files of an added game left out, each "name: reason".
    std::vector<std::string> skippedFiles;

    int ClipCount() const;
    std::string CatalogueLine(const std::string& source) const;
};

// Reads a found game's files through the core's checks and its emulator
// process (so hostile data stops that process, not this one) and makes the
// game, still without a short name.
NewGame BuildGame(const SourceGame& source, tarvocore::CEmulatorProcess& emulator);
// Gives the game a short name of its own: `taken` holds those in use.
void NameGame(NewGame& game, std::set<std::string>& taken);

// "Some Game (Mega Drive)" gives "some-game-mega-drive"; at most 24 characters.
std::string ShortNameOf(const std::string& title);

} // namespace tarvoadd
