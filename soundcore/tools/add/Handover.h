// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvoadd {

// The games' titles wait here, in the program folder, until Tarvo takes
// them in: a running Tarvo at once, when told, else at its next start.
std::string PendingClipDataPath(const std::string& programFolder);

// Adds clip information lines after any already waiting in `path`, so that
// two runs before Tarvo takes them in lose nothing; false with the reason.
bool AppendClipData(const std::string& path, const std::string& lines, std::string& problem);

// Asks a Tarvo running for this user to take in the new games now (over the
// session bus); false when none answers.
bool TellRunningTarvo();

} // namespace tarvoadd
