// SPDX-License-Identifier: GPL-3.0-or-later
// The core's catalogue of games.
#include "game/Catalogue.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvocore::CCatalogue catalogue;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    catalogue.Read(in);
    for (const auto& game : catalogue.Games())
        if (game.driver < 0 || game.driver >= static_cast<int>(catalogue.Drivers().size()))
            __builtin_trap();
    return 0;
}
