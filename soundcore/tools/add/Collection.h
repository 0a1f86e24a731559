#pragma once

#include "MusicData.h"

#include <string>
#include <vector>

namespace tarvoadd {

using tarvocore::Bytes;

struct SourceFile {
    std::string name; // without folders
    Bytes data;
};

// One game found in what the user gave: a zip archive, the music files of
// one folder, or one multi-track file with its track list.
struct SourceGame {
    std::string source;     // what to call it in messages: a path
    std::string zipPath;    // the archive it came from, when it did
    std::string folderName; // the folder or file it is named after, without extension
    std::vector<SourceFile> files;
    std::string problem; // why it could not be read, when it could not
};

// Finds the games in any mix of zip archives, folders (searched through) and
// single music files. Files above the core's size limit, and inputs that are
// no file or folder, come back as games with a problem, never read.
std::vector<SourceGame> FindGames(const std::vector<std::string>& inputs);

bool IsMultiTrackName(const std::string& name);

} // namespace tarvoadd
