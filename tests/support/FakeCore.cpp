// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FakeCore.h"

#include <cstring>
#include <map>
#include <string_view>

namespace tarvo::test {

namespace {

// Each code by its name in the core's header, less the prefix (CORE_INT_ ...).
#define TARVO_NAMED(code)                                                                          \
    { code, #code }
const std::map<int, std::string_view> kIntNames{
    TARVO_NAMED(CORE_INT_GAME_COUNT),      TARVO_NAMED(CORE_INT_CURRENT_CLIP),
    TARVO_NAMED(CORE_INT_LOADED_GAME),     TARVO_NAMED(CORE_INT_DRIVER_OF_GAME),
    TARVO_NAMED(CORE_INT_TUNE_TABLE),      TARVO_NAMED(CORE_INT_LAST_TUNE),
    TARVO_NAMED(CORE_INT_HAS_TUNE),        TARVO_NAMED(CORE_INT_TUNE_LENGTH),
    TARVO_NAMED(CORE_INT_EXPORT_PROGRESS), TARVO_NAMED(CORE_INT_GAME_IS_ADDED),
    TARVO_NAMED(CORE_INT_POSITION_MS),     TARVO_NAMED(CORE_INT_VOICE_COUNT),
    TARVO_NAMED(CORE_INT_VOICE_MUTED),     TARVO_NAMED(CORE_INT_OUTPUT_DEVICE_COUNT)};
const std::map<int, std::string_view> kStringNames{
    TARVO_NAMED(CORE_STR_ROM_NAME),     TARVO_NAMED(CORE_STR_TITLE),
    TARVO_NAMED(CORE_STR_EXTRA_INFO),   TARVO_NAMED(CORE_STR_VERSION),
    TARVO_NAMED(CORE_STR_MANUFACTURER), TARVO_NAMED(CORE_STR_DRIVER_NAME),
    TARVO_NAMED(CORE_STR_TUNE_TITLE),   TARVO_NAMED(CORE_STR_VOICE_NAME),
    TARVO_NAMED(CORE_STR_OUTPUT_DEVICE)};
const std::map<int, std::string_view> kCommandNames{
    TARVO_NAMED(CORE_CMD_PLAY_CLIP),        TARVO_NAMED(CORE_CMD_START_GAME),
    TARVO_NAMED(CORE_CMD_UNLOAD),           TARVO_NAMED(CORE_CMD_PAUSE),
    TARVO_NAMED(CORE_CMD_RESUME),           TARVO_NAMED(CORE_CMD_SERVICE),
    TARVO_NAMED(CORE_CMD_EXPORT_CLIP),      TARVO_NAMED(CORE_CMD_CANCEL_EXPORT),
    TARVO_NAMED(CORE_CMD_RELOAD_CATALOGUE), TARVO_NAMED(CORE_CMD_SEEK),
    TARVO_NAMED(CORE_CMD_MUTE_VOICE),       TARVO_NAMED(CORE_CMD_UNMUTE_VOICE)};
const std::map<int, std::string_view> kOptionNames{
    TARVO_NAMED(CORE_OPT_GAME),          TARVO_NAMED(CORE_OPT_RECORD),
    TARVO_NAMED(CORE_OPT_NORMALIZE),     TARVO_NAMED(CORE_OPT_FIXED_RENDER_MS),
    TARVO_NAMED(CORE_OPT_FADE_OUT_MS),   TARVO_NAMED(CORE_OPT_EXPORT_MS),
    TARVO_NAMED(CORE_OPT_END_AT_LENGTH), TARVO_NAMED(CORE_OPT_LOOP_COUNT),
    TARVO_NAMED(CORE_OPT_TUNE_FADE_MS),  TARVO_NAMED(CORE_OPT_VOLUME),
    TARVO_NAMED(CORE_OPT_OUTPUT_DEVICE)};
#undef TARVO_NAMED

std::string NameOf(const std::map<int, std::string_view>& names, int code) {
    const auto it = names.find(code);
    if (it == names.end()) return "UNKNOWN";
    const std::string_view name = it->second;
    return std::string(name.substr(name.find('_', 5) + 1)); // after "CORE_XXX_"
}

template <typename T> const T* At(const std::vector<T>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size()) ? &items[index] : nullptr;
}

} // namespace

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
        if (call.rfind("Command", 0) == 0 || call.rfind("SetOption", 0) == 0)
            actions.push_back(std::move(call));
    return actions;
}

void FakeCore::Record(const char* operation, const std::string& name, int argument) {
    if (recordCalls)
        calls.push_back(std::string(operation) + "(" + name + ", " + std::to_string(argument) +
                        ")");
}

int FakeCore::Send(int code, void* first, int second) {
    return listener ? listener->OnCoreMessage(code, first, second) : 0;
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

void FakeCore::AnswerLikeTheCore() {
    onOption = [this](int code, int value) {
        if (code == CORE_OPT_GAME) loadedGame = value;
        if (code == CORE_OPT_RECORD && value) SendPathRequest(CORE_MSG_WAV_PATH, "");
    };
    onCommand = [this](int code, int argument) {
        if (!answers) return;
        if (code == CORE_CMD_START_GAME) {
            Send(CORE_MSG_BUSY);
            SendText(CORE_MSG_GAME_LOADED, At(games, loadedGame) ? games[loadedGame].title : "");
            SendText(CORE_MSG_DRIVER_INFO, "SN76489");
            currentClip = argument < 0 ? 0 : argument;
            if (argument >= 0)
                Send(CORE_MSG_CLIP_STARTED, nullptr, argument);
            else
                Send(CORE_MSG_STOPPED);
        } else if (code == CORE_CMD_PLAY_CLIP) {
            if (argument != CORE_SILENCE_CLIP) currentClip = argument;
            Send(CORE_MSG_CLIP_STARTED, nullptr, argument);
        } else if (code == CORE_CMD_UNLOAD) {
            loadedGame = -1;
            Send(CORE_MSG_GAME_GONE);
        }
    };
}

void FakeCore::Init(ICoreListener& coreListener) {
    if (recordCalls) calls.push_back("Init");
    initialised = true;
    listener = &coreListener;
}

void FakeCore::Shutdown() {
    if (recordCalls) calls.push_back("Shutdown");
    initialised = false;
}

int FakeCore::GetInt(int code, int argument) {
    Record("GetInt", NameOf(kIntNames, code), argument);
    switch (code) {
    case CORE_INT_GAME_COUNT:
        return static_cast<int>(games.size());
    case CORE_INT_CURRENT_CLIP:
        return currentClip;
    case CORE_INT_LOADED_GAME:
        return loadedGame;
    case CORE_INT_DRIVER_OF_GAME:
        return At(games, argument) ? games[argument].driver : -1;
    case CORE_INT_TUNE_TABLE:
        return tellsTunes ? 1 : 0;
    case CORE_INT_LAST_TUNE:
        return static_cast<int>(tunes.size()) - 1;
    case CORE_INT_HAS_TUNE:
        return At(tunes, argument) && !tunes[argument].empty();
    case CORE_INT_EXPORT_PROGRESS:
        return exportProgress;
    case CORE_INT_GAME_IS_ADDED:
        return At(games, argument) && games[argument].added ? 1 : 0;
    case CORE_INT_TUNE_LENGTH:
        return At(lengthsMs, argument) ? lengthsMs[argument] : -1;
    case CORE_INT_POSITION_MS:
        return positionMs;
    case CORE_INT_VOICE_COUNT:
        return static_cast<int>(voices.size());
    case CORE_INT_VOICE_MUTED:
        return At(voices, argument) && voices[argument].muted ? 1 : 0;
    case CORE_INT_OUTPUT_DEVICE_COUNT:
        return static_cast<int>(outputDevices.size());
    default:
        return 0;
    }
}

std::string FakeCore::GetString(int code, int argument) {
    Record("GetString", NameOf(kStringNames, code), argument);
    switch (code) {
    case CORE_STR_VERSION:
        return version;
    case CORE_STR_TUNE_TITLE:
        return At(tunes, argument) ? tunes[argument] : "";
    case CORE_STR_DRIVER_NAME:
        return At(drivers, argument) ? drivers[argument] : "";
    case CORE_STR_VOICE_NAME:
        return At(voices, argument) ? voices[argument].name : "";
    case CORE_STR_OUTPUT_DEVICE:
        return At(outputDevices, argument) ? outputDevices[argument] : "";
    default:
        return GameText(code, argument);
    }
}

std::string FakeCore::GameText(int code, int game) const {
    const FakeGame* entry = At(games, game);
    if (!entry) return "";
    switch (code) {
    case CORE_STR_ROM_NAME:
        return entry->romName;
    case CORE_STR_TITLE:
        return entry->title;
    case CORE_STR_EXTRA_INFO:
        return entry->extraInfo;
    case CORE_STR_MANUFACTURER:
        return entry->manufacturer;
    default:
        return "";
    }
}

void FakeCore::Command(int code, int argument) {
    Record("Command", NameOf(kCommandNames, code), argument);
    if (code == CORE_CMD_PAUSE || code == CORE_CMD_RESUME) paused = code == CORE_CMD_PAUSE;
    if (code == CORE_CMD_START_GAME ||
        (code == CORE_CMD_PLAY_CLIP && argument != CORE_SILENCE_CLIP))
        ++starts;
    ++callsUnderWay;
    if (onCommand) onCommand(code, argument);
    --callsUnderWay;
}

void FakeCore::SetOption(int code, int value) {
    Record("SetOption", NameOf(kOptionNames, code), value);
    options[code] = value;
    ++callsUnderWay;
    if (onOption) onOption(code, value);
    --callsUnderWay;
}

} // namespace tarvo::test
