// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scripted stand-in for the sound core behind ICore: it answers from a
// catalogue the test gives it, records every call in order by the names of
// the core's codes, and sends whatever message a test asks for.

#include "core/ICore.h"
#include "core/TarvoCore.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarvo::test {

struct FakeGame {
    std::string romName;
    std::string title;
    std::string manufacturer;
    std::string extraInfo;
    int driver = 0;
    bool added = false; // by tarvo-add
};

class FakeCore : public ICore {
public:
    void SetCatalogue(std::vector<FakeGame> games,
                      std::vector<std::string> drivers = {"Test driver"});

    // Calls in order, as "Command(RESUME, 0)", "SetOption(GAME, 1)",
    // "GetInt(GAME_COUNT, 0)", "Init", "Shutdown".
    std::vector<std::string> calls;
    bool recordCalls = true;
    std::vector<std::string> TakeCalls();
    // Only the calls that change the core (commands and options), without queries.
    std::vector<std::string> TakeActions();

    // The loaded game's tunes (index = clip; empty title: no tune), told only
    // when `tellsTunes` is set, as a core of its own kind would.
    bool tellsTunes = false;
    std::vector<std::string> tunes;

    std::vector<int> lengthsMs; // by clip, in ms
    int positionMs = 0;
    struct Voice {
        std::string name;
        bool muted = false;
    };
    std::vector<Voice> voices;
    std::vector<std::string> outputDevices; // the system's, by name

    int currentClip = 0;
    // The state the player's calls left the core in, for tests of outcomes.
    std::map<int, int> options; // each option's last value
    bool paused = false;        // as PAUSE and RESUME left it
    int starts = 0;             // games and clips started
    int exportProgress = -1;
    int loadedGame = -1;
    int callsUnderWay = 0; // commands and options whose call has not returned
    std::string version = "9.9.9 (fake)";
    // Called for every command and option, so a test can script the core's answers.
    std::function<void(int code, int argument)> onCommand;
    std::function<void(int code, int value)> onOption;

    int Send(int code, void* first = nullptr, int second = 0);
    int SendText(int code, const std::string& text);
    // Sends message 11 or 12 with a core-owned buffer and returns what the player wrote.
    std::string SendPathRequest(int code, const std::string& initial, int* result = nullptr);
    // Answers every command as the shipped core does: a game loads and its
    // clip starts, a clip starts, a game goes; silent while `answers` is off.
    void AnswerLikeTheCore();
    bool answers = true;

    bool initialised = false;
    ICoreListener* listener = nullptr;
    std::vector<FakeGame> games;
    std::vector<std::string> drivers;

    void Init(ICoreListener& coreListener) override;
    void Shutdown() override;
    int GetInt(int code, int argument) override;
    std::string GetString(int code, int argument) override;
    void Command(int code, int argument) override;
    void SetOption(int code, int value) override;

private:
    void Record(const char* operation, const std::string& name, int argument);
    std::string GameText(int code, int game) const;
};

} // namespace tarvo::test
