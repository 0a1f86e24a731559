// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/TarvoCore.h"

#include <string>

namespace tarvocore {

// The way back to the player: every message the core sends goes through
// here, on the caller's thread, from inside one of its calls.
class CCoreMessenger {
public:
    void Connect(void* user, CoreMessageCallback callback) {
        m_user = user;
        m_callback = callback;
    }
    void Disconnect() { m_callback = nullptr; }

    int Send(int code, void* first = nullptr, int second = 0) const;
    void SendError(const std::string& text) const;
    // Asks the player for a file's name, in a buffer of the agreed size;
    // empty when it gave none. `answer` is what it returned.
    std::string AskPath(int code, const std::string& initial, int* answer = nullptr) const;

private:
    void* m_user = nullptr;
    CoreMessageCallback m_callback = nullptr;
};

} // namespace tarvocore
