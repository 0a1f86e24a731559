// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/AddReport.h"

#include "library/TextUtils.h"

#include <sstream>

namespace tarvo {

AddReport AddReport::Read(const std::string& output) {
    AddReport report;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::string rest = line;
        const std::string kind = SplitToken(rest, '\t');
        const std::string what = SplitToken(rest, '\t');
        if (what.empty()) continue;
        if (kind == "game")
            report.games.push_back({what, std::max(ParseInt(rest), 0)});
        else if (kind == "refused")
            report.refused.push_back({what, rest});
    }
    return report;
}

std::string AddReport::RefusalText() const {
    if (refused.empty()) return {};
    std::string text =
        refused.size() == 1 ? "Tarvo cannot play this file:\n" : "Tarvo cannot play these files:\n";
    for (const Refusal& refusal : refused)
        text += "\n" + refusal.input + ": " + refusal.reason;
    return text;
}

} // namespace tarvo
