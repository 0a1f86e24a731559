// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-add: brings a collection of game music into Tarvo in one step.
#include "library/SafeFileWriter.h"
#include "src/RomArchive.h"
#include "src/ZipWriter.h"
#include "tools/add/CatalogueFile.h"
#include "tools/add/Collection.h"
#include "tools/add/GameBuilder.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tarvoadd;

namespace {

const char* const kHelp =
    "Usage: tarvo-add [OPTIONS] INPUT...\n"
    "\n"
    "Adds the games found in INPUT (zip archives, folders searched through, and\n"
    "single music files of any format Tarvo plays) to Tarvo: each becomes an\n"
    "archive in a ROM folder and a line of the sound core's catalogue, named and\n"
    "titled from the files' own tags, with its clips numbered as Tarvo expects.\n"
    "The clips' titles go to a clip data file, which Tarvo's Edit > Import Clip\n"
    "Data brings in. Nothing is replaced and no game is added twice.\n"
    "\n"
    "  --roms FOLDER       where the archives go (default: Tarvo's own roms folder)\n"
    "  --catalogue FILE    the catalogue to add to (default: the core's, or the\n"
    "                      user's own when that one cannot be written)\n"
    "  --clip-data FILE    the clip data file (default: tarvo-added-clips.dat here)\n"
    "  --dry-run           only say what would be done\n"
    "  --force             replace an archive or clip data file that is in the way\n"
    "  --help              this text\n";

struct Options {
    std::string roms;
    std::string catalogue;
    std::string clipData = "tarvo-added-clips.dat";
    bool dryRun = false;
    bool force = false;
    std::vector<std::string> inputs;
};

std::string ExecutableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : self.parent_path().string() + "/";
}

std::string UserDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::string(data) + "/Tarvo/";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.local/share/Tarvo/";
}

bool Writable(const std::string& path) {
    std::error_code error;
    const fs::path folder = fs::path(path).parent_path();
    return fs::exists(path, error) ? ::access(path.c_str(), W_OK) == 0
                                   : ::access(folder.c_str(), W_OK) == 0;
}

// Where Tarvo keeps things, as the program and the core find them: beside the
// program in a build or portable copy, in the shared and user folders once installed.
struct Places {
    std::string emulator;
    std::string shippedCatalogue;
    std::string userCatalogue;
    std::string roms;
};

Places FindPlaces() {
    const std::string bin = ExecutableFolder();
    std::error_code error;
    Places places;
    places.userCatalogue = UserDataFolder() + tarvocore::CCatalogue::kFileName;
    if (fs::exists(bin + "libtarvocore.so", error)) {
        places.emulator = bin + "tarvo-emulator";
        places.shippedCatalogue = bin + tarvocore::CCatalogue::kFileName;
        places.roms = ::access(bin.c_str(), W_OK) == 0 ? bin + "roms/" : UserDataFolder() + "roms/";
    } else {
        places.emulator = bin + TARVO_LIB_FROM_BIN + "/tarvo-emulator";
        places.shippedCatalogue =
            bin + TARVO_DATA_FROM_BIN + "/" + tarvocore::CCatalogue::kFileName;
        places.roms = UserDataFolder() + "roms/";
    }
    return places;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (arg == "--help") {
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--roms" || arg == "--catalogue" || arg == "--clip-data") {
            std::string& field = arg == "--roms"        ? options.roms
                                 : arg == "--catalogue" ? options.catalogue
                                                        : options.clipData;
            if (!value(field)) return false;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            options.inputs.push_back(arg);
        }
    }
    return !options.inputs.empty();
}

// A game already in the catalogue: one of the same title whose archive holds
// exactly these files. Running the tool twice adds nothing the second time.
bool AlreadyThere(const NewGame& game, const CCatalogueFile& catalogue, const std::string& roms,
                  std::string& romName) {
    for (const tarvocore::CatalogueGame& known : catalogue.KnownGames()) {
        if (known.title != game.title) continue;
        tarvocore::CRomArchive archive;
        std::string error;
        if (!archive.Open(roms + known.romName + ".zip", error)) continue;
        const auto& members = archive.Members();
        const bool same = members.size() == game.members.size() &&
                          std::equal(members.begin(), members.end(), game.members.begin(),
                                     [](const auto& a, const auto& b) {
                                         return a.name == b.name && a.data == b.data;
                                     });
        if (same) {
            romName = known.romName;
            return true;
        }
    }
    return false;
}

bool WriteArchive(const NewGame& game, const std::string& path, std::string& error) {
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    if (!game.copyArchive.empty()) {
        std::error_code copyError;
        fs::copy_file(game.copyArchive, temporary, fs::copy_options::overwrite_existing, copyError);
        if (copyError) error = copyError.message();
    } else {
        tarvocore::WriteZipArchive(temporary, tarvocore::ZipEntriesOf(game.members), error);
    }
    std::error_code renameError;
    if (error.empty()) fs::rename(temporary, path, renameError);
    if (!error.empty() || renameError) {
        fs::remove(temporary, renameError);
        if (error.empty()) error = "cannot put it in place";
        return false;
    }
    return true;
}

void WriteClipData(std::ostream& out, const NewGame& game) {
    tarvo::CClipInfo info;
    info.SeedFromTunes(game.tunes);
    info.WriteClipInfo(out, game.romName);
}

std::string FreeName(const std::string& wanted, bool force) {
    std::error_code error;
    if (force || !fs::exists(wanted, error)) return wanted;
    const fs::path path(wanted);
    for (int n = 2;; ++n) {
        const fs::path other = path.parent_path() / (path.stem().string() + "-" +
                                                     std::to_string(n) + path.extension().string());
        if (!fs::exists(other, error)) return other.string();
    }
}

} // namespace

int main(int argc, char** argv) {
    // Lines of standard output and error keep their order when both are piped.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    const Places places = FindPlaces();
    if (options.roms.empty()) options.roms = places.roms;
    if (options.roms.back() != '/') options.roms += '/';
    if (options.catalogue.empty())
        options.catalogue =
            Writable(places.shippedCatalogue) ? places.shippedCatalogue : places.userCatalogue;

    CCatalogueFile catalogue;
    catalogue.Read(options.catalogue, {places.shippedCatalogue, places.userCatalogue});
    std::set<std::string> taken = catalogue.TakenNames();
    tarvocore::CEmulatorProcess emulator(places.emulator);
    std::ostringstream clipData;
    clipData << "; Tarvo Clip Info File - Stores clip information for supported ROMsets\n\n";

    const std::vector<SourceGame> sources = FindGames(options.inputs);
    int added = 0, skipped = 0;
    std::error_code error;
    if (!options.dryRun) fs::create_directories(options.roms, error);
    for (size_t i = 0; i < sources.size(); ++i) {
        if (sources.size() >= 50 && i % 50 == 0 && i > 0)
            std::fprintf(stderr, "... %zu of %zu\n", i, sources.size());
        const SourceGame& source = sources[i];
        NewGame game = BuildGame(source, emulator);
        std::string existing;
        if (game.skipped.empty() && AlreadyThere(game, catalogue, options.roms, existing))
            game.skipped = "already in the catalogue as " + existing;
        if (game.skipped.empty()) {
            NameGame(game, taken);
            const std::string path = options.roms + game.romName + ".zip";
            std::string why;
            if (fs::exists(path, error) && !options.force)
                game.skipped = path + " is in the way (--force replaces it)";
            else if (!options.dryRun && !WriteArchive(game, path, why))
                game.skipped = path + ": " + why;
        }
        if (!game.skipped.empty()) {
            ++skipped;
            std::fprintf(stderr, "skipped   %s: %s\n", source.source.c_str(), game.skipped.c_str());
            continue;
        }
        for (const std::string& file : game.skippedFiles)
            std::fprintf(stderr, "skipped   %s/%s\n", source.source.c_str(), file.c_str());
        skipped += static_cast<int>(game.skippedFiles.size());
        ++added;
        catalogue.Add(game.CatalogueLine(fs::path(source.source).filename().string()));
        WriteClipData(clipData, game);
        std::printf("%s %-24s %s, %d clip%s, from %s\n", options.dryRun ? "would add" : "added    ",
                    game.romName.c_str(), game.title.c_str(), game.ClipCount(),
                    game.ClipCount() == 1 ? "" : "s", source.source.c_str());
    }

    std::string problem;
    if (!options.dryRun && catalogue.HasAdditions() && !catalogue.Save(problem)) {
        std::fprintf(stderr, "tarvo-add: %s; nothing was added to it\n", problem.c_str());
        return 1;
    }
    if (added > 0) {
        const std::string clipFile = FreeName(options.clipData, options.force);
        if (!options.dryRun && !tarvo::CSafeFileWriter::Save(
                                   clipFile, [&](std::ostream& out) { out << clipData.str(); })) {
            std::fprintf(stderr, "tarvo-add: the clip data file %s cannot be written\n",
                         clipFile.c_str());
            return 1;
        }
        std::printf("\n%d game%s %s to %s, their archives in %s.\n", added, added == 1 ? "" : "s",
                    options.dryRun ? "would be added" : "added", catalogue.Path().c_str(),
                    options.roms.c_str());
        std::printf("Start Tarvo again to see them. The clips' titles %s %s: in Tarvo, choose\n"
                    "Edit > Import Clip Data and open it.\n",
                    options.dryRun ? "would be in" : "are in", clipFile.c_str());
    }
    if (skipped > 0) std::printf("%d skipped.\n", skipped);
    return 0;
}
