// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <string>

namespace tarvocore {

// A PSID or RSID file's header checked against the format before any player
// reads it: libsidplayfp trusts offsets and sizes it is given. Empty when the
// header holds together, else what is wrong with it.
std::string SidHeaderProblem(const Bytes& data);

bool LooksLikeSid(const Bytes& data);

} // namespace tarvocore
