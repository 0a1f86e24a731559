// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"
#include "common/SongLengths.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvoadd {

using tarvocore::Bytes;

struct SourceFile {
    std::string name; // without folders
    Bytes data;       // empty until the file is read
    std::string path; // a loose file's place, read when its game is built
    uintmax_t size = 0;
};

// One game found in what the user gave: an archive, the music files of one
// folder, or one multi-track file with its track list. Found, it holds only
// names and sizes; ReadGame reads it, part by part, when its turn comes, so
// that a collection of any size passes through the memory of one game.
struct SourceGame {
    std::string source;      // what to call it in messages: a path
    std::string archivePath; // the archive it is, until read
    std::string zipPath;     // a zip the core reads whole, which may become its archive as it is
    std::string folderName;  // the folder or file it is named after, without extension
    std::vector<SourceFile> files;
    std::string problem; // why it could not be read, when it could not
    std::shared_ptr<const tarvocore::CSongLengths>
        songLengths; // HVSC's, when the collection has them
    int part = 1;    // of a collection too large for one archive: its part, from 1
    // The files of it that were left out, each "name: reason".
    std::vector<std::string> leftOut;
};

// Finds the games in any mix of archives, folders (searched through) and
// single music files, reading nothing but their names and sizes. A .sid or a
// multi-track console file is a game of its own; so is a module or AdLib
// file alone of its kind in its folder; the other loose files of a folder
// are one game. Files above the core's size limit, and inputs that are no
// file or folder, come back as games with a problem. HVSC's song lengths are
// looked for in and above each folder given, as its layout keeps them in
// DOCUMENTS.
std::vector<SourceGame> FindGames(const std::vector<std::string>& inputs);

// A file that holds a whole game's songs when it is the only one.
bool IsMultiTrackName(const std::string& name);

} // namespace tarvoadd
