// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LibraryCore.h"

#include "core/TarvoCore.h"

namespace tarvo {

namespace {

// The callback handed to CoreInit: its user pointer is the listener.
extern "C" int CoreMessage(void* user, int code, void* first, int second) {
    return user ? static_cast<ICoreListener*>(user)->OnCoreMessage(code, first, second) : 0;
}

} // namespace

void CLibraryCore::Init(ICoreListener& listener) {
    CoreInit(&listener, &CoreMessage);
}

void CLibraryCore::Shutdown() {
    CoreShutdown();
}

int CLibraryCore::GetInt(int code, int argument) {
    return CoreGetInt(code, argument);
}

std::string CLibraryCore::GetString(int code, int argument) {
    const char* text = CoreGetString(code, argument);
    return text ? text : "";
}

void CLibraryCore::Command(int code, int argument) {
    CoreCommand(code, argument);
}

void CLibraryCore::SetOption(int code, int value) {
    CoreSetOption(code, value);
}

} // namespace tarvo
