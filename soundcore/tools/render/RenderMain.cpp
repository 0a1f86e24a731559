// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-render [OPTIONS] ROMFOLDER ROMNAME CLIP [SECONDS] OUT
// tarvo-render [OPTIONS] --all ROMFOLDER ROMNAME OUTFOLDER
// Loads a game through the core's C interface and has the core export one
// clip, or every clip, to sound files: for SECONDS, else for the clip's known
// length, else for 3 minutes that fade out over their last 8 seconds. It says
// in words what it wrote, or why it could not; the exit status is 0 when
// every file was written, 1 when the core could not load the game or write a
// file, 2 for a command line it cannot follow (checked before anything is
// rendered).
#include "core/TarvoCore.h"
#include "library/ExportName.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tarvo-render [--help] [--normalize] ROMFOLDER ROMNAME CLIP [SECONDS] OUT\n"
    "       tarvo-render [--normalize] [--format flac|ogg|wav] [--replace] --all ROMFOLDER\n"
    "                    ROMNAME OUTFOLDER\n"
    "Renders a clip of a game to OUT, a .wav, .flac or .ogg file (FLAC and Ogg files are\n"
    "tagged, with their ReplayGain): for SECONDS, else for the clip's known length, else for\n"
    "3 minutes that fade out over their last 8 seconds. With --normalize, each clip is\n"
    "brought to -18 LUFS, its true peak kept below -1 dBTP, as Tarvo plays it with\n"
    "\"Normalize Output Volume\". With --all, every clip of the game goes into OUTFOLDER\n"
    "as \"NN Title.flac\" (or the --format given); files already there are replaced only\n"
    "with --replace.\n";
constexpr int kMillisecondsPerCall = 30;
constexpr double kUnknownLengthSeconds = 180;
constexpr double kLongestSeconds = 24 * 3600;

struct Request {
    bool all = false;
    bool replace = false;
    bool normalize = false;
    std::string format = "flac";
    std::string romFolder, romName, out;
    int clip = 0;
    double seconds = -1; // the clip's length, or the unknown length's rule
};

struct Session {
    std::string romFolder;
    std::string exportPath;
    std::string gameTitle;
    bool loadFailed = false;
    std::string exportError;
};

void CopyInto(void* buffer, const std::string& text) {
    if (text.size() >= CORE_PATH_BUFFER_SIZE) return;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

int OnMessage(void* user, int code, void* first, int) {
    Session& session = *static_cast<Session*>(user);
    switch (code) {
    case CORE_MSG_ROM_PATH: {
        // The core names "romname.zip"; the game may be kept as any kind of
        // archive the player finds.
        std::string romName = static_cast<const char*>(first);
        romName = tarvo::SplitToken(romName, '.');
        const std::string path = tarvo::CROMList::FindArchive(session.romFolder, romName);
        if (path.empty() || path.size() >= CORE_PATH_BUFFER_SIZE) return 0;
        CopyInto(first, path);
        return 1;
    }
    case CORE_MSG_EXPORT_PATH:
        CopyInto(first, session.exportPath);
        return 0;
    case CORE_MSG_EXPORTED:
        session.exportError = first ? static_cast<const char*>(first) : "";
        return 0;
    case CORE_MSG_GAME_LOADED:
        session.gameTitle = static_cast<const char*>(first);
        return 0;
    case CORE_MSG_ERROR:
        std::fprintf(stderr, "tarvo-render: %s\n", static_cast<const char*>(first));
        return 0;
    case CORE_MSG_LOAD_FAILED:
        session.loadFailed = true;
        return 0;
    default:
        return 0;
    }
}

int FindGame(const std::string& romName) {
    const int count = CoreGetInt(CORE_INT_GAME_COUNT, 0);
    for (int game = 0; game < count; ++game)
        if (romName == CoreGetString(CORE_STR_ROM_NAME, game)) return game;
    return -1;
}

bool IsSoundFileName(const std::string& path) {
    const std::string extension = tarvo::GetLowerExtension(path);
    return extension == ".wav" || extension == ".flac" || extension == ".ogg";
}

// A whole number, or a number of seconds, as the user typed it; false for
// anything else.
bool ReadNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

bool ReadOneClip(const std::vector<std::string>& words, Request& request, std::string& problem) {
    if (words.size() != 4 && words.size() != 5) {
        problem = "ROMFOLDER, ROMNAME, CLIP and OUT are needed, and SECONDS may come before OUT";
        return false;
    }
    double clip = 0;
    if (!ReadNumber(words[2], clip) || clip < 0 || clip > 31999 || clip != static_cast<int>(clip)) {
        problem = "CLIP must be a clip number from 0 to 31999, not \"" + words[2] + "\"";
        return false;
    }
    request.clip = static_cast<int>(clip);
    if (words.size() == 5 && (!ReadNumber(words[3], request.seconds) || request.seconds <= 0 ||
                              request.seconds > kLongestSeconds)) {
        problem = "SECONDS must be a number above 0 and at most a day, not \"" + words[3] + "\"";
        return false;
    }
    if (!IsSoundFileName(request.out)) {
        problem = "it writes .wav, .flac and .ogg files, and " + request.out + " is none of them";
        return false;
    }
    return true;
}

// The command line's words, options taken out; a message and false when it
// cannot be followed.
bool ReadRequest(const std::vector<std::string>& words, Request& request, std::string& problem) {
    if (request.all && words.size() != 3) {
        problem = "--all needs ROMFOLDER, ROMNAME and OUTFOLDER";
        return false;
    }
    if (words.size() < 3) {
        problem = "ROMFOLDER, ROMNAME, CLIP and OUT are needed";
        return false;
    }
    request.romFolder = words[0] + "/";
    request.romName = words[1];
    request.out = words.back();
    if (request.format != "flac" && request.format != "ogg" && request.format != "wav") {
        problem = "--format takes flac, ogg or wav, not \"" + request.format + "\"";
        return false;
    }
    return request.all || ReadOneClip(words, request, problem);
}

// Exports one clip of the loaded game; says what it wrote, or why not.
bool ExportClip(Session& session, int clip, const std::string& path, double seconds) {
    session.exportPath = path;
    session.exportError = "not written";
    CoreSetOption(CORE_OPT_EXPORT_MS, seconds > 0 ? static_cast<int>(seconds * 1000) : 0);
    CoreCommand(CORE_CMD_EXPORT_CLIP, clip); // rendering offline, it is done on return
    if (!session.exportError.empty()) {
        std::fprintf(stderr, "tarvo-render: %s\n", session.exportError.c_str());
        return false;
    }
    const int known = CoreGetInt(CORE_INT_TUNE_LENGTH, clip);
    if (seconds <= 0) seconds = known > 0 ? known / 1000.0 : kUnknownLengthSeconds;
    const std::string title = CoreGetString(CORE_STR_TUNE_TITLE, clip);
    std::printf("%s, clip %d%s: %.1f s written to %s\n", session.gameTitle.c_str(), clip,
                title.empty() ? "" : (" \"" + title + "\"").c_str(), seconds, path.c_str());
    return true;
}

// The game's clips and their files in the folder; files already there stop
// it unless the user asked to replace them.
int ExportAll(const Request& request, Session& session) {
    std::string folder = request.out;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::vector<std::pair<int, std::string>> files;
    for (int clip = 0; clip <= CoreGetInt(CORE_INT_LAST_TUNE, 0); ++clip)
        if (CoreGetInt(CORE_INT_HAS_TUNE, clip))
            files.emplace_back(
                clip, folder + tarvo::ExportFileName(clip, CoreGetString(CORE_STR_TUNE_TITLE, clip),
                                                     "." + request.format));
    bool exists = false;
    for (const auto& file : files)
        if (!request.replace && std::filesystem::exists(file.second, error)) {
            std::fprintf(stderr, "tarvo-render: %s exists already\n", file.second.c_str());
            exists = true;
        }
    if (exists) {
        std::fputs("tarvo-render: nothing was written; --replace replaces such files\n", stderr);
        return 1;
    }
    for (const auto& [clip, path] : files)
        if (!ExportClip(session, clip, path, -1)) return 1;
    return 0;
}

int Render(const Request& request, Session& session) {
    const int game = FindGame(request.romName);
    if (game < 0) {
        std::fprintf(stderr, "tarvo-render: the core does not know the game %s\n",
                     request.romName.c_str());
        return 1;
    }
    CoreSetOption(CORE_OPT_FIXED_RENDER_MS, kMillisecondsPerCall);
    CoreSetOption(CORE_OPT_NORMALIZE, request.normalize ? 1 : 0);
    CoreSetOption(CORE_OPT_GAME, game);
    CoreCommand(CORE_CMD_START_GAME, -1);
    if (session.loadFailed) {
        std::fprintf(stderr, "tarvo-render: cannot load %s\n", request.romName.c_str());
        return 1;
    }
    if (request.all) return ExportAll(request, session);
    return ExportClip(session, request.clip, request.out, request.seconds) ? 0 : 1;
}

// Takes the options out of the command line wherever they stand; the status
// to exit with when it should end at once, else -1.
int ReadOptions(int argc, char** argv, Request& request, std::vector<std::string>& words) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (word == "--all" || word == "--replace" || word == "--normalize") {
            (word == "--all"       ? request.all
             : word == "--replace" ? request.replace
                                   : request.normalize) = true;
        } else if (word == "--format" && i + 1 < argc) {
            request.format = tarvo::ToLowerAscii(argv[++i]);
        } else if (word.size() > 1 && word[0] == '-' &&
                   !std::isdigit(static_cast<unsigned char>(word[1]))) {
            std::fprintf(stderr, "tarvo-render: there is no option %s\n%s", word.c_str(), kUsage);
            return 2;
        } else {
            words.push_back(word);
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    Request request;
    std::vector<std::string> words;
    const int status = ReadOptions(argc, argv, request, words);
    if (status >= 0) return status;
    std::string problem;
    if (!ReadRequest(words, request, problem)) {
        std::fprintf(stderr, "tarvo-render: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    Session session;
    session.romFolder = request.romFolder;
    CoreInit(&session, OnMessage);
    const int result = Render(request, session);
    CoreShutdown();
    return result;
}
