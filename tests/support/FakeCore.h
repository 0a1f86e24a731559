#pragma once
// A scripted stand-in for the sound core: it implements the core's C header,
// answers from a catalogue the test gives it, records every call in order and
// sends whatever message a test asks for.

#include "TarvoCore.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvo::test {

struct FakeGame {
    std::string romName;
    std::string title;
    std::string manufacturer;
    std::string extraInfo;
    int driver = 0;
};

class FakeCore {
public:
    static FakeCore& Get();

    // Forgets the catalogue, the calls, the callback and every reaction.
    void Reset();
    void SetCatalogue(std::vector<FakeGame> games,
                      std::vector<std::string> drivers = {"Test driver"});

    // Calls in order, as "CoreCommand 5 0", "CoreSetOption 2 1", "CoreGetInt 1 0".
    std::vector<std::string> calls;
    bool recordCalls = true;
    std::vector<std::string> TakeCalls();
    // Only the calls that change the core (commands and options), without queries.
    std::vector<std::string> TakeActions();

    // The loaded game's tunes (index = clip; empty title: no tune), told only
    // when `tellsTunes` is set, as a core of its own kind would.
    bool tellsTunes = false;
    std::vector<std::string> tunes;

    int currentClip = 0;
    int loadedGame = -1;
    std::string version = "9.9.9 (fake)";
    // Called for every CoreCommand, so a test can script the core's answers.
    std::function<void(int code, int argument)> onCommand;
    std::function<void(int code, int value)> onOption;

    int Send(int code, void* first = nullptr, int second = 0);
    int SendText(int code, const std::string& text);
    // Sends message 11 or 12 with a core-owned buffer and returns what the player wrote.
    std::string SendPathRequest(int code, const std::string& initial, int* result = nullptr);

    bool initialised = false;
    void* user = nullptr;
    CoreMessageCallback callback = nullptr;
    std::vector<FakeGame> games;
    std::vector<std::string> drivers;

    void Record(std::string call);
};

} // namespace tarvo::test
