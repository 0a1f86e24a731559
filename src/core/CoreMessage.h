#pragma once

#include "TarvoCore.h"

namespace tarvo {

// Whoever handles the core's messages: the player engine.
class ICoreListener {
public:
    virtual ~ICoreListener() = default;
    virtual int OnCoreMessage(int code, void* first, int second) = 0;
};

// The callback handed to CoreInit: the user pointer is the ICoreListener.
extern "C" int CoreMessage(void* user, int code, void* first, int second);

} // namespace tarvo
