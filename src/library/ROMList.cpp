// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ROMList.h"

#include "core/ICore.h"
#include "core/TarvoCore.h"
#include "library/IDialogs.h"
#include "library/IListView.h"
#include "library/LineReader.h"
#include "library/SafeFileWriter.h"
#include "library/TextUtils.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tarvo {

namespace {

bool IsArchiveName(const std::string& lowerName) {
    return std::any_of(CROMList::kArchiveExtensions.begin(), CROMList::kArchiveExtensions.end(),
                       [&](std::string_view extension) {
                           return lowerName.size() > extension.size() &&
                                  lowerName.ends_with(extension);
                       });
}

// Each folder is listed once per scan; archive names are matched without case.
std::unordered_map<std::string, std::string> ListArchives(const std::string& folder) {
    std::unordered_map<std::string, std::string> byLowerName;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        std::string lower = ToLowerAscii(name);
        if (IsArchiveName(lower)) byLowerName.emplace(std::move(lower), std::move(name));
    }
    return byLowerName;
}

// A game's archive in one folder's listing; within a folder the earlier kind wins.
std::string ArchiveIn(const std::unordered_map<std::string, std::string>& listing,
                      const std::string& lowerRomName) {
    for (std::string_view extension : CROMList::kArchiveExtensions) {
        const auto found = listing.find(lowerRomName + std::string(extension));
        if (found != listing.end()) return found->second;
    }
    return {};
}

} // namespace

std::string CROMList::FindArchive(const std::string& folder, const std::string& romName) {
    const std::string name = ArchiveIn(ListArchives(folder), ToLowerAscii(romName));
    return name.empty() ? name : folder + name;
}

void CROMList::BuildFromCore(ICore& core) {
    m_games.clear();
    m_indexByLowerName.clear();
    UpdateFromCore(core);
}

int CROMList::UpdateFromCore(ICore& core) {
    const int known = GetCount();
    const int count = core.GetInt(CORE_INT_GAME_COUNT, 0);
    m_games.resize(static_cast<size_t>(std::max(count, known)));
    for (int i = 0; i < count; ++i) {
        CGameEntry& entry = m_games[i];
        entry.romName = core.GetString(CORE_STR_ROM_NAME, i);
        entry.title = core.GetString(CORE_STR_TITLE, i);
        entry.manufacturer = core.GetString(CORE_STR_MANUFACTURER, i);
        entry.extraInfo = core.GetString(CORE_STR_EXTRA_INFO, i);
        const int driver = core.GetInt(CORE_INT_DRIVER_OF_GAME, i);
        entry.driverName = core.GetString(CORE_STR_DRIVER_NAME, driver);
        entry.addedByUser = core.GetInt(CORE_INT_GAME_IS_ADDED, i) == 1;
        if (i >= known) IndexGame(i);
    }
    return std::max(count - known, 0);
}

void CROMList::AddGameForTesting(CGameEntry entry) {
    m_games.push_back(std::move(entry));
    IndexGame(GetCount() - 1);
}

void CROMList::IndexGame(int game) {
    // emplace keeps the first game of a name, as a lookup in list order would.
    m_indexByLowerName.emplace(ToLowerAscii(m_games[game].romName), game);
}

CGameEntry* CROMList::GetEntry(int game) {
    return game >= 0 && game < GetCount() ? &m_games[game] : nullptr;
}

const CGameEntry* CROMList::GetEntry(int game) const {
    return game >= 0 && game < GetCount() ? &m_games[game] : nullptr;
}

int CROMList::FindGameIndex(std::string_view romName) const {
    const auto it = m_indexByLowerName.find(ToLowerAscii(romName));
    return it == m_indexByLowerName.end() ? -1 : it->second;
}

CGameEntry* CROMList::FindGame(std::string_view romName) {
    return GetEntry(FindGameIndex(romName));
}

const CGameEntry* CROMList::FindGame(std::string_view romName) const {
    return GetEntry(FindGameIndex(romName));
}

bool CROMList::IsAvailable(int game) const {
    const CGameEntry* entry = GetEntry(game);
    return entry && entry->IsAvailable();
}

int CROMList::CountAvailable() const {
    return static_cast<int>(std::count_if(m_games.begin(), m_games.end(),
                                          [](const CGameEntry& g) { return g.IsAvailable(); }));
}

std::string CROMList::GetRomPath(int game) const {
    const CGameEntry* entry = GetEntry(game);
    return entry ? entry->romPath : std::string();
}

std::string CROMList::GetRomPathForFile(const std::string& fileName) const {
    std::string rest = fileName;
    return GetRomPath(FindGameIndex(SplitToken(rest, '.')));
}

void CROMList::ScanROMFolders() {
    std::vector<std::unordered_map<std::string, std::string>> listings;
    listings.reserve(m_romFolders.size());
    for (const std::string& folder : m_romFolders)
        listings.push_back(ListArchives(folder));

    // The earlier folder wins, and within a folder the earlier kind.
    for (CGameEntry& game : m_games) {
        game.romPath.clear();
        const std::string name = ToLowerAscii(game.romName);
        for (size_t f = 0; f < m_romFolders.size() && game.romPath.empty(); ++f)
            if (const std::string found = ArchiveIn(listings[f], name); !found.empty())
                game.romPath = m_romFolders[f] + found;
    }
    m_scanned = true;
}

bool CROMList::AddFolder(std::string& folder) {
    if (folder.empty() || !PrepareFolderPath(folder)) return false;
    if (FindFolder(folder) >= 0) return false;
    m_romFolders.push_back(folder);
    m_scanned = false;
    return true;
}

int CROMList::FindFolder(const std::string& folder) const {
    // This file system tells case apart, so folder paths compare exactly.
    const auto it = std::find(m_romFolders.begin(), m_romFolders.end(), folder);
    return it == m_romFolders.end() ? -1 : static_cast<int>(it - m_romFolders.begin());
}

bool CROMList::RemoveFolderAt(int index) {
    if (index < 0 || index >= static_cast<int>(m_romFolders.size())) return false;
    m_romFolders.erase(m_romFolders.begin() + index);
    m_scanned = false;
    return true;
}

bool CROMList::RemoveFolder(const std::string& folder) {
    return RemoveFolderAt(FindFolder(folder));
}

void CROMList::ClearFolders() {
    m_romFolders.clear();
    m_scanned = false;
    for (CGameEntry& game : m_games)
        game.romPath.clear();
}

void CROMList::WriteFolderLines(std::ostream& out) const {
    for (const std::string& folder : m_romFolders)
        out << "ROMFolder=" << folder << '\n';
}

void CROMList::FillFolderList(IListView& list) const {
    list.DeleteAllRows();
    for (const std::string& folder : m_romFolders)
        list.InsertRow(list.RowCount(), folder, std::string(), IListView::kNoData);
}

void CROMList::LoadClipInfo(const std::string& path, const Progress& progress) {
    if (!IsRegularFile(path)) return;
    std::ifstream in(path, std::ios::binary);
    if (in) ReadClipInfo(in, progress);
}

void CROMList::ReadClipInfo(std::istream& in, const Progress& progress) {
    constexpr int kLinesBetweenProgress = 16384;
    CLineReader reader(in);
    std::string line;
    m_lastLineName.reset();
    for (int count = 1; reader.Next(line); ++count) {
        ApplyClipLine(line);
        if (progress && count % kLinesBetweenProgress == 0) progress();
    }
}

CGameEntry* CROMList::FindGameOfLine(const std::string& name) {
    if (name != m_lastLineName) {
        m_lastLineName = name;
        m_lastLineGame = FindGame(name);
    }
    return m_lastLineGame;
}

void CROMList::ApplyClipLine(const std::string& line) {
    std::string rest = line;
    const std::string name = SplitToken(rest, ':');
    if (rest.empty()) return;
    const std::string keyword = SplitToken(rest, ' ');
    const bool isRange = EqualsNoCase(keyword, "range");
    const bool isBlank = EqualsNoCase(keyword, "blank");
    const bool isTitle = EqualsNoCase(keyword, "title");
    if (!isRange && !isBlank && !isTitle) return;

    CGameEntry* game = FindGameOfLine(name);
    if (!game) {
        // Kept word for word for a later core; a huge or repeated import
        // cannot grow them without bound.
        if (m_unsupportedBytes + line.size() > kMaxUnsupportedBytes) return;
        m_unsupportedBytes += line.size();
        m_unsupportedLines.push_back(line);
        return;
    }
    CClipInfo& info = game->clipInfo;
    if (isBlank) {
        const int clip = ParseInt(rest);
        if (clip <= CClipInfo::kMaxClipNumber) info.SetBlank(clip, true);
        return;
    }
    const int first = ParseInt(SplitToken(rest, ' '));
    if (isRange) {
        const int last = ParseInt(rest);
        if (std::max(first, last) <= CClipInfo::kMaxClipNumber) info.SetRange(first, last);
    } else if (first <= CClipInfo::kMaxClipNumber) {
        info.SetTitle(first, rest);
    }
}

bool CROMList::SaveClipInfo(const std::string& path, Lines lines, IDialogs& dialogs) const {
    const bool saved =
        CSafeFileWriter::Save(path, [&](std::ostream& out) { WriteClipInfoFile(out, lines); });
    if (!saved)
        dialogs.ShowMessage("ERROR saving clip information: Unable to open [" + path +
                                "] for writing.",
                            MessageIcon::Error);
    return saved;
}

void CROMList::WriteGameExport(std::ostream& out, const CGameEntry& game) {
    out << "; Tarvo Clip Info File - Stores clip information for supported ROMsets.\n"
        << "; Clip Info for \"" << game.romName << "\": " << game.title << "\n\n";
    game.clipInfo.WriteClipInfo(out, game.romName);
}

void CROMList::WriteClipInfoFile(std::ostream& out, Lines lines) const {
    out << "; Tarvo Clip Info File - Stores clip information for supported ROMsets\n\n";
    for (const CGameEntry& game : m_games)
        game.clipInfo.WriteClipInfo(out, game.romName);
    if (lines == Lines::KnownGames || m_unsupportedLines.empty()) return;
    out << "\n; Clips not supported by this version of the sound core:\n\n";
    for (const std::string& line : m_unsupportedLines)
        out << line << '\n';
}

} // namespace tarvo
