// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/Collection.h"

#include "archive/RomArchive.h"
#include "common/MusicFormats.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"
#include "tools/add/GameReader.h"

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

using tarvocore::MusicFamily;

bool IsMusic(const std::string& name) {
    const MusicFamily family = tarvocore::FamilyOfName(name);
    return family != MusicFamily::None && family != MusicFamily::TrackList &&
           family != MusicFamily::AdLibCompanion;
}

std::string Stem(const fs::path& path) {
    return path.stem().string();
}

// The length of an archive kind's extension at the end of a name (".tar.gz"
// whole), or 0: the kinds a ROM folder's games may come in.
size_t ArchiveExtensionLength(const std::string& name) {
    const std::string lower = tarvo::ToLowerAscii(name);
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

// A file as found: its name, place and size; false with why when it is not
// a file the core could read.
bool FindFile(const fs::path& path, SourceFile& file, std::string& problem) {
    std::error_code error;
    file = {path.filename().string(), {}, path.string(), 0};
    file.size = fs::file_size(path, error);
    if (error || !fs::is_regular_file(path, error)) {
        problem = "it is damaged or cannot be read";
        return false;
    }
    if (file.size > tarvocore::kMaxMusicFileSize) {
        problem = "it is larger than 16 MiB";
        return false;
    }
    return true;
}

SourceGame FromArchive(const fs::path& path) {
    const std::string name = path.filename().string();
    SourceGame game =
        Game(path.string(), {}, name.substr(0, name.size() - ArchiveExtensionLength(name)));
    game.archivePath = path.string();
    return game;
}

// A multi-track file is a game of its own, with the track list of its name.
SourceGame FromMultiTrackFile(const fs::path& path) {
    SourceGame game = Game(path.string(), {}, Stem(path));
    SourceFile file;
    if (!FindFile(path, file, game.problem)) return game;
    game.files.push_back(std::move(file));
    for (const char* ext : {".m3u", ".M3U"}) {
        fs::path list = path;
        list.replace_extension(ext);
        SourceFile tracks;
        std::string ignored;
        if (fs::exists(list) && FindFile(list, tracks, ignored)) {
            game.files.push_back(std::move(tracks));
            break;
        }
    }
    return game;
}

SourceGame FromLooseFile(const fs::path& path) {
    SourceGame single = Game(path.string(), {}, Stem(path));
    SourceFile file;
    if (FindFile(path, file, single.problem)) single.files.push_back(std::move(file));
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

// Why a file of a folder that is neither music, nor an archive, nor a file
// that goes beside music, is left out.
std::string WhyNotMusic(const std::string& name) {
    const std::string extension = tarvocore::LowerExtension(name);
    if (extension == "hvl" || extension == "ahx")
        return "it is a HivelyTracker or AHX song, which the core does not play";
    return "it is not a music file the core plays";
}

// The AdLib songs' banks and patches go with the games this folder's AdLib
// files make; without one, they are left out.
void AddCompanions(const std::vector<fs::path>& companions, std::vector<SourceGame>& adlibGames,
                   SourceGame& leftOut) {
    for (const fs::path& path : companions) {
        SourceFile file;
        std::string problem;
        if (adlibGames.empty() || !FindFile(path, file, problem)) {
            leftOut.leftOut.push_back(path.filename().string() + ": " +
                                      (problem.empty() ? "it goes with AdLib songs, and this "
                                                         "folder holds none"
                                                       : problem));
            continue;
        }
        for (SourceGame& game : adlibGames)
            if (game.problem.empty()) game.files.push_back(file);
    }
}

// `others` gets the names of the files that are neither music nor archives;
// each is named as left out, with its reason.
void FromFolder(const fs::path& folder, CVisits& visits, std::vector<SourceGame>& games,
                std::vector<std::string>& others) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    std::map<MusicFamily, std::vector<fs::path>> loose;
    std::vector<SourceGame> here; // the games of this folder's own files
    SourceGame leftOut = Game(folder.string(), {}, Stem(folder));
    std::vector<fs::path> companions;
    for (const fs::path& path : entries) {
        if (!visits.Followable(path) || !visits.First(path)) continue;
        const std::string name = path.filename().string();
        if (fs::is_directory(path, error))
            FromFolder(path, visits, games, others);
        else if (IsArchive(name))
            here.push_back(FromArchive(path));
        else if (tarvocore::IsConsoleMultiTrackName(name) ||
                 tarvocore::FamilyOfName(name) == MusicFamily::Commodore64)
            here.push_back(FromMultiTrackFile(path));
        else if (IsMusic(name))
            loose[tarvocore::FamilyOfName(name)].push_back(path);
        else if (tarvocore::FamilyOfName(name) == MusicFamily::AdLibCompanion)
            companions.push_back(path);
        else if (tarvocore::FamilyOfName(name) != MusicFamily::TrackList) {
            others.push_back(name);
            leftOut.leftOut.push_back(name + ": " + WhyNotMusic(name));
        }
    }
    std::vector<SourceGame> adlibGames;
    for (const auto& [family, paths] : loose)
        FromLooseFiles(folder, family, paths, family == MusicFamily::AdLib ? adlibGames : here);
    AddCompanions(companions, adlibGames, leftOut);
    std::move(adlibGames.begin(), adlibGames.end(), std::back_inserter(here));
    // A folder of one game's files names that game (where its tags do not);
    // in a folder of several, each keeps its own file's name.
    if (here.size() == 1 && here.front().zipPath.empty() && !IsArchive(here.front().source))
        if (const std::string named = GameNameOfFolder(folder); !named.empty())
            here.front().folderName = named;
    std::move(here.begin(), here.end(), std::back_inserter(games));
    if (!leftOut.leftOut.empty()) games.push_back(std::move(leftOut));
}

// One music file given alone: a game named after its folder where the
// folders say something, else after the file.
SourceGame OneFileGame(const fs::path& path) {
    SourceGame game =
        IsMultiTrackName(path.filename().string()) ? FromMultiTrackFile(path) : FromLooseFile(path);
    game.folderName = GameNameOfFile(path);
    return game;
}

// Why a path given is neither a file nor a folder, in words.
std::string WhyNotAFile(const fs::path& path) {
    if (path.empty()) return "an empty name names no file";
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error == std::errc::too_many_symbolic_link_levels)
        return "it is a link that leads round in a loop";
    if (error == std::errc::filename_too_long) return "its name is too long";
    if (error == std::errc::permission_denied) return "a folder on its way cannot be read";
    if (fs::is_symlink(fs::symlink_status(path, error)) && !fs::exists(status))
        return "it is a link to a file that is not there";
    switch (status.type()) {
    case fs::file_type::not_found:
        return "it does not exist";
    case fs::file_type::fifo:
        return "it is a pipe, not a file";
    case fs::file_type::socket:
        return "it is a socket, not a file";
    case fs::file_type::block:
    case fs::file_type::character:
        return "it is a device, not a file";
    default:
        return "it is no file or folder";
    }
}

std::string NoMusicIn(const std::vector<std::string>& others) {
    std::string why = "it holds no music file the core plays";
    if (!others.empty())
        why += " (" + std::to_string(others.size()) + " file" + (others.size() == 1 ? "" : "s") +
               " of other kinds, such as " + others.front() + ")";
    return why;
}

// One input: a folder searched through, an archive, or one music file.
void AddInput(const std::string& input, CVisits& visits, std::vector<SourceGame>& games) {
    const fs::path path(input);
    std::error_code error;
    if (!visits.First(path)) return; // given twice, or inside another input
    if (fs::is_directory(path, error)) {
        const size_t before = games.size();
        std::vector<std::string> others;
        FromFolder(path, visits, games, others);
        // A folder that gives nothing says so, naming what it holds instead.
        const bool nothing = std::all_of(
            games.begin() + static_cast<long>(before), games.end(),
            [](const SourceGame& game) { return game.files.empty() && game.problem.empty(); });
        if (nothing) games.push_back(Game(input, {}, Stem(path), NoMusicIn(others)));
    } else if (!fs::is_regular_file(path, error))
        games.push_back(Game(input, {}, Stem(path), WhyNotAFile(path)));
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

} // namespace

bool IsMultiTrackName(const std::string& name) {
    const MusicFamily family = tarvocore::FamilyOfName(name);
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
    return games;
}

} // namespace tarvoadd
