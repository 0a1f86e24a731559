// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/Collection.h"

#include "library/ROMList.h"
#include "library/TextUtils.h"
#include "src/MusicFormats.h"
#include "src/RomArchive.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace tarvoadd {

namespace fs = std::filesystem;

namespace {

std::string Extension(const std::string& name) {
    return tarvocore::CRomArchive::LowerExtension(name);
}

using tarvocore::MusicFamily;

MusicFamily FamilyOf(const std::string& name) {
    return tarvocore::FamilyOfName(name);
}

bool IsMusic(const std::string& name) {
    const MusicFamily family = FamilyOf(name);
    return family != MusicFamily::None && family != MusicFamily::TrackList;
}

std::string Stem(const fs::path& path) {
    return path.stem().string();
}

// The length of an archive kind's extension at the end of a name (".tar.gz"
// whole), or 0: the kinds a ROM folder's games may come in.
size_t ArchiveExtensionLength(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (std::string_view extension : tarvo::CROMList::kArchiveExtensions)
        if (lower.size() > extension.size() && lower.ends_with(extension)) return extension.size();
    return 0;
}

bool IsArchive(const std::string& name) {
    return ArchiveExtensionLength(name) > 0;
}

// Where the walk through the inputs has been: each real file and folder is
// visited once, whatever links lead to it or however often it is given; a
// link inside an input that leads out of every input is not followed.
class CVisits {
public:
    explicit CVisits(const std::vector<std::string>& inputs) {
        for (const std::string& input : inputs)
            m_roots.push_back(Real(input));
    }
    bool First(const fs::path& path) { return m_seen.insert(Real(path)).second; }
    bool Followable(const fs::path& path) const {
        std::error_code error;
        if (!fs::is_symlink(path, error)) return true;
        const fs::path target = Real(path);
        return std::any_of(m_roots.begin(), m_roots.end(), [&](const fs::path& root) {
            const auto [end, rest] =
                std::mismatch(root.begin(), root.end(), target.begin(), target.end());
            return end == root.end();
        });
    }

private:
    static fs::path Real(const fs::path& path) {
        std::error_code error;
        const fs::path real = fs::weakly_canonical(fs::absolute(path, error), error);
        return error ? path : real;
    }

    std::vector<fs::path> m_roots;
    std::set<fs::path> m_seen;
};

// A folder's name as its game's, passing over names that say nothing of the
// game ("music", "sfx", "data", "downloads"): then the folder above. A walk that
// reaches the user's home or the root names nothing, and gives "".
std::string GameNameOfFolder(const fs::path& folder) {
    static const std::set<std::string> kSayNothing{
        "music", "musics", "sound", "sounds", "ost",       "bgm", "sfx",       "audio",
        "songs", "tunes",  "data",  "assets", "resources", "res", "downloads", "desktop"};
    std::error_code error;
    fs::path at = fs::absolute(folder, error).lexically_normal();
    if (at.filename().empty()) at = at.parent_path();
    const char* home = std::getenv("HOME");
    const fs::path homeFolder = home ? fs::path(home).lexically_normal() : fs::path();
    for (; at.has_relative_path() && at != homeFolder; at = at.parent_path()) {
        const std::string name = at.filename().string();
        if (!kSayNothing.count(tarvo::ToLowerAscii(name))) return name;
    }
    return {};
}

// A file's game is named after its folder, or after the file itself when
// the folders say nothing.
std::string GameNameOfFile(const fs::path& path) {
    const std::string folder = GameNameOfFolder(path.parent_path());
    return folder.empty() ? Stem(path) : folder;
}

SourceGame Game(std::string source, std::string zipPath, std::string name,
                std::string problem = {}) {
    SourceGame game;
    game.source = std::move(source);
    game.zipPath = std::move(zipPath);
    game.folderName = std::move(name);
    game.problem = std::move(problem);
    return game;
}

bool ReadSmallFile(const fs::path& path, Bytes& data, std::string& problem) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || !fs::is_regular_file(path, error)) {
        problem = "it is damaged or cannot be read";
        return false;
    }
    if (size > tarvocore::kMaxMusicFileSize) {
        problem = "it is larger than 16 MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    try {
        data.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const std::exception&) { // a read that fails throws from the stream's buffer
        in.setstate(std::ios::badbit);
    }
    if (!in.good() && !in.eof())
        problem = std::string("it cannot be read (") + std::strerror(errno ? errno : EIO) + ")";
    return problem.empty();
}

// Any kind of archive is read; only a zip may become a game's archive as it is.
SourceGame FromArchive(const fs::path& path) {
    const std::string name = path.filename().string();
    SourceGame game = Game(path.string(), Extension(name) == "zip" ? path.string() : std::string(),
                           name.substr(0, name.size() - ArchiveExtensionLength(name)));
    tarvocore::CRomArchive archive;
    std::string error;
    if (!archive.Open(path.string(), error)) {
        game.problem = "it is damaged (" + error + ")";
        return game;
    }
    for (const auto& member : archive.Members())
        game.files.push_back({member.name, member.data});
    if (game.files.empty() && !archive.Problem().empty())
        game.problem = "it is damaged: " + archive.Problem();
    return game;
}

// A multi-track file is a game of its own, with the track list of its name.
SourceGame FromMultiTrackFile(const fs::path& path) {
    SourceGame game = Game(path.string(), {}, Stem(path));
    SourceFile file{path.filename().string(), {}};
    if (!ReadSmallFile(path, file.data, game.problem)) return game;
    game.files.push_back(std::move(file));
    for (const char* ext : {".m3u", ".M3U"}) {
        fs::path list = path;
        list.replace_extension(ext);
        SourceFile tracks{list.filename().string(), {}};
        std::string ignored;
        if (fs::exists(list) && ReadSmallFile(list, tracks.data, ignored)) {
            game.files.push_back(std::move(tracks));
            break;
        }
    }
    return game;
}

SourceGame FromLooseFile(const fs::path& path) {
    SourceGame single = Game(path.string(), {}, Stem(path));
    SourceFile file{path.filename().string(), {}};
    if (ReadSmallFile(path, file.data, single.problem)) single.files.push_back(std::move(file));
    return single;
}

// The loose files of one folder of one family are one game, named after the
// folder; a module or AdLib file alone of its kind is a game of its own.
void FromLooseFiles(const fs::path& folder, MusicFamily family, const std::vector<fs::path>& paths,
                    std::vector<SourceGame>& games) {
    if (paths.size() == 1 && family != MusicFamily::Console) {
        games.push_back(FromMultiTrackFile(paths.front()));
        return;
    }
    const std::string named = GameNameOfFolder(folder);
    SourceGame loose =
        Game(folder.string(), {}, named.empty() ? folder.filename().string() : named);
    for (const fs::path& path : paths) {
        SourceGame single = FromLooseFile(path);
        if (single.problem.empty())
            loose.files.push_back(std::move(single.files.front()));
        else
            games.push_back(std::move(single));
    }
    if (!loose.files.empty()) games.push_back(std::move(loose));
}

void FromFolder(const fs::path& folder, CVisits& visits, std::vector<SourceGame>& games) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    std::map<MusicFamily, std::vector<fs::path>> loose;
    std::vector<SourceGame> here; // the games of this folder's own files
    for (const fs::path& path : entries) {
        if (!visits.Followable(path) || !visits.First(path)) continue;
        const std::string name = path.filename().string();
        if (fs::is_directory(path, error))
            FromFolder(path, visits, games);
        else if (IsArchive(name))
            here.push_back(FromArchive(path));
        else if (tarvocore::IsConsoleMultiTrackName(name) ||
                 FamilyOf(name) == MusicFamily::Commodore64)
            here.push_back(FromMultiTrackFile(path));
        else if (IsMusic(name))
            loose[FamilyOf(name)].push_back(path);
    }
    for (const auto& [family, paths] : loose)
        FromLooseFiles(folder, family, paths, here);
    // A folder of one game's files names that game (where its tags do not);
    // in a folder of several, each keeps its own file's name.
    if (here.size() == 1 && here.front().zipPath.empty() && !IsArchive(here.front().source))
        if (const std::string named = GameNameOfFolder(folder); !named.empty())
            here.front().folderName = named;
    std::move(here.begin(), here.end(), std::back_inserter(games));
}

// One music file given alone: a game named after its folder where the
// folders say something, else after the file.
SourceGame OneFileGame(const fs::path& path) {
    SourceGame game =
        IsMultiTrackName(path.filename().string()) ? FromMultiTrackFile(path) : FromLooseFile(path);
    game.folderName = GameNameOfFile(path);
    return game;
}

// One input: a folder searched through, an archive, or one music file.
void AddInput(const std::string& input, CVisits& visits, std::vector<SourceGame>& games) {
    const fs::path path(input);
    std::error_code error;
    if (!visits.First(path)) return; // given twice, or inside another input
    if (fs::is_directory(path, error))
        FromFolder(path, visits, games);
    else if (!fs::is_regular_file(path, error))
        games.push_back(Game(input, {}, Stem(path), "it is no file or folder"));
    else if (IsArchive(input))
        games.push_back(FromArchive(path));
    else if (IsMultiTrackName(input) || IsMusic(input))
        games.push_back(OneFileGame(path));
    else
        games.push_back(Game(input, {}, Stem(path), "it is not a music file the core plays"));
}

// HVSC keeps its song lengths in C64Music/DOCUMENTS; the user may give the
// whole collection or any folder inside it. Empty when there are none.
fs::path FindSongLengths(const fs::path& input) {
    std::error_code error;
    fs::path folder = fs::absolute(input, error);
    if (!fs::is_directory(folder, error)) folder = folder.parent_path();
    for (int up = 0; up < 8 && !folder.empty(); ++up, folder = folder.parent_path()) {
        for (const char* place :
             {"DOCUMENTS/Songlengths.md5", "Songlengths.md5", "C64Music/DOCUMENTS/Songlengths.md5"})
            if (fs::is_regular_file(folder / place, error)) return folder / place;
        if (folder == folder.root_path()) break;
    }
    return {};
}

bool IsTrackListFile(const SourceFile& file) {
    return FamilyOf(file.name) == MusicFamily::TrackList;
}

// The core reads at most kMaxMembers files and kMaxTotalSize bytes of one
// archive: a larger game becomes several, in order, each within those
// limits and each with the game's track lists.
void SplitLargeGame(SourceGame game, std::vector<SourceGame>& games) {
    using tarvocore::CRomArchive;
    std::vector<SourceFile> lists, music;
    size_t listBytes = 0;
    for (SourceFile& file : game.files) {
        if (IsTrackListFile(file)) listBytes += file.data.size();
        (IsTrackListFile(file) ? lists : music).push_back(std::move(file));
    }
    game.files.clear();
    game.zipPath.clear(); // no part is the input archive as it is
    SourceGame part = game;
    size_t bytes = listBytes;
    for (SourceFile& file : music) {
        const bool full = part.files.size() + lists.size() >= CRomArchive::kMaxMembers ||
                          bytes + file.data.size() > CRomArchive::kMaxTotalSize;
        if (full && !part.files.empty()) {
            part.files.insert(part.files.end(), lists.begin(), lists.end());
            games.push_back(std::move(part));
            part = game;
            part.part = games.back().part + 1;
            bytes = listBytes;
        }
        bytes += file.data.size();
        part.files.push_back(std::move(file));
    }
    part.files.insert(part.files.end(), lists.begin(), lists.end());
    games.push_back(std::move(part));
}

bool FitsOneArchive(const SourceGame& game) {
    size_t bytes = 0;
    for (const SourceFile& file : game.files)
        bytes += file.data.size();
    return game.files.size() <= tarvocore::CRomArchive::kMaxMembers &&
           bytes <= tarvocore::CRomArchive::kMaxTotalSize;
}

} // namespace

bool IsMultiTrackName(const std::string& name) {
    const MusicFamily family = FamilyOf(name);
    return tarvocore::IsConsoleMultiTrackName(name) || family == MusicFamily::Commodore64 ||
           family == MusicFamily::Tracker || family == MusicFamily::AdLib;
}

std::vector<SourceGame> FindGames(const std::vector<std::string>& inputs) {
    std::vector<SourceGame> games;
    std::map<fs::path, std::shared_ptr<const tarvocore::CSongLengths>> databases; // each read once
    CVisits visits(inputs);
    for (const std::string& input : inputs) {
        const size_t first = games.size();
        AddInput(input, visits, games);
        const fs::path found = FindSongLengths(input);
        if (found.empty()) continue;
        auto& database = databases[found];
        Bytes data;
        std::string problem;
        if (!database && ReadSmallFile(found, data, problem))
            database = std::make_shared<const tarvocore::CSongLengths>(data);
        for (size_t i = first; i < games.size(); ++i)
            games[i].songLengths = database;
    }
    std::vector<SourceGame> fitting;
    for (SourceGame& game : games) {
        if (FitsOneArchive(game))
            fitting.push_back(std::move(game));
        else
            SplitLargeGame(std::move(game), fitting);
    }
    return fitting;
}

} // namespace tarvoadd
