// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-render ROMFOLDER ROMNAME CLIP SECONDS OUT.wav
// Loads a game through the core's C interface, plays one clip for that long
// and records it, printing every message the core sends. Any error the core
// reports while recording (a file that cannot be created, a full disk) makes
// the exit status 1.
#include "core/TarvoCore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Session {
    std::string romFolder;
    std::string wavPath;
    std::string lastError;
    bool loadFailed = false;
    bool recording = false;
    bool recordingFailed = false;
    long levelReports = 0;
};

void CopyInto(void* buffer, const std::string& text) {
    if (text.size() >= CORE_PATH_BUFFER_SIZE) return;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

int OnMessage(void* user, int code, void* first, int second) {
    Session& session = *static_cast<Session*>(user);
    switch (code) {
    case CORE_MSG_LEVELS:
        ++session.levelReports; // too many to print
        return 0;
    case CORE_MSG_ROM_PATH: {
        const std::string path = session.romFolder + static_cast<const char*>(first);
        std::printf("message 11: %s -> %s\n", static_cast<const char*>(first), path.c_str());
        if (path.size() >= CORE_PATH_BUFFER_SIZE) return 0;
        CopyInto(first, path);
        return 1;
    }
    case CORE_MSG_WAV_PATH:
        std::printf("message 12 -> %s\n", session.wavPath.c_str());
        CopyInto(first, session.wavPath);
        return 0;
    case CORE_MSG_GAME_LOADED:
    case CORE_MSG_DRIVER_INFO:
        std::printf("message %d: %s\n", code, static_cast<const char*>(first));
        return 0;
    case CORE_MSG_ERROR:
        session.lastError = static_cast<const char*>(first);
        if (session.recording) session.recordingFailed = true;
        std::printf("message 13: %s\n", session.lastError.c_str());
        return 0;
    case CORE_MSG_LOAD_FAILED:
        session.loadFailed = true;
        [[fallthrough]];
    default:
        std::printf("message %d (%d)\n", code, second);
        return 0;
    }
}

int FindGame(const char* romName) {
    const int count = CoreGetInt(CORE_INT_GAME_COUNT, 0);
    for (int game = 0; game < count; ++game)
        if (std::strcmp(CoreGetString(CORE_STR_ROM_NAME, game), romName) == 0) return game;
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: tarvo-render ROMFOLDER ROMNAME CLIP SECONDS OUT.wav\n");
        return 2;
    }
    Session session;
    session.romFolder = std::string(argv[1]) + "/";
    session.wavPath = argv[5];
    const int clip = std::atoi(argv[3]);
    const double seconds = std::atof(argv[4]);
    constexpr int kMillisecondsPerCall = 30;

    CoreInit(&session, OnMessage);
    const int game = FindGame(argv[2]);
    if (game < 0) {
        std::fprintf(stderr, "tarvo-render: the core does not know the game %s\n", argv[2]);
        CoreShutdown();
        return 1;
    }
    CoreSetOption(CORE_OPT_FIXED_RENDER_MS, kMillisecondsPerCall);
    CoreSetOption(CORE_OPT_GAME, game);
    CoreCommand(CORE_CMD_RESUME, 0);
    CoreCommand(CORE_CMD_START_GAME, clip);
    if (session.loadFailed) {
        std::fprintf(stderr, "tarvo-render: cannot load %s: %s\n", argv[2],
                     session.lastError.empty() ? "the core could not load it"
                                               : session.lastError.c_str());
        CoreShutdown();
        return 1;
    }
    session.recording = true;
    CoreSetOption(CORE_OPT_RECORD, 1);
    for (double played = 0; played < seconds * 1000 && !session.recordingFailed;
         played += kMillisecondsPerCall)
        CoreCommand(CORE_CMD_SERVICE, 0);
    CoreSetOption(CORE_OPT_RECORD, 0);
    std::printf("%ld level reports\n", session.levelReports);
    CoreShutdown();
    if (session.recordingFailed) {
        std::fprintf(stderr, "tarvo-render: %s\n", session.lastError.c_str());
        return 1;
    }
    return 0;
}
