// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "src/MusicData.h"

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

    // False with a reason when the archive cannot be opened at all, is
    // encrypted, or is not a file (a folder, a device, a pipe).
    bool Open(const std::string& path, std::string& error);
    const std::vector<ArchiveMember>& Members() const { return m_members; }
    // What was left unread, in one text for the whole archive; empty when
    // everything was read.
    const std::string& Problem() const { return m_problem; }

    static bool IsMusicFileName(const std::string& name);
    // "vgz" for "07 Stage.VGZ"; empty without an extension.
    static std::string LowerExtension(const std::string& name);

private:
    std::vector<ArchiveMember> m_members;
    std::string m_problem;
};

} // namespace tarvocore
