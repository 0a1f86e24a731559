// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

namespace tarvocore {

// libgme trusts VGM files completely: absurd chip clocks abort it, PCM seeks
// past the data bank and truncated commands read out of bounds, and gzip is
// inflated without a limit. Every VGM and VGZ goes through here first.
class CVgmValidator {
public:
    // Inflates a VGZ under the size cap; plain VGM data is returned as it is.
    static bool Inflate(const Bytes& input, Bytes& output, std::string& error);
    // Checks the header and the whole command stream; the returned copy has a
    // dangling loop point or tag block removed and an end command appended.
    static CheckedMusic Check(const Bytes& file);
};

} // namespace tarvocore
