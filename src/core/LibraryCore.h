// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"

namespace tarvo {

// The core library the program is linked with, through its C entry points.
// One core exists per process, so one of these is made, at start-up.
class CLibraryCore : public ICore {
public:
    void Init(ICoreListener& listener) override;
    void Shutdown() override;
    int GetInt(int code, int argument) override;
    std::string GetString(int code, int argument) override;
    void Command(int code, int argument) override;
    void SetOption(int code, int value) override;
};

} // namespace tarvo
