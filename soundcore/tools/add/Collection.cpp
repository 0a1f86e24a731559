#include "Collection.h"

#include "RomArchive.h"

#include <algorithm>
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

bool IsMusic(const std::string& name) {
    return tarvocore::CRomArchive::IsMusicFileName(name) && Extension(name) != "m3u";
}

std::string Stem(const fs::path& path) {
    return path.stem().string();
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
    SourceGame game{path.string(), path.string(), Stem(path), {}, {}};
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
    SourceGame game{path.string(), {}, Stem(path), {}, {}};
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

// The loose single-tune files of one folder are one game.
void FromFolder(const fs::path& folder, std::vector<SourceGame>& games) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    SourceGame loose{folder.string(), {}, folder.filename().string(), {}, {}};
    for (const fs::path& path : entries) {
        const std::string name = path.filename().string();
        if (fs::is_directory(path, error))
            FromFolder(path, games);
        else if (Extension(name) == "zip")
            games.push_back(FromArchive(path));
        else if (IsMultiTrackName(name))
            games.push_back(FromMultiTrackFile(path));
        else if (IsMusic(name)) {
            SourceFile file{name, {}};
            std::string problem;
            if (ReadSmallFile(path, file.data, problem))
                loose.files.push_back(std::move(file));
            else
                games.push_back({path.string(), {}, Stem(path), {}, problem});
        }
    }
    if (!loose.files.empty()) games.push_back(std::move(loose));
}

} // namespace

bool IsMultiTrackName(const std::string& name) {
    static const std::set<std::string> kMultiTrack{"nsf", "nsfe", "gbs", "hes", "kss", "ay", "sap"};
    return kMultiTrack.count(Extension(name)) > 0;
}

std::vector<SourceGame> FindGames(const std::vector<std::string>& inputs) {
    std::vector<SourceGame> games;
    for (const std::string& input : inputs) {
        const fs::path path(input);
        std::error_code error;
        if (fs::is_directory(path, error)) {
            FromFolder(path, games);
        } else if (!fs::is_regular_file(path, error)) {
            games.push_back({input, {}, Stem(path), {}, "it is no file or folder"});
        } else if (Extension(input) == "zip") {
            games.push_back(FromArchive(path));
        } else if (IsMultiTrackName(input)) {
            games.push_back(FromMultiTrackFile(path));
        } else if (IsMusic(input)) {
            SourceGame single{input, {}, Stem(path), {}, {}};
            SourceFile file{path.filename().string(), {}};
            if (ReadSmallFile(path, file.data, single.problem))
                single.files.push_back(std::move(file));
            games.push_back(std::move(single));
        } else {
            games.push_back({input, {}, Stem(path), {}, "it is not a music file the core plays"});
        }
    }
    return games;
}

} // namespace tarvoadd
