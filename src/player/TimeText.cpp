// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/TimeText.h"

#include <cstdio>

namespace tarvo {

std::string FormatTime(int seconds, bool verbose) {
    if (seconds < 0) return verbose ? "Time unknown" : "???";
    char text[64];
    if (!verbose) {
        std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
        return text;
    }
    const int hours = seconds / 3600, minutes = seconds % 3600 / 60, secs = seconds % 60;
    std::string result;
    if (hours) result += std::to_string(hours) + " hr" + (hours > 1 ? "s " : " ");
    if (minutes) result += std::to_string(minutes) + " min ";
    if (secs) result += std::to_string(secs) + " sec";
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result.empty() ? "0 sec" : result;
}

} // namespace tarvo
