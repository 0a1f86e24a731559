// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SongLengths.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace tarvocore {

namespace {

constexpr size_t kMd5Digits = 32;

// "1:23" or "1:23.456" in milliseconds; -1 when it is neither.
int ParseLength(const std::string& text) {
    int minutes = 0, seconds = 0, millis = 0;
    char colon = 0;
    std::istringstream in(text);
    if (!(in >> minutes >> colon >> seconds) || colon != ':' || minutes < 0 || minutes > 999 ||
        seconds < 0 || seconds > 59)
        return -1;
    if (in.peek() == '.') {
        std::string fraction;
        in.get();
        in >> fraction;
        fraction = (fraction + "000").substr(0, 3);
        millis = std::atoi(fraction.c_str());
    }
    return (minutes * 60 + seconds) * 1000 + millis;
}

} // namespace

CSongLengths::CSongLengths(const Bytes& database) {
    const std::string text(database.begin(), database.end());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool keyed = line.size() > kMd5Digits && line[kMd5Digits] == '=' &&
                           std::all_of(line.begin(), line.begin() + kMd5Digits,
                                       [](unsigned char c) { return std::isxdigit(c) != 0; });
        if (keyed) m_lines.emplace(line.substr(0, kMd5Digits), line);
        start = end + 1;
    }
}

std::string CSongLengths::LineFor(const std::string& md5) const {
    const auto it = m_lines.find(md5);
    return it == m_lines.end() ? std::string() : it->second;
}

// Entries may carry a note after the time, "1:23(G)".
std::vector<int> CSongLengths::LengthsFor(const std::string& md5) const {
    const std::string line = LineFor(md5);
    std::vector<int> lengths;
    if (line.empty()) return lengths;
    std::istringstream entries(line.substr(kMd5Digits + 1));
    std::string entry;
    while (entries >> entry)
        lengths.push_back(ParseLength(entry.substr(0, entry.find('('))));
    return lengths;
}

} // namespace tarvocore
