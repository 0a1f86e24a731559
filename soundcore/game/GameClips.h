// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/RomArchive.h"
#include "ipc/EmulatorProcess.h"

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarvocore {

struct ClipLocation {
    const ArchiveMember* member = nullptr;
    int track = 0;
    std::string title;
    int lengthMs = -1;
    int introMs = 0; // of a tune that loops, with
    int loopMs = -1; // one pass of its loop; -1 for a tune that does not
};

// Which music file and track plays each clip number of a loaded game: the
// tracks of an archive's only multi-track file, or else the files whose names
// start with a number. Every other number is silence. The emulator process
// reads the files' tags for the clips' titles and lengths.
class CGameClips {
public:
    static constexpr int kMaxClipNumber = 31999;

    // False with a reason when the archive holds nothing playable. A numbered
    // file the emulator cannot read is still a clip: playing it says why.
    // Once `cancelled` is set, no more tags are read.
    bool Build(const CRomArchive& archive, CEmulatorProcess& emulator, std::string& error,
               const std::atomic<bool>* cancelled = nullptr);

    const ClipLocation* Find(int clip) const;
    int LowestClip() const { return m_clips.empty() ? 0 : m_clips.begin()->first; }
    int HighestClip() const { return m_clips.empty() ? -1 : m_clips.rbegin()->first; }
    int Count() const { return static_cast<int>(m_clips.size()); }
    bool IsMultiTrack() const { return m_multiTrack; }
    // Chips and clocks, or the music system, and the number of clips found.
    const std::string& Details() const { return m_details; }
    // How many numbered files were listed by their names alone, because they
    // could not be read or the load's time ran out; empty when none.
    const std::string& Unread() const { return m_unread; }

    // A game's whole load reads tags for at most this long, and stops reading
    // them after this many files in a row could not be read.
    static constexpr int kLoadBudgetMs = 5000;
    static constexpr int kFailuresBeforeGivingUp = 3;

    // The data to hand the emulator for a file: VGM data (by its content,
    // whatever the name) only after the checks, with the reason when refused.
    static bool PrepareData(const ArchiveMember& member, Bytes& data, std::string& error,
                            std::string* chips = nullptr);
    // The track list (.m3u) an archive holds beside its music, or nothing.
    // What the engine reads beside a clip's file: the game's .m3u or song
    // lengths for its one music file; for numbered files, song lengths alone.
    Bytes TrackListFor(const CRomArchive& archive) const;
    // The files of the archive that songs open by name, as the emulator is sent them.
    static CompanionFiles CompanionsIn(const CRomArchive& archive);
    // The clip number a file name starts with, or -1.
    static int NumberOfFile(const std::string& name);
    // "007 Stage Clear.vgz" gives "Stage Clear".
    static std::string TitleOfFile(const std::string& name);
    // A file's tunes, read by `read` (which songs it plays through to measure
    // them, as IMusicEngine::MeasureOnly): where measuring every song stops
    // the emulator, song by song, so that a song that stops it is left out
    // (a length of 0: no clip) and named in `stopped`, the others kept.
    using SongReader = std::function<bool(int measured, MusicInfo& info, std::string& error)>;
    static bool ReadSongs(const SongReader& read, MusicInfo& info, std::vector<int>& stopped,
                          std::string& error);
    // Song `song` of `songs` of a file: its tagged title, else the file's,
    // "Title, song 2" where the file has several.
    static std::string TitleOfSong(const std::string& fileName, const TuneInfo& tune, int song,
                                   int songs);

private:
    bool BuildMultiTrack(const CRomArchive& archive, const ArchiveMember& member,
                         CEmulatorProcess& emulator, std::string& error);
    static ClipLocation ClipOf(const ArchiveMember& member, int track, const TuneInfo& tune,
                               const std::string& title);
    void PlaceSongs(const std::map<int, std::vector<int>>& songsOf,
                    const std::map<int, std::vector<TuneInfo>>& tunesOf);
    void BuildNumbered(const CRomArchive& archive, CEmulatorProcess& emulator,
                       const std::atomic<bool>* cancelled);

    std::map<int, ClipLocation> m_clips;
    bool m_multiTrack = false;
    std::string m_details;
    std::string m_unread;
};

} // namespace tarvocore
