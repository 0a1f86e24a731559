// SPDX-License-Identifier: GPL-3.0-or-later
// A .tvp file: read, written back, read again to the same entries.
#include "FuzzGames.h"
#include "playlist/Playlist.h"

#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvo::CROMList list;
    AddFuzzGames(list);
    tarvo::CPlaylist playlist;
    playlist.SetROMList(&list);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    playlist.ReadFrom(in);
    playlist.RemoveBadEntries();
    std::ostringstream written;
    playlist.WriteTo(written);

    tarvo::CPlaylist again;
    again.SetROMList(&list);
    std::istringstream back(written.str());
    again.ReadFrom(back);
    if (again.GetEntries() != playlist.GetEntries()) std::abort();
    return 0;
}
