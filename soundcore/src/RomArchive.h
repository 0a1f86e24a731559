#pragma once

#include "MusicData.h"

#include <string>
#include <vector>

namespace tarvocore {

struct ArchiveMember {
    std::string name; // without folders
    Bytes data;
};

// Reads the music files of a game's zip archive into memory. Members above the
// size limit, and any beyond the count and total limits, are not read.
class CRomArchive {
public:
    static constexpr size_t kMaxMembers = 1024;
    static constexpr size_t kMaxTotalSize = 64u << 20;

    // False with a reason when the archive cannot be opened at all.
    bool Open(const std::string& path, std::string& error);
    const std::vector<ArchiveMember>& Members() const { return m_members; }
    // Members skipped for their size, with the reason, for the error report.
    const std::vector<std::string>& Skipped() const { return m_skipped; }

    static bool IsMusicFileName(const std::string& name);
    // "vgz" for "07 Stage.VGZ"; empty without an extension.
    static std::string LowerExtension(const std::string& name);

private:
    std::vector<ArchiveMember> m_members;
    std::vector<std::string> m_skipped;
};

} // namespace tarvocore
