// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-add: brings a collection of game music into Tarvo in one step.
#include "archive/RomArchive.h"
#include "archive/ZipWriter.h"
#include "core/UserDataFolder.h"
#include "game/GameClips.h"
#include "library/AddReport.h"
#include "library/SafeFileWriter.h"
#include "tools/add/CatalogueFile.h"
#include "tools/add/Collection.h"
#include "tools/add/GameBuilder.h"
#include "tools/add/GameReader.h"
#include "tools/add/Handover.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tarvoadd;

namespace {

const char* const kHelp =
    "Usage: tarvo-add [OPTIONS] [--] INPUT...\n"
    "       tarvo-add [--catalogue FILE] --rename NAME TITLE MAKER YEAR\n"
    "\n"
    "Adds the games found in INPUT (zip archives, folders searched through, and\n"
    "single music files of any format Tarvo plays) to Tarvo: each becomes an\n"
    "archive in a ROM folder and a line of the sound core's catalogue, named and\n"
    "titled from the files' own tags, with its clips numbered as Tarvo expects.\n"
    "The clips' titles wait beside Tarvo's files until Tarvo takes them in: a\n"
    "running Tarvo at once, else at its next start. Nothing is replaced and no\n"
    "game is added twice.\n"
    "\n"
    "  --roms FOLDER       where the archives go (default: Tarvo's own roms folder)\n"
    "  --catalogue FILE    the catalogue to add to (default: the core's, or the\n"
    "                      user's own when that one cannot be written)\n"
    "  --clip-data FILE    write the titles to this clip data file instead, for\n"
    "                      Tarvo's Edit > Import Clip Data\n"
    "  --inputs-from FILE  read more inputs from FILE (- for standard input), each\n"
    "                      ended by a NUL byte, so that any name and any number\n"
    "                      of them can be given\n"
    "  --report            say on standard output, as records of three fields each\n"
    "                      ended by a NUL byte, which game each input is (\"game\",\n"
    "                      its short name and first clip) or why it was refused\n"
    "                      (\"refused\", the input and the reason); everything else\n"
    "                      goes to standard error, and no running Tarvo is told\n"
    "                      (its caller does)\n"
    "  --rename NAME TITLE MAKER YEAR\n"
    "                      give the added game NAME another title, maker and year\n"
    "  --dry-run           only say what would be done\n"
    "  --count             only say how many games the inputs hold, reading\n"
    "                      nothing but the names and sizes of their files\n"
    "  --force             replace an archive or clip data file that is in the way\n"
    "  --help              this text\n"
    "  --                  what follows is inputs, even when it begins with -\n"
    "\n"
    "Exit status: 0 when at least one game was added or was there already, 1 when\n"
    "nothing was added or an error stopped it, 2 when the options are wrong.\n";

struct Options {
    std::string roms;
    std::string catalogue;
    std::string clipData; // empty: the titles wait for Tarvo in its program folder
    bool dryRun = false;
    bool force = false;
    bool report = false;
    bool count = false;
    std::vector<std::string> rename; // the game's short name, title, maker, year
    std::vector<std::string> inputs;
    bool inputsFromFile = false; // an empty list from there is no usage error
};

std::string ExecutableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : self.parent_path().string() + "/";
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
    std::string programFolder; // where Tarvo keeps its own files
    std::string roms;
};

Places FindPlaces() {
    const std::string bin = ExecutableFolder();
    std::error_code error;
    Places places;
    places.userCatalogue = tarvo::UserDataFolder() + tarvocore::CCatalogue::kFileName;
    if (fs::exists(bin + "libtarvocore.so", error)) {
        places.emulator = bin + "tarvo-emulator";
        places.shippedCatalogue = bin + tarvocore::CCatalogue::kFileName;
        places.programFolder = ::access(bin.c_str(), W_OK) == 0 ? bin : tarvo::UserDataFolder();
    } else {
        places.emulator = bin + TARVO_LIB_FROM_BIN + "/tarvo-emulator";
        places.shippedCatalogue =
            bin + TARVO_DATA_FROM_BIN + "/" + tarvocore::CCatalogue::kFileName;
        places.programFolder = tarvo::UserDataFolder();
    }
    places.roms = places.programFolder + "roms/";
    return places;
}

// Inputs ended by NUL bytes, from a file or standard input: names of any
// bytes, and more of them than a command line holds.
bool ReadInputsFrom(const std::string& source, std::vector<std::string>& inputs) {
    std::ifstream file;
    if (source != "-") {
        file.open(source, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "tarvo-add: cannot read the inputs from %s\n", source.c_str());
            return false;
        }
    }
    std::istream& in = source == "-" ? std::cin : file;
    for (std::string input; std::getline(in, input, '\0');)
        inputs.push_back(input); // an empty one is refused in words, as any other
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    bool onlyInputs = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (onlyInputs || arg.rfind("--", 0) != 0) {
            options.inputs.push_back(arg);
        } else if (arg == "--") {
            onlyInputs = true;
        } else if (arg == "--help") {
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--report") {
            options.report = true;
        } else if (arg == "--count") {
            options.count = true;
        } else if (arg == "--rename") {
            for (int part = 0; part < 4; ++part)
                if (std::string field; value(field)) options.rename.push_back(field);
            if (options.rename.size() != 4) return false;
        } else if (arg == "--inputs-from") {
            std::string source;
            if (!value(source) || !ReadInputsFrom(source, options.inputs)) return false;
            options.inputsFromFile = true;
        } else if (arg == "--roms" || arg == "--catalogue" || arg == "--clip-data") {
            std::string& field = arg == "--roms"        ? options.roms
                                 : arg == "--catalogue" ? options.catalogue
                                                        : options.clipData;
            if (!value(field)) return false;
        } else {
            return false;
        }
    }
    return !options.inputs.empty() || !options.rename.empty() || options.inputsFromFile;
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
        if (error.empty()) error = "cannot put it in place: " + renameError.message();
        fs::remove(temporary, renameError);
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

int FirstClip(const NewGame& game) {
    for (size_t clip = 0; clip < game.tunes.size(); ++clip)
        if (game.tunes[clip].present) return static_cast<int>(clip);
    return 0;
}

// A single file that is already a clip of a known game: that game and clip.
bool KnownClipOf(const SourceGame& source, const CCatalogueFile& catalogue, const std::string& roms,
                 std::string& romName, int& clip) {
    if (source.files.size() != 1) return false;
    const SourceFile& file = source.files.front();
    for (const tarvocore::CatalogueGame& known : catalogue.KnownGames()) {
        tarvocore::CRomArchive archive;
        std::string error;
        if (!archive.Open(roms + known.romName + ".zip", error)) continue;
        for (const tarvocore::ArchiveMember& member : archive.Members()) {
            if (member.data != file.data) continue;
            romName = known.romName;
            clip = std::max(tarvocore::CGameClips::NumberOfFile(member.name), 0);
            return true;
        }
    }
    return false;
}

// One run's state: where things go, what is known, and what was done.
struct Run {
    Options options;
    Places places;
    CCatalogueFile catalogue;
    std::set<std::string> taken;
    std::ostringstream clipData;
    int added = 0;
    int skipped = 0;

    int reportFd = -1; // the report's own channel, with --report
    int found = 0;     // games added, or there already

    void Report(const std::string& record) {
        if (reportFd < 0) return;
        for (size_t at = 0; at < record.size();) {
            const ssize_t wrote = ::write(reportFd, record.data() + at, record.size() - at);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return; // the caller went away: the person's words still go on
            at += static_cast<size_t>(wrote);
        }
    }
    void ReportGame(const std::string& romName, int clip) {
        ++found;
        const fs::path archive = fs::absolute(options.roms + romName + ".zip");
        Report(tarvo::AddReport::GameRecord(romName, archive.string(), clip));
    }
    void Skip(const SourceGame& source, const std::string& why) {
        ++skipped;
        std::fprintf(stderr, "skipped   %s: %s\n", source.source.c_str(), why.c_str());
        Report(tarvo::AddReport::RefusalRecord(source.source, why));
    }
};

void NameSkippedFiles(Run& run, const SourceGame& source, const NewGame& game) {
    for (const std::string& file : game.skippedFiles)
        std::fprintf(stderr, "skipped   %s/%s\n", source.source.c_str(), file.c_str());
    run.skipped += static_cast<int>(game.skippedFiles.size());
}

void AddGame(Run& run, const SourceGame& source, tarvocore::CEmulatorProcess& emulator) {
    const Options& options = run.options;
    for (const std::string& file : source.leftOut)
        std::fprintf(stderr, "skipped   %s/%s\n", source.source.c_str(), file.c_str());
    run.skipped += static_cast<int>(source.leftOut.size());
    if (source.files.empty() && source.problem.empty()) return; // a part that only names those
    std::string known;
    int clip = 0;
    if (KnownClipOf(source, run.catalogue, options.roms, known, clip)) {
        std::printf("known     %s is clip %d of %s\n", source.source.c_str(), clip, known.c_str());
        run.ReportGame(known, clip);
        return;
    }
    NewGame game = BuildGame(source, emulator);
    if (game.skipped.empty() && AlreadyThere(game, run.catalogue, options.roms, known)) {
        run.ReportGame(known, FirstClip(game));
        game.skipped = "already in the catalogue as " + known;
    }
    std::error_code error;
    if (game.skipped.empty()) {
        NameGame(game, run.taken);
        const std::string path = options.roms + game.romName + ".zip";
        std::string why;
        if (fs::exists(path, error) && !options.force)
            game.skipped = path + " is in the way (--force replaces it)";
        else if (!options.dryRun && !WriteArchive(game, path, why))
            game.skipped = path + ": " + why;
    }
    if (!game.skipped.empty()) {
        if (game.skippedFiles.size() > 1)
            NameSkippedFiles(run, source, game); // each, not the first alone
        if (known.empty())
            run.Skip(source, game.skipped);
        else
            std::fprintf(stderr, "skipped   %s: %s\n", source.source.c_str(), game.skipped.c_str());
        return;
    }
    NameSkippedFiles(run, source, game);
    ++run.added;
    run.catalogue.Add(game.CatalogueLine(fs::path(source.source).filename().string()));
    std::ostringstream lines;
    WriteClipData(lines, game);
    run.clipData << lines.str();
    run.ReportGame(game.romName, FirstClip(game));
    run.Report(tarvo::AddReport::ClipDataRecord(game.romName, lines.str()));
    std::printf("%s %-24s %s, %d clip%s, from %s\n", options.dryRun ? "would add" : "added    ",
                game.romName.c_str(), game.title.c_str(), game.ClipCount(),
                game.ClipCount() == 1 ? "" : "s", source.source.c_str());
}

// The titles go where Tarvo takes them in, or to the file the user named;
// a running Tarvo is told unless the caller tells it.
bool HandOver(Run& run, std::string& problem) {
    const Options& options = run.options;
    if (!options.clipData.empty()) {
        const std::string clipFile = FreeName(options.clipData, options.force);
        std::string why;
        if (!tarvo::CSafeFileWriter::Save(
                clipFile, [&](std::ostream& out) { out << run.clipData.str(); }, why)) {
            problem = "the clip data file " + clipFile + " cannot be written: " + why;
            return false;
        }
        std::printf("The clips' titles are in %s: in Tarvo, choose Edit > Import Clip Data and\n"
                    "open it.\n",
                    clipFile.c_str());
        return true;
    }
    if (options.report) return true; // the titles went with the report, to the Tarvo that asked
    if (!AppendClipData(PendingClipDataPath(run.places.programFolder), run.clipData.str(), problem))
        return false;
    std::printf(TellRunningTarvo() ? "Tarvo, which is running, shows them now.\n"
                                   : "Tarvo shows them, with their titles, at its next start.\n");
    return true;
}

// A game tarvo-add added, renamed in whichever catalogue holds its line.
int Rename(const std::vector<std::string>& naming, const std::string& catalogue,
           const Places& places) {
    std::string problem;
    for (const std::string& path : {catalogue, places.userCatalogue}) {
        CCatalogueFile file;
        file.Read(path, {});
        if (file.Rename(naming[0], naming[1], naming[2], naming[3], problem)) {
            std::printf("renamed   %s to %s\n", naming[0].c_str(), naming[1].c_str());
            return 0;
        }
    }
    std::fprintf(stderr, "tarvo-add: %s\n", problem.c_str());
    return 1;
}

// Standard output becomes the report's alone: whatever else would print
// there (this tool's words, a library's, the emulator process's) goes to
// standard error, so that no line of it can pass for a record.
void TakeReportChannel(Run& run) {
    std::fflush(stdout);
    run.reportFd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (run.reportFd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::fprintf(stderr, "tarvo-add: cannot set up the report: %s\n", std::strerror(errno));
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    // Lines of standard output and error keep their order when both are piped.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Run run;
    Options& options = run.options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    if (options.count) {
        std::printf("%zu\n", FindGames(options.inputs).size());
        return 0;
    }
    if (options.report) TakeReportChannel(run);
    run.places = FindPlaces();
    if (options.roms.empty()) options.roms = run.places.roms;
    if (options.roms.back() != '/') options.roms += '/';
    if (options.catalogue.empty())
        options.catalogue = Writable(run.places.shippedCatalogue) ? run.places.shippedCatalogue
                                                                  : run.places.userCatalogue;
    if (!options.rename.empty()) return Rename(options.rename, options.catalogue, run.places);
    run.catalogue.Read(options.catalogue, {run.places.shippedCatalogue, run.places.userCatalogue});
    run.taken = run.catalogue.TakenNames();
    run.clipData << "; Tarvo Clip Info File - Stores clip information for supported ROMsets\n\n";
    tarvocore::CEmulatorProcess emulator(run.places.emulator);

    // One game at a time is read, built and let go: the memory a run takes
    // is that of its largest game, whatever the collection's size.
    std::vector<SourceGame> sources = FindGames(options.inputs);
    std::error_code error;
    if (!options.dryRun && !fs::create_directories(options.roms, error) && error) {
        std::fprintf(stderr, "tarvo-add: cannot make the ROM folder %s: %s\n", options.roms.c_str(),
                     error.message().c_str());
        return 1;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        if (sources.size() >= 50 && i % 50 == 0 && i > 0)
            std::fprintf(stderr, "... %zu of %zu\n", i, sources.size());
        ReadGame(std::move(sources[i]),
                 [&](const SourceGame& game) { AddGame(run, game, emulator); });
    }

    std::string problem;
    if (!options.dryRun && run.catalogue.HasAdditions() && !run.catalogue.Save(problem)) {
        std::fprintf(stderr, "tarvo-add: %s; nothing was added to it\n", problem.c_str());
        return 1;
    }
    if (run.added > 0) {
        std::printf("\n%d game%s %s to %s, their archives in %s.\n", run.added,
                    run.added == 1 ? "" : "s", options.dryRun ? "would be added" : "added",
                    run.catalogue.Path().c_str(), options.roms.c_str());
        if (!options.dryRun && !HandOver(run, problem)) {
            std::fprintf(stderr, "tarvo-add: %s\n", problem.c_str());
            return 1;
        }
    }
    if (run.skipped > 0) std::printf("%d skipped.\n", run.skipped);
    if (run.found == 0) std::printf("Nothing was added.\n");
    return run.found > 0 ? 0 : 1;
}
