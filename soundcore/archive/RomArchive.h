// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvocore {

struct ArchiveMember {
    std::string name; // without folders
    Bytes data;
};

// Reads the music files of a game's archive (zip, 7z, RAR, or tar, plain or
// compressed) into memory; nothing is written to disk. The work is bounded
// per archive, not only per member: every member looked at counts toward the
// member limit, every byte inflated (of refused members too) toward the
// total, whatever the headers claim, and the stream passed over to reach
// them toward a limit of its own.
class CRomArchive {
public:
    static constexpr size_t kMaxMembers = 1024;
    static constexpr size_t kMaxTotalSize = 64u << 20;
    static constexpr long long kMaxStreamSize = 256ll << 20;

    // How much of an archive is read: the core's bounds, or a collection's
    // wider ones where each member is handed on as it is read.
    struct Limits {
        size_t members = kMaxMembers;
        size_t totalSize = kMaxTotalSize;
        long long streamSize = kMaxStreamSize;
    };
    // What reading an archive member by member meets: each music member
    // read whole, and each one refused with why.
    struct Visitor {
        std::function<void(ArchiveMember&& member)> take;
        std::function<void(const std::string& name, const std::string& reason)> refuse;
    };

    // False with a reason when the archive cannot be opened at all, is
    // encrypted, or is not a file (a folder, a device, a pipe).
    bool Open(const std::string& path, std::string& error);
    // Reads the archive's music members in turn within `limits`, keeping none:
    // a collection larger than the core reads in one archive passes through a
    // bounded memory. False as Open is; `problem` as Problem() says.
    static bool Visit(const std::string& path, const Limits& limits, const Visitor& visitor,
                      std::string& error, std::string& problem);
    const std::vector<ArchiveMember>& Members() const { return m_members; }
    // What was left unread, in one text for the whole archive; empty when
    // everything was read.
    const std::string& Problem() const { return m_problem; }

    static bool IsMusicFileName(const std::string& name);

private:
    std::vector<ArchiveMember> m_members;
    std::string m_problem;
};

} // namespace tarvocore
