// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/VgmBuilder.h"

#include <string>
#include <vector>

namespace compose {

struct DemoFile {
    std::string name; // "01 Overture.vgm"
    Bytes data;
};

struct DemoGame {
    std::string romName;
    std::vector<DemoFile> files;
};

// The demo games' archives: original tunes, jingles and effects, with gaps in
// the numbering. One game of the catalogue deliberately has no archive.
std::vector<DemoGame> ComposeDemoGames();

} // namespace compose
