// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/Collection.h"

#include "src/MusicFormats.h"
#include "src/RomArchive.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

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
    data.assign(std::istreambuf_iterator<char>(in), {});
    if (!in.good() && !in.eof()) problem = "it cannot be read";
    return problem.empty();
}

SourceGame FromArchive(const fs::path& path) {
    SourceGame game = Game(path.string(), path.string(), Stem(path));
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
    SourceGame loose = Game(folder.string(), {}, folder.filename().string());
    for (const fs::path& path : paths) {
        SourceGame single = FromLooseFile(path);
        if (single.problem.empty())
            loose.files.push_back(std::move(single.files.front()));
        else
            games.push_back(std::move(single));
    }
    if (!loose.files.empty()) games.push_back(std::move(loose));
}

void FromFolder(const fs::path& folder, std::vector<SourceGame>& games) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    std::map<MusicFamily, std::vector<fs::path>> loose;
    for (const fs::path& path : entries) {
        const std::string name = path.filename().string();
        if (fs::is_directory(path, error))
            FromFolder(path, games);
        else if (Extension(name) == "zip")
            games.push_back(FromArchive(path));
        else if (tarvocore::IsConsoleMultiTrackName(name) ||
                 FamilyOf(name) == MusicFamily::Commodore64)
            games.push_back(FromMultiTrackFile(path));
        else if (IsMusic(name))
            loose[FamilyOf(name)].push_back(path);
    }
    for (const auto& [family, paths] : loose)
        FromLooseFiles(folder, family, paths, games);
}

// One input: a folder searched through, an archive, or one music file.
void AddInput(const std::string& input, std::vector<SourceGame>& games) {
    const fs::path path(input);
    std::error_code error;
    if (fs::is_directory(path, error))
        FromFolder(path, games);
    else if (!fs::is_regular_file(path, error))
        games.push_back(Game(input, {}, Stem(path), "it is no file or folder"));
    else if (Extension(input) == "zip")
        games.push_back(FromArchive(path));
    else if (IsMultiTrackName(input))
        games.push_back(FromMultiTrackFile(path));
    else if (IsMusic(input))
        games.push_back(FromLooseFile(path));
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
    const MusicFamily family = FamilyOf(name);
    return tarvocore::IsConsoleMultiTrackName(name) || family == MusicFamily::Commodore64 ||
           family == MusicFamily::Tracker || family == MusicFamily::AdLib;
}

std::vector<SourceGame> FindGames(const std::vector<std::string>& inputs) {
    std::vector<SourceGame> games;
    std::map<fs::path, std::shared_ptr<const tarvocore::CSongLengths>> databases; // each read once
    for (const std::string& input : inputs) {
        const size_t first = games.size();
        AddInput(input, games);
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
