// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small game list for the player's readers: names the seeds and the
// dictionaries use, one game without an archive.

#include "library/ROMList.h"

inline void AddFuzzGames(tarvo::CROMList& list) {
    for (const char* name : {"tarvoquest", "pixelracer", "starmoth", "lostcave"}) {
        tarvo::CGameEntry game;
        game.romName = name;
        game.title = name;
        if (std::string(name) != "lostcave") game.romPath = std::string("/roms/") + name + ".zip";
        list.AddGameForTesting(game);
    }
}
