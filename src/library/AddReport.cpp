// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/AddReport.h"

#include "library/TextUtils.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr char kGame[] = "game";
constexpr char kArchive[] = "archive"; // follows its game's record
constexpr char kRefused[] = "refused";
constexpr char kClipData[] = "clips";

std::string Record(const std::string& kind, const std::string& what, const std::string& detail) {
    std::string record;
    for (const std::string* field : {&kind, &what, &detail}) {
        // A NUL inside a field would end it early; nothing tarvo-add reports holds one.
        record.append(field->c_str());
        record.push_back('\0');
    }
    return record;
}

} // namespace

std::string AddReport::GameRecord(const std::string& romName, const std::string& archivePath,
                                  int clip) {
    return Record(kGame, romName, std::to_string(clip)) + Record(kArchive, romName, archivePath);
}

std::string AddReport::ClipDataRecord(const std::string& romName, const std::string& lines) {
    return Record(kClipData, romName, lines);
}

std::string AddReport::RefusalRecord(const std::string& input, const std::string& reason) {
    return Record(kRefused, input, reason);
}

AddReport AddReport::Read(const std::string& output) {
    std::vector<std::string> fields;
    for (size_t at = 0; at < output.size();) {
        const size_t end = output.find('\0', at);
        if (end == std::string::npos) break; // a field cut short
        fields.push_back(output.substr(at, end - at));
        at = end + 1;
    }
    AddReport report;
    for (size_t i = 0; i + 2 < fields.size(); i += 3) {
        const std::string& kind = fields[i];
        const std::string& what = fields[i + 1];
        const std::string& detail = fields[i + 2];
        if (what.empty()) continue;
        if (kind == kGame) {
            const int clip = ParseInt(detail);
            if (clip >= 0 && std::to_string(clip) == detail)
                report.games.push_back({what, {}, clip});
        } else if (kind == kArchive) {
            if (!report.games.empty() && report.games.back().romName == what)
                report.games.back().archivePath = detail;
        } else if (kind == kClipData) {
            report.clipData += detail.empty() || detail.back() == '\n' ? detail : detail + "\n";
        } else if (kind == kRefused) {
            report.refused.push_back({what, detail});
        }
    }
    return report;
}

void AddReport::KeepRefusalsOf(const std::set<std::string>& inputs) {
    std::erase_if(refused, [&](const Refusal& refusal) { return !inputs.contains(refusal.input); });
}

std::string AddReport::RefusalText() const {
    if (refused.empty()) return {};
    std::string text = refused.size() == 1 ? std::string("Tarvo cannot play this file:\n")
                                           : "Tarvo cannot play these " +
                                                 std::to_string(refused.size()) + " files:\n";
    for (const Refusal& refusal : refused)
        text += "\n" + refusal.input + ": " + refusal.reason;
    return text;
}

} // namespace tarvo
