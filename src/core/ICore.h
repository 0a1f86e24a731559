// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

// Whoever handles the core's messages: the player engine.
class ICoreListener {
public:
    virtual ~ICoreListener() = default;
    // The codes and parameters of TarvoCore.h; the answer goes back to the core.
    virtual int OnCoreMessage(int code, void* first, int second) = 0;
};

// The sound core as the player reaches it: the six operations of
// TarvoCore.h, with the codes named there. The program gives the engine and
// the game list one, over the core library; tests give them a scripted one.
class ICore {
public:
    virtual ~ICore() = default;

    // Starts the core; every message it sends from then on reaches `listener`.
    virtual void Init(ICoreListener& listener) = 0;
    virtual void Shutdown() = 0;
    virtual int GetInt(int code, int argument) = 0;
    // A copy of the core's text, taken at once as the core asks.
    virtual std::string GetString(int code, int argument) = 0;
    virtual void Command(int code, int argument) = 0;
    virtual void SetOption(int code, int value) = 0;
};

} // namespace tarvo
