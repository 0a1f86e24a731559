// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

// A time in whole seconds as the player shows it: "03:05", or with `verbose`
// "3 min 5 sec"; a negative time is unknown.
std::string FormatTime(int seconds, bool verbose);

} // namespace tarvo
