// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvocore {

struct ZipEntry {
    std::string name; // UTF-8, "/" between folders
    std::span<const uint8_t> data;
};

// Writes a zip archive of these members, deflated, with a fixed date so that
// the same members always make the same bytes; false with the reason.
bool WriteZipArchive(const std::string& path, const std::vector<ZipEntry>& entries,
                     std::string& error);

// The entries of any members that have a `name` and `data`.
template <typename Member> std::vector<ZipEntry> ZipEntriesOf(const std::vector<Member>& members) {
    std::vector<ZipEntry> entries;
    for (const Member& member : members)
        entries.push_back({member.name, member.data});
    return entries;
}

} // namespace tarvocore
