// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playlist/PlaylistEntry.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tarvo {

class CROMList;
class IDialogs;
class IListView;

// An ordered list of clips from any number of games, with a title and the
// file it was last loaded from or saved to. List views may be null wherever
// an operation takes one.
enum class Interaction { Quiet, Interactive };

// How a playlist file is loaded: added to the entries or in their place,
// failures reported or not, its name kept as the playlist's own or not.
struct PlaylistLoad {
    bool append = false;
    bool interactive = false;
    bool rememberName = false;
};

class CPlaylist {
public:
    std::string title;
    std::string fileName;

    void SetROMList(const CROMList* romList) { m_romList = romList; }
    const CROMList* GetROMList() const { return m_romList; }

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const std::vector<PlaylistEntry>& GetEntries() const { return m_entries; }
    const CGameEntry* GetGame(int index) const;
    int GetClip(int index) const;
    int FindEntry(const CGameEntry* game, int clip) const;

    void AddEntry(const CGameEntry* game, int clip, IListView* list = nullptr);
    void RemoveEntry(int index, IListView* list = nullptr);
    bool MoveUp(int index, IListView* list = nullptr);
    bool MoveDown(int index, IListView* list = nullptr);
    bool MoveToTop(int index, IListView* list = nullptr);
    bool MoveToBottom(int index, IListView* list = nullptr);
    void Clear();
    CPlaylist& CopyFrom(const CPlaylist& other);

    // Entries whose game is missing or whose clip is marked blank.
    bool HasBadEntries() const;
    void RemoveBadEntries();

    // An interactive save reports a failure and makes the file the playlist's
    // own; a quiet one (the crash-recovery copy) fails silently.
    bool SaveToFile(const std::string& path, Interaction interaction, IDialogs& dialogs);
    void WriteTo(std::ostream& out) const;
    bool LoadFromFile(const std::string& path, PlaylistLoad load, IDialogs& dialogs);
    void ReadFrom(std::istream& in);

    void InsertRow(IListView& list, int index) const;
    void FillList(IListView& list) const;
    // Rewrites the texts of rows first..last from the entries now there.
    void UpdateRows(IListView& list, int first, int last) const;
    void SetupListColumns(IListView& list) const;

private:
    bool MoveEntry(int from, int to, IListView* list);
    void ReadEntryLine(std::string rest);
    bool IsBad(const PlaylistEntry& entry) const;

    std::vector<PlaylistEntry> m_entries;
    const CROMList* m_romList = nullptr;
};

} // namespace tarvo
