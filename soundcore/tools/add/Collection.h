// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "src/MusicData.h"
#include "src/SongLengths.h"

#include <memory>
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
    std::shared_ptr<const tarvocore::CSongLengths>
        songLengths; // HVSC's, when the collection has them
    int part = 1;    // of a collection too large for one archive: its part, from 1
};

// Finds the games in any mix of zip archives, folders (searched through) and
// single music files. A .sid or a multi-track console file is a game of its
// own; so is a module or AdLib file alone of its kind in its folder; the
// other loose files of a folder are one game. Files above the core's size
// limit, and inputs that are no file or folder, come back as games with a
// problem, never read. HVSC's song lengths are looked for in and above each
// folder given, as its layout keeps them in DOCUMENTS.
std::vector<SourceGame> FindGames(const std::vector<std::string>& inputs);

// A file that holds a whole game's songs when it is the only one.
bool IsMultiTrackName(const std::string& name);

} // namespace tarvoadd
