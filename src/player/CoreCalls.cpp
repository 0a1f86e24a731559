// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/CoreCalls.h"

#include "core/TarvoCore.h"

namespace tarvo {

// Runs one call into the core; once the outermost returns, what the core said
// meanwhile is handed on.
template <typename Call> auto CCoreCalls::Calling(Call call) {
    struct Depth {
        CCoreCalls& calls;
        explicit Depth(CCoreCalls& c) : calls(c) { ++calls.m_depth; }
        ~Depth() {
            if (--calls.m_depth == 0) calls.HandOnWaiting();
        }
    } depth(*this);
    return call();
}

void CCoreCalls::Init(ICoreListener& listener) {
    m_listener = &listener;
    Calling([&] { m_core.Init(*this); });
}

void CCoreCalls::Shutdown() {
    Calling([&] { m_core.Shutdown(); });
}

int CCoreCalls::GetInt(int code, int argument) {
    return Calling([&] { return m_core.GetInt(code, argument); });
}

std::string CCoreCalls::GetString(int code, int argument) {
    return Calling([&] { return m_core.GetString(code, argument); });
}

void CCoreCalls::Command(int code, int argument) {
    Calling([&] { m_core.Command(code, argument); });
}

void CCoreCalls::SetOption(int code, int value) {
    Calling([&] { m_core.SetOption(code, value); });
}

bool CCoreCalls::WantsAnswer(int code) {
    return code == CORE_MSG_ROM_PATH || code == CORE_MSG_WAV_PATH || code == CORE_MSG_EXPORT_PATH ||
           code == CORE_MSG_LOUDNESS_PATH;
}

int CCoreCalls::OnCoreMessage(int code, void* first, int second) {
    if (!m_listener) return 0;
    if (WantsAnswer(code)) return m_listener->OnCoreMessage(code, first, second);
    Waiting message{code, second, first != nullptr, {}, {}};
    if (code == CORE_MSG_LEVELS) {
        const auto* frames = static_cast<const int16_t*>(first);
        if (frames && second > 0) message.frames.assign(frames, frames + 2 * second);
    } else if (first) {
        message.text = static_cast<const char*>(first);
    }
    m_waiting.push_back(std::move(message));
    if (m_depth == 0) HandOnWaiting();
    return 0;
}

// One message at a time: what the core says while the listener acts on a
// message (its calls into the core) waits until that message is done, so a
// listener never meets a message in the middle of its own work.
void CCoreCalls::HandOnWaiting() {
    if (m_handingOn) return;
    m_handingOn = true;
    while (!m_waiting.empty() && m_listener) {
        Waiting message = std::move(m_waiting.front());
        m_waiting.pop_front();
        void* first = nullptr;
        if (message.code == CORE_MSG_LEVELS)
            first = message.frames.empty() ? nullptr : message.frames.data();
        else if (message.hasText)
            first = message.text.data();
        m_listener->OnCoreMessage(message.code, first, message.second);
    }
    m_handingOn = false;
}

} // namespace tarvo
