#pragma once

#include "RomArchive.h"

#include <map>
#include <string>
#include <vector>

namespace tarvocore {

struct ClipLocation {
    const ArchiveMember* member = nullptr;
    int track = 0;
};

// Which music file and track plays each clip number of a loaded game: the
// tracks of an archive's only multi-track file, or else the files whose names
// start with a number. Every other number is silence.
class CGameClips {
public:
    static constexpr int kMaxClipNumber = 31999;

    // False with a reason when the archive holds nothing playable.
    bool Build(const CRomArchive& archive, std::string& error);

    const ClipLocation* Find(int clip) const;
    int LowestClip() const { return m_clips.empty() ? 0 : m_clips.begin()->first; }
    int Count() const { return static_cast<int>(m_clips.size()); }
    bool IsMultiTrack() const { return m_multiTrack; }
    // Chips and clocks, or the music system, and the number of clips found.
    const std::string& Details() const { return m_details; }

    static bool IsVgm(const std::string& name);
    // The clip number a file name starts with, or -1.
    static int NumberOfFile(const std::string& name);

private:
    bool BuildMultiTrack(const ArchiveMember& member, std::string& error);
    void BuildNumbered(const CRomArchive& archive);

    std::map<int, ClipLocation> m_clips;
    bool m_multiTrack = false;
    std::string m_details;
};

} // namespace tarvocore
