// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/Song.h"

#include <string>

namespace compose {

// An AdLib tune as a DOS game's IMF file (type 1, 560 register writes a
// second) for the OPL2: an FM lead, an FM bass and a hi-hat, with the tune's
// name and author in the footer AdPlug reads.
Bytes ToImf(const LeadAndBass& tune, const std::string& author);

} // namespace compose
