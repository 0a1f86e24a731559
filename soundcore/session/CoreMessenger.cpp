// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/CoreMessenger.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarvocore {

int CCoreMessenger::Send(int code, void* first, int second) const {
    return m_callback ? m_callback(m_user, code, first, second) : 0;
}

void CCoreMessenger::SendError(const std::string& text) const {
    std::string copy = text;
    Send(CORE_MSG_ERROR, copy.data());
}

std::string CCoreMessenger::AskPath(int code, const std::string& initial, int* answer) const {
    std::vector<char> buffer(CORE_PATH_BUFFER_SIZE, '\0');
    std::memcpy(buffer.data(), initial.data(), std::min(initial.size(), buffer.size() - 1));
    const int answered = Send(code, buffer.data());
    if (answer) *answer = answered;
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

} // namespace tarvocore
