// Writes the demo games' ROM archives into the folder given on the command line.
#include "DemoGames.h"

#include <cstdio>
#include <zip.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvo-compose ROMFOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    for (const compose::DemoGame& game : compose::ComposeDemoGames()) {
        const std::string path = folder + game.romName + ".zip";
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!archive) {
            std::fprintf(stderr, "tarvo-compose: cannot create %s\n", path.c_str());
            return 1;
        }
        for (const compose::DemoFile& file : game.files) {
            zip_source_t* source =
                zip_source_buffer(archive, file.data.data(), file.data.size(), 0);
            if (!source || zip_file_add(archive, file.name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
                std::fprintf(stderr, "tarvo-compose: cannot add %s\n", file.name.c_str());
                return 1;
            }
        }
        if (zip_close(archive) != 0) {
            std::fprintf(stderr, "tarvo-compose: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
