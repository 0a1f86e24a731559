// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-render [--help] ROMFOLDER ROMNAME CLIP [SECONDS] OUT.wav
// Loads a game through the core's C interface, plays one clip and records it:
// for SECONDS, else for the clip's known length, else for 3 minutes that fade
// out over their last 8 seconds. It says in words what it wrote, or why it
// could not; the exit status is 0 when the file was written, 1 when the core
// could not load the game or write the file, 2 for a command line it cannot
// follow (checked before anything is rendered).
#include "core/TarvoCore.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tarvo-render [--help] ROMFOLDER ROMNAME CLIP [SECONDS] OUT.wav\n"
    "Records one clip of a game to a WAV file: for SECONDS, else for the clip's known\n"
    "length, else for 3 minutes with a fade at the end.\n";
constexpr int kMillisecondsPerCall = 30;
constexpr double kUnknownLengthSeconds = 180;
constexpr int kFadeMs = 8000;
constexpr double kLongestSeconds = 24 * 3600;

struct Session {
    std::string romFolder;
    std::string wavPath;
    std::string gameTitle;
    std::string lastError;
    bool loadFailed = false;
    bool recording = false;
    bool recordingFailed = false;
};

void CopyInto(void* buffer, const std::string& text) {
    if (text.size() >= CORE_PATH_BUFFER_SIZE) return;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

int OnMessage(void* user, int code, void* first, int) {
    Session& session = *static_cast<Session*>(user);
    switch (code) {
    case CORE_MSG_ROM_PATH: {
        const std::string path = session.romFolder + static_cast<const char*>(first);
        if (path.size() >= CORE_PATH_BUFFER_SIZE) return 0;
        CopyInto(first, path);
        return 1;
    }
    case CORE_MSG_WAV_PATH:
        CopyInto(first, session.wavPath);
        return 0;
    case CORE_MSG_GAME_LOADED:
        session.gameTitle = static_cast<const char*>(first);
        return 0;
    case CORE_MSG_ERROR:
        session.lastError = static_cast<const char*>(first);
        if (session.recording) session.recordingFailed = true;
        std::fprintf(stderr, "tarvo-render: %s\n", session.lastError.c_str());
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

bool EndsWithWav(const std::string& path) {
    if (path.size() < 5) return false;
    std::string extension = path.substr(path.size() - 4);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".wav";
}

// A whole number, or a number of seconds, as the user typed it; false for
// anything else.
bool ReadNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

struct Request {
    std::string romFolder, romName, out;
    int clip = 0;
    double seconds = -1; // the clip's length, or the unknown length's rule
};

// The command line's words, options anywhere; a message and false when it
// cannot be followed.
bool ReadRequest(const std::vector<std::string>& words, Request& request, std::string& problem) {
    if (words.size() != 4 && words.size() != 5) {
        problem = "ROMFOLDER, ROMNAME, CLIP and OUT are needed, and SECONDS may come before OUT";
        return false;
    }
    request.romFolder = words[0] + "/";
    request.romName = words[1];
    request.out = words.back();
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
    if (!EndsWithWav(request.out)) {
        problem = "it writes WAV files: " + request.out + " does not end in .wav";
        return false;
    }
    return true;
}

// How long to record: what was asked, else the clip's known length, else the
// unknown length, faded out at its end.
double SecondsToRecord(const Request& request) {
    if (request.seconds > 0) return request.seconds;
    const int known = CoreGetInt(CORE_INT_TUNE_LENGTH, request.clip);
    if (known > 0) return known / 1000.0;
    return kUnknownLengthSeconds;
}

int Render(const Request& request, Session& session) {
    const int game = FindGame(request.romName);
    if (game < 0) {
        std::fprintf(stderr, "tarvo-render: the core does not know the game %s\n",
                     request.romName.c_str());
        return 1;
    }
    CoreSetOption(CORE_OPT_FIXED_RENDER_MS, kMillisecondsPerCall);
    CoreSetOption(CORE_OPT_GAME, game);
    CoreCommand(CORE_CMD_RESUME, 0);
    CoreCommand(CORE_CMD_START_GAME, request.clip);
    if (session.loadFailed) {
        std::fprintf(stderr, "tarvo-render: cannot load %s\n", request.romName.c_str());
        return 1;
    }
    const double seconds = SecondsToRecord(request);
    const bool fades = request.seconds <= 0 && CoreGetInt(CORE_INT_TUNE_LENGTH, request.clip) <= 0;
    session.recording = true;
    CoreSetOption(CORE_OPT_RECORD, 1);
    bool fading = false;
    for (double played = 0; played < seconds * 1000 && !session.recordingFailed;
         played += kMillisecondsPerCall) {
        if (fades && !fading && played >= seconds * 1000 - kFadeMs) {
            CoreSetOption(CORE_OPT_FADE_OUT_MS, kFadeMs);
            fading = true;
        }
        CoreCommand(CORE_CMD_SERVICE, 0);
    }
    CoreSetOption(CORE_OPT_RECORD, 0);
    if (session.recordingFailed) return 1;
    const std::string title = CoreGetString(CORE_STR_TUNE_TITLE, request.clip);
    std::printf("%s, clip %d%s: %.1f s written to %s\n", session.gameTitle.c_str(), request.clip,
                title.empty() ? "" : (" \"" + title + "\"").c_str(), seconds, request.out.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (word.size() > 1 && word[0] == '-' &&
            !std::isdigit(static_cast<unsigned char>(word[1]))) {
            std::fprintf(stderr, "tarvo-render: there is no option %s\n%s", word.c_str(), kUsage);
            return 2;
        }
        words.push_back(word);
    }
    Request request;
    std::string problem;
    if (!ReadRequest(words, request, problem)) {
        std::fprintf(stderr, "tarvo-render: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    Session session;
    session.romFolder = request.romFolder;
    session.wavPath = request.out;
    CoreInit(&session, OnMessage);
    const int status = Render(request, session);
    CoreShutdown();
    return status;
}
