// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace tarvo {

// The core as the engine reaches it: its messages are acted on only once the
// call that caused them has returned. The core speaks from inside its own
// calls (a service call, a command), where it must not be called again nor
// wait while a window or an event loop runs. So each message is copied and
// handed on, in order, when the outermost call returns; a message that comes
// outside any call (a test's) is handed on at once.
//
// The requests that want an answer (a ROM path, a WAV path, an export path)
// are handed on at once, inside the call: their listener answers from what
// it knows, and calls nothing.
class CCoreCalls : public ICore, private ICoreListener {
public:
    explicit CCoreCalls(ICore& core) : m_core(core) {}

    void Init(ICoreListener& listener) override;
    void Shutdown() override;
    int GetInt(int code, int argument) override;
    std::string GetString(int code, int argument) override;
    void Command(int code, int argument) override;
    void SetOption(int code, int value) override;

    // True when the code asks for an answer within the call.
    static bool WantsAnswer(int code);

private:
    struct Waiting {
        int code = 0;
        int second = 0;
        bool hasText = false;
        std::string text;
        std::vector<int16_t> frames; // a level report's sound
    };

    int OnCoreMessage(int code, void* first, int second) override;
    void HandOnWaiting();
    template <typename Call> auto Calling(Call call);

    ICore& m_core;
    ICoreListener* m_listener = nullptr;
    int m_depth = 0; // calls into the core under way
    bool m_handingOn = false;
    std::deque<Waiting> m_waiting;
};

} // namespace tarvo
