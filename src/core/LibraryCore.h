// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"

namespace tarvo {

// The core library the program is linked with, through its C entry points.
// One core exists per process, so one of these is made, at start-up.
//
// A call into the core from inside its callback breaks the core's rule (see
// TarvoCore.h); it is reported on the error stream, and a debug build stops
// there, where the fault can be seen.
class CLibraryCore : public ICore {
public:
    void Init(ICoreListener& listener) override;
    void Shutdown() override;
    int GetInt(int code, int argument) override;
    std::string GetString(int code, int argument) override;
    void Command(int code, int argument) override;
    void SetOption(int code, int value) override;

    // How often a call came from inside the callback.
    int CallsFromTheCallback() const { return m_callsFromCallback; }

private:
    static int Deliver(void* user, int code, void* first, int second);
    void CheckNotInCallback(const char* operation, int code);

    ICoreListener* m_listener = nullptr;
    int m_inCallback = 0;
    int m_callsFromCallback = 0;
};

} // namespace tarvo
