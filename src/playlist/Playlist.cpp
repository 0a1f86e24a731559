// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/Playlist.h"

#include "library/IDialogs.h"
#include "library/IListView.h"
#include "library/LineReader.h"
#include "library/ROMList.h"
#include "library/SafeFileWriter.h"
#include "library/TextUtils.h"

#include <algorithm>
#include <fstream>

namespace tarvo {

namespace {

const char* const kBadEntryQuestion =
    "WARNING: The Playlist that was just loaded contains at least one bad entry.\n"
    "An entry is considered bad if it refers to a ROM that you don't have\n"
    "or is invalid, or if its associated SoundClip is marked as blank.\n\n"
    "Do you wish to remove these bad entries now?";

bool ValidIndex(int index, int count) {
    return index >= 0 && index < count;
}

} // namespace

const CGameEntry* CPlaylist::GetGame(int index) const {
    return ValidIndex(index, GetCount()) ? m_entries[index].game : nullptr;
}

int CPlaylist::GetClip(int index) const {
    return ValidIndex(index, GetCount()) ? m_entries[index].clip : -1;
}

int CPlaylist::FindEntry(const CGameEntry* game, int clip) const {
    if (!game) return -1;
    const auto it = std::find(m_entries.begin(), m_entries.end(), PlaylistEntry{game, clip});
    return it == m_entries.end() ? -1 : static_cast<int>(it - m_entries.begin());
}

void CPlaylist::AddEntry(const CGameEntry* game, int clip, IListView* list) {
    m_entries.push_back({game, clip});
    if (!list) return;
    InsertRow(*list, GetCount() - 1);
    list->EnsureVisible(GetCount() - 1);
}

void CPlaylist::RemoveEntry(int index, IListView* list) {
    if (!ValidIndex(index, GetCount())) return;
    m_entries.erase(m_entries.begin() + index);
    if (list) list->DeleteRow(index);
}

bool CPlaylist::MoveUp(int index, IListView* list) {
    return index >= 1 && index < GetCount() && MoveEntry(index, index - 1, list);
}

bool CPlaylist::MoveDown(int index, IListView* list) {
    return index >= 0 && index < GetCount() - 1 && MoveEntry(index, index + 1, list);
}

bool CPlaylist::MoveToTop(int index, IListView* list) {
    return index >= 1 && index < GetCount() && MoveEntry(index, 0, list);
}

bool CPlaylist::MoveToBottom(int index, IListView* list) {
    return index >= 0 && index < GetCount() - 1 && MoveEntry(index, GetCount() - 1, list);
}

bool CPlaylist::MoveEntry(int from, int to, IListView* list) {
    const PlaylistEntry moved = m_entries[from];
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + to, moved);
    if (list) {
        list->DeleteRow(from);
        InsertRow(*list, to);
        list->SetRowSelected(to, true);
        list->SetSelectionMark(to);
        list->EnsureVisible(to);
    }
    return true;
}

void CPlaylist::Clear() {
    m_entries.clear();
    title.clear();
    fileName.clear();
}

CPlaylist& CPlaylist::CopyFrom(const CPlaylist& other) {
    if (&other == this) return *this;
    Clear();
    title = other.title;
    fileName = other.fileName;
    m_romList = other.m_romList;
    m_entries = other.m_entries;
    return *this;
}

bool CPlaylist::IsBad(const PlaylistEntry& entry) const {
    return !entry.game || !entry.game->IsAvailable() || entry.IsBlankEntry();
}

bool CPlaylist::HasBadEntries() const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [this](const PlaylistEntry& e) { return IsBad(e); });
}

void CPlaylist::RemoveBadEntries() {
    std::erase_if(m_entries, [this](const PlaylistEntry& e) { return IsBad(e); });
}

bool CPlaylist::SaveToFile(const std::string& path, Interaction interaction, IDialogs& dialogs) {
    const bool interactive = interaction == Interaction::Interactive;
    if (!CSafeFileWriter::Save(path, [this](std::ostream& out) { WriteTo(out); })) {
        if (interactive)
            dialogs.ShowMessage("ERROR: Could not create or open Playlist file for writing.",
                                MessageIcon::Warning);
        return false;
    }
    if (interactive) fileName = path;
    return true;
}

void CPlaylist::WriteTo(std::ostream& out) const {
    out << "; Tarvo Playlist File\n"
        << "Title=" << title << "\n\n";
    for (const PlaylistEntry& entry : m_entries)
        out << "Entry=" << (entry.game ? entry.game->romName : std::string()) << ' ' << entry.clip
            << '\n';
}

bool CPlaylist::LoadFromFile(const std::string& path, PlaylistLoad load, IDialogs& dialogs) {
    const bool interactive = load.interactive;
    if (!m_romList) {
        if (interactive)
            dialogs.ShowMessage("Internal Error: CPlaylist::LoadFromFile() called before ROMList "
                                "was specified.",
                                MessageIcon::Error);
        return false;
    }
    if (!FileExists(path)) {
        if (interactive) dialogs.ShowMessage("ERROR: Could not find " + path, MessageIcon::Warning);
        return false;
    }
    std::ifstream in;
    if (IsRegularFile(path)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        if (interactive)
            dialogs.ShowMessage("ERROR: Could not open Playlist file for reading.",
                                MessageIcon::None);
        return false;
    }
    if (!load.append) Clear();
    ReadFrom(in);
    if (load.rememberName) fileName = path;
    if (HasBadEntries() && dialogs.AskYesNo(kBadEntryQuestion, MessageIcon::Question))
        RemoveBadEntries();
    return true;
}

void CPlaylist::ReadFrom(std::istream& in) {
    CLineReader reader(in);
    std::string line;
    while (reader.Next(line)) {
        const std::string key = SplitToken(line, '=');
        if (EqualsNoCase(key, "Title"))
            title = line;
        else if (EqualsNoCase(key, "Entry"))
            ReadEntryLine(line);
    }
}

void CPlaylist::ReadEntryLine(std::string rest) {
    const size_t blank = rest.find(' ');
    const std::string name(TrimSpace(std::string_view(rest).substr(0, blank)));
    const int clip =
        blank == std::string::npos ? 0 : ParseInt(std::string_view(rest).substr(blank + 1));
    const CGameEntry* game = m_romList ? m_romList->FindGame(name) : nullptr;
    if (game && clip >= 0) AddEntry(game, clip);
}

void CPlaylist::InsertRow(IListView& list, int index) const {
    if (!ValidIndex(index, GetCount())) return;
    const PlaylistEntry& entry = m_entries[index];
    list.InsertRow(index, entry.GetLabel(), entry.GetTitleText(), IListView::kNoData);
    list.SetText(index, 2, entry.game ? entry.game->LengthText(entry.clip) : std::string());
}

void CPlaylist::FillList(IListView& list) const {
    list.DeleteAllRows();
    for (int i = 0; i < GetCount(); ++i)
        InsertRow(list, i);
}

void CPlaylist::UpdateRows(IListView& list, int first, int last) const {
    for (int i = std::max(first, 0); i <= last && i < GetCount(); ++i) {
        list.SetText(i, 0, m_entries[i].GetLabel());
        list.SetText(i, 1, m_entries[i].GetTitleText());
        list.SetText(i, 2,
                     m_entries[i].game ? m_entries[i].game->LengthText(m_entries[i].clip)
                                       : std::string());
    }
}

void CPlaylist::SetupListColumns(IListView& list) const {
    list.DeleteAllRows();
    list.DeleteAllColumns();
    const int clientWidth = list.ClientWidth();
    int labelWidth = 0;
    if (m_entries.empty()) labelWidth = list.TextWidth("wwwwwwww:999");
    for (const PlaylistEntry& entry : m_entries)
        labelWidth = std::max(labelWidth, list.TextWidth(entry.GetLabel()));
    const int lengthWidth = LengthColumnWidth(list);
    list.InsertColumn(0, labelWidth + 10);
    list.InsertColumn(1, clientWidth - labelWidth - lengthWidth - 27);
    list.InsertColumn(2, lengthWidth);
}

} // namespace tarvo
