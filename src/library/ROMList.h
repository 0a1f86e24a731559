// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/GameEntry.h"

#include <array>
#include <deque>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvo {

class ICore;
class IDialogs;
class IListView;

// The catalogue of games, in the core's order (index = the core's game
// number), the ROM folders searched for their archives, and the clip
// information lines of games the core does not know.
class CROMList {
public:
    // The kinds a game's archive may be, in the order a folder's are taken
    // when it holds more than one for a game; ".rsn" is a RAR of SNES music.
    static constexpr std::array<std::string_view, 10> kArchiveExtensions = {
        ".zip", ".7z", ".rsn", ".rar", ".tar", ".tar.gz", ".tgz", ".tar.xz", ".tar.bz2", ".tbz2"};

    // The archive of the game `romName` in `folder` (ending in "/"), found
    // as a scan finds it; "" when there is none.
    static std::string FindArchive(const std::string& folder, const std::string& romName);

    // Filled once from the core; never resized afterwards, so pointers to
    // entries stay valid for the whole run.
    void BuildFromCore(ICore& core);
    // What the core says now of the games listed (a renamed one), and the
    // games it knows beyond them, after them; how many were new.
    int UpdateFromCore(ICore& core);

    int GetCount() const { return static_cast<int>(m_games.size()); }
    CGameEntry* GetEntry(int game);
    const CGameEntry* GetEntry(int game) const;
    int FindGameIndex(std::string_view romName) const;
    CGameEntry* FindGame(std::string_view romName);
    const CGameEntry* FindGame(std::string_view romName) const;
    bool IsAvailable(int game) const;
    int CountAvailable() const;
    std::string GetRomPath(int game) const;
    // The archive path of the game named by the text before the first ".".
    std::string GetRomPathForFile(const std::string& fileName) const;

    bool IsScanned() const { return m_scanned; }
    void ScanROMFolders();

    // ROM folders: texts ending in "/", in the order they were added.
    bool AddFolder(std::string& folder);
    int FindFolder(const std::string& folder) const;
    bool RemoveFolderAt(int index);
    bool RemoveFolder(const std::string& folder);
    void ClearFolders();
    const std::vector<std::string>& GetFolders() const { return m_romFolders; }
    void WriteFolderLines(std::ostream& out) const;
    void FillFolderList(IListView& list) const;

    // Clip information file. Reading merges into what is known; a file that
    // cannot be read changes nothing. `progress`, when given, is called every
    // few thousand lines, so a window can stay alive during a long import.
    static constexpr size_t kMaxUnsupportedBytes = 16u << 20;
    using Progress = std::function<void()>;
    void LoadClipInfo(const std::string& path, const Progress& progress = {});
    void ReadClipInfo(std::istream& in, const Progress& progress = {});
    // Reports a failure to write with a message; true when saved.
    // The program's own file keeps the lines of games the core does not know;
    // an export holds the known games only.
    enum class Lines { KnownGames, WithUnsupported };
    bool SaveClipInfo(const std::string& path, Lines lines, IDialogs& dialogs) const;
    void WriteClipInfoFile(std::ostream& out, Lines lines) const;
    // One game's clip information as an export file, with its heading.
    static void WriteGameExport(std::ostream& out, const CGameEntry& game);
    const std::vector<std::string>& GetUnsupportedLines() const { return m_unsupportedLines; }

    // For tests and benchmarks that need a catalogue without a core.
    void AddGameForTesting(CGameEntry entry);

private:
    void IndexGame(int game);
    void ApplyClipLine(const std::string& line);
    CGameEntry* FindGameOfLine(const std::string& name);

    // A deque, so that games appended later (added music) never move the
    // entries that playlists and the window point to.
    std::deque<CGameEntry> m_games;
    std::unordered_map<std::string, int> m_indexByLowerName;
    std::vector<std::string> m_romFolders;
    bool m_scanned = false;
    std::vector<std::string> m_unsupportedLines;
    size_t m_unsupportedBytes = 0;
    // The last game a clip information line named: files hold one game's lines together.
    std::optional<std::string> m_lastLineName;
    CGameEntry* m_lastLineGame = nullptr;
};

} // namespace tarvo
