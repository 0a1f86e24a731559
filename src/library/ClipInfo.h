// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvo {

// Clip information that tarvo-add leaves in the program folder for Tarvo to
// take in, and then remove.
inline constexpr char kPendingClipDataName[] = "tarvo-new-clips.dat";

class IListView;

struct ClipRecord {
    std::string title;
    bool blank = false;
    bool operator==(const ClipRecord&) const = default;
};

// What the sound core found at one clip number of a game's files.
struct FoundTune {
    bool present = false;
    std::string title;
    int lengthMs = -1; // -1: not known
};

// A game's clip information: the range of clips worth offering, and a title
// and blank mark for every clip number from 0 to the last clip.
class CClipInfo {
public:
    static constexpr int kDefaultLastClip = 512;
    // Clip numbers above this are refused: 32000 is the silence clip, and a
    // hostile line must not grow a game's records without bound.
    static constexpr int kMaxClipNumber = 31999;

    int firstClip = -1;
    int lastClip = -1;
    std::vector<ClipRecord> clips;

    // False for a game that has none, or only the range no person chose.
    bool HasInformation() const { return lastClip >= 0 && !m_defaultRange; }

    // The range 0 to kDefaultLastClip offered for a game of which nothing is
    // known. It is not stored, so the game's first load can still take its
    // real range and titles from the core; any edit makes it the game's own.
    void SetDefaultRange();

    // True for a clip number the game can have: one of its records, or any
    // allowed number while nothing is known of its clips.
    bool HoldsClip(int clip) const {
        return clip >= 0 && clip <= (lastClip >= 0 ? lastClip : kMaxClipNumber);
    }

    void SetRange(int first, int last);
    void SetTitle(int clip, const std::string& title);
    void SetBlank(int clip, bool blank);
    bool IsBlank(int clip) const;
    std::string GetTitle(int clip) const;
    const ClipRecord* GetRecord(int clip) const;

    // The label a clip list shows: "-- blank --", the title, or "Clip n".
    std::string GetLabel(int clip) const;

    // Takes what the core found (index = clip number): a game without
    // information gets the range of its tunes, the numbers without one marked
    // blank, and the tunes' titles; a known game only fills the empty titles
    // of clips that are not blank. The user's own edits are never replaced.
    // True when it learned anything.
    bool SeedFromTunes(const std::vector<FoundTune>& tunes);

    void WriteClipInfo(std::ostream& out, const std::string& romName) const;
    // Rows of number, title and length (from `lengthsMs` by clip, where known).
    void FillClipList(IListView& list, bool showBlanks, const std::vector<int>& lengthsMs = {});

    bool operator==(const CClipInfo&) const = default;

private:
    void ExtendTo(int clip);

    bool m_defaultRange = false;
};

// "%03d": at least three digits, zero-filled.
std::string FormatClipNumber(int clip);

// A length as "m:ss" ("h:mm:ss" from an hour), or "" when it is not known (0
// or less).
std::string FormatLength(int milliseconds);
// The length of `clip` in `lengthsMs`, as FormatLength writes it.
std::string LengthTextOf(const std::vector<int>& lengthsMs, int clip);

// A game's clip list: an empty list with a number column as wide as "00500",
// a length column as wide as "00:00" and a title column taking the rest.
void SetupClipColumns(IListView& list);
// The width of a list's length column.
int LengthColumnWidth(const IListView& list);

} // namespace tarvo
