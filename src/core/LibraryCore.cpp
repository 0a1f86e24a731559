// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LibraryCore.h"

#include "core/TarvoCore.h"

#include <cassert>
#include <cstdio>

namespace tarvo {

int CLibraryCore::Deliver(void* user, int code, void* first, int second) {
    auto* core = static_cast<CLibraryCore*>(user);
    if (!core || !core->m_listener) return 0;
    ++core->m_inCallback;
    const int answer = core->m_listener->OnCoreMessage(code, first, second);
    --core->m_inCallback;
    return answer;
}

void CLibraryCore::CheckNotInCallback(const char* operation, int code) {
    if (m_inCallback == 0) return;
    ++m_callsFromCallback;
    std::fprintf(stderr, "Tarvo: %s(%d) was called from inside the sound core's callback\n",
                 operation, code);
    assert(!"a call into the sound core from inside its callback");
}

void CLibraryCore::Init(ICoreListener& listener) {
    CheckNotInCallback("CoreInit", 0);
    m_listener = &listener;
    CoreInit(this, &CLibraryCore::Deliver);
}

void CLibraryCore::Shutdown() {
    CheckNotInCallback("CoreShutdown", 0);
    CoreShutdown();
}

int CLibraryCore::GetInt(int code, int argument) {
    CheckNotInCallback("CoreGetInt", code);
    return CoreGetInt(code, argument);
}

std::string CLibraryCore::GetString(int code, int argument) {
    CheckNotInCallback("CoreGetString", code);
    const char* text = CoreGetString(code, argument);
    return text ? text : "";
}

void CLibraryCore::Command(int code, int argument) {
    CheckNotInCallback("CoreCommand", code);
    CoreCommand(code, argument);
}

void CLibraryCore::SetOption(int code, int value) {
    CheckNotInCallback("CoreSetOption", code);
    CoreSetOption(code, value);
}

} // namespace tarvo
