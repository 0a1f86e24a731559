#include "FakeCore.h"

#include <cstring>

namespace tarvo::test {

FakeCore& FakeCore::Get() {
    static FakeCore core;
    return core;
}

void FakeCore::Reset() {
    *this = FakeCore();
}

void FakeCore::SetCatalogue(std::vector<FakeGame> newGames, std::vector<std::string> newDrivers) {
    games = std::move(newGames);
    drivers = std::move(newDrivers);
}

std::vector<std::string> FakeCore::TakeCalls() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

std::vector<std::string> FakeCore::TakeActions() {
    std::vector<std::string> actions;
    for (std::string& call : TakeCalls())
        if (call.rfind("CoreCommand", 0) == 0 || call.rfind("CoreSetOption", 0) == 0)
            actions.push_back(std::move(call));
    return actions;
}

void FakeCore::Record(std::string call) {
    if (recordCalls) calls.push_back(std::move(call));
}

int FakeCore::Send(int code, void* first, int second) {
    return callback ? callback(user, code, first, second) : 0;
}

int FakeCore::SendText(int code, const std::string& text) {
    std::string copy = text;
    return Send(code, copy.data(), 0);
}

std::string FakeCore::SendPathRequest(int code, const std::string& initial, int* result) {
    std::vector<char> buffer(CORE_PATH_BUFFER_SIZE, '\0');
    std::strncpy(buffer.data(), initial.c_str(), buffer.size() - 1);
    const int answer = Send(code, buffer.data(), 0);
    if (result) *result = answer;
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

} // namespace tarvo::test

using tarvo::test::FakeCore;

extern "C" {

void CoreInit(void* user, CoreMessageCallback callback) {
    FakeCore& core = FakeCore::Get();
    core.Record("CoreInit");
    core.initialised = true;
    core.user = user;
    core.callback = callback;
}

void CoreShutdown(void) {
    FakeCore& core = FakeCore::Get();
    core.Record("CoreShutdown");
    core.initialised = false;
}

int CoreGetInt(int code, int argument) {
    FakeCore& core = FakeCore::Get();
    core.Record("CoreGetInt " + std::to_string(code) + " " + std::to_string(argument));
    switch (code) {
    case CORE_INT_GAME_COUNT:
        return static_cast<int>(core.games.size());
    case CORE_INT_CURRENT_CLIP:
        return core.currentClip;
    case CORE_INT_LOADED_GAME:
        return core.loadedGame;
    case CORE_INT_DRIVER_OF_GAME:
        return argument >= 0 && argument < static_cast<int>(core.games.size())
                   ? core.games[argument].driver
                   : -1;
    case CORE_INT_TUNE_TABLE:
        return core.tellsTunes ? 1 : 0;
    case CORE_INT_LAST_TUNE:
        return static_cast<int>(core.tunes.size()) - 1;
    case CORE_INT_HAS_TUNE:
        return argument >= 0 && argument < static_cast<int>(core.tunes.size()) &&
               !core.tunes[argument].empty();
    default:
        return 0;
    }
}

const char* CoreGetString(int code, int argument) {
    FakeCore& core = FakeCore::Get();
    core.Record("CoreGetString " + std::to_string(code) + " " + std::to_string(argument));
    const bool validGame = argument >= 0 && argument < static_cast<int>(core.games.size());
    if (code == CORE_STR_VERSION) return core.version.c_str();
    if (code == CORE_STR_TUNE_TITLE)
        return argument >= 0 && argument < static_cast<int>(core.tunes.size())
                   ? core.tunes[argument].c_str()
                   : "";
    if (code == CORE_STR_DRIVER_NAME)
        return argument >= 0 && argument < static_cast<int>(core.drivers.size())
                   ? core.drivers[argument].c_str()
                   : nullptr;
    if (!validGame) return nullptr;
    const tarvo::test::FakeGame& game = core.games[argument];
    switch (code) {
    case CORE_STR_ROM_NAME:
        return game.romName.c_str();
    case CORE_STR_TITLE:
        return game.title.c_str();
    case CORE_STR_EXTRA_INFO:
        return game.extraInfo.c_str();
    case CORE_STR_MANUFACTURER:
        return game.manufacturer.c_str();
    default:
        return nullptr;
    }
}

void CoreCommand(int code, int argument) {
    FakeCore& core = FakeCore::Get();
    core.Record("CoreCommand " + std::to_string(code) + " " + std::to_string(argument));
    if (core.onCommand) core.onCommand(code, argument);
}

void CoreSetOption(int code, int value) {
    FakeCore& core = FakeCore::Get();
    core.Record("CoreSetOption " + std::to_string(code) + " " + std::to_string(value));
    if (core.onOption) core.onOption(code, value);
}
}
