// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the demo games' ROM archives into the folder given on the command
// line and, when a second folder is given, each tune as a file of its own
// there too (seeds for the fuzz harnesses).
#include "archive/ZipWriter.h"
#include "tools/compose/DemoGames.h"

#include <cstdio>

namespace {

bool WriteArchive(const std::string& path, const compose::DemoGame& game) {
    std::string error;
    if (tarvocore::WriteZipArchive(path, tarvocore::ZipEntriesOf(game.files), error)) return true;
    std::fprintf(stderr, "tarvo-compose: %s\n", error.c_str());
    return false;
}

bool WriteLooseFiles(const std::string& folder, const compose::DemoGame& game) {
    for (const compose::DemoFile& file : game.files) {
        const std::string path = folder + game.romName + " " + file.name;
        std::FILE* out = std::fopen(path.c_str(), "wb");
        const bool written =
            out && std::fwrite(file.data.data(), 1, file.data.size(), out) == file.data.size();
        if (out) std::fclose(out);
        if (!written) {
            std::fprintf(stderr, "tarvo-compose: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: tarvo-compose ROMFOLDER [TUNEFOLDER]\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    for (const compose::DemoGame& game : compose::ComposeDemoGames()) {
        if (!WriteArchive(folder + game.romName + ".zip", game)) return 1;
        if (argc == 3 && !WriteLooseFiles(std::string(argv[2]) + "/", game)) return 1;
    }
    return 0;
}
