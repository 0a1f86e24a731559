// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EmulatorProtocol.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

namespace tarvocore {

void CMessageWriter::Number(uint32_t value) {
    for (int i = 0; i < 4; ++i)
        m_payload.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void CMessageWriter::Data(const uint8_t* data, size_t size) {
    Number(static_cast<uint32_t>(size));
    m_payload.insert(m_payload.end(), data, data + size);
}

bool CMessageReader::Take(size_t size) {
    if (!m_ok || size > m_payload.size() - m_at) m_ok = false;
    return m_ok;
}

uint32_t CMessageReader::Number() {
    if (!Take(4)) return 0;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(m_payload[m_at + i]) << (8 * i);
    m_at += 4;
    return value;
}

Bytes CMessageReader::Data() {
    const size_t size = Number();
    if (!Take(size)) return {};
    Bytes data(m_payload.begin() + static_cast<long>(m_at),
               m_payload.begin() + static_cast<long>(m_at + size));
    m_at += size;
    return data;
}

void CMessageWriter::Flags(const std::vector<bool>& flags) {
    Bytes bytes(flags.begin(), flags.end());
    Data(bytes);
}

std::vector<bool> CMessageReader::Flags() {
    const Bytes bytes = Data();
    std::vector<bool> flags;
    for (uint8_t byte : bytes)
        flags.push_back(byte != 0);
    return flags;
}

std::string CMessageReader::Text() {
    const Bytes data = Data();
    return std::string(data.begin(), data.end());
}

namespace {

// Waits until the socket can be read or written; false when the deadline passed.
bool WaitFor(int socket, short events, Deadline deadline) {
    if (!deadline) return true;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            *deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) return false;
        pollfd ready{socket, events, 0};
        const int got = ::poll(&ready, 1, static_cast<int>(left.count()) + 1);
        if (got > 0) return true;
        if (got < 0 && errno != EINTR) return false;
    }
}

bool SendAll(int socket, const uint8_t* data, size_t size, Deadline deadline) {
    while (size > 0) {
        if (!WaitFor(socket, POLLOUT, deadline)) return false;
        const ssize_t sent =
            ::send(socket, data, size, MSG_NOSIGNAL | (deadline ? MSG_DONTWAIT : 0));
        if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int socket, uint8_t* data, size_t size, Deadline deadline) {
    while (size > 0) {
        if (!WaitFor(socket, POLLIN, deadline)) return false;
        const ssize_t got = ::recv(socket, data, size, deadline ? MSG_DONTWAIT : 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

} // namespace

bool SendMessage(int socket, EmulatorMessage type, const Bytes& payload, Deadline deadline) {
    CMessageWriter header;
    header.Number(static_cast<uint32_t>(type));
    header.Number(static_cast<uint32_t>(payload.size()));
    return SendAll(socket, header.Payload().data(), header.Payload().size(), deadline) &&
           SendAll(socket, payload.data(), payload.size(), deadline);
}

bool ReceiveMessage(int socket, EmulatorMessage& type, Bytes& payload, size_t maxBytes,
                    Deadline deadline) {
    Bytes header(8);
    if (!ReceiveAll(socket, header.data(), header.size(), deadline)) return false;
    CMessageReader reader(header);
    type = static_cast<EmulatorMessage>(reader.Number());
    const uint32_t size = reader.Number();
    if (size > maxBytes) return false;
    payload.resize(size);
    return ReceiveAll(socket, payload.data(), size, deadline);
}

} // namespace tarvocore
