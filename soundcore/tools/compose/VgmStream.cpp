// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/VgmStream.h"

#include <algorithm>
#include <cstring>

namespace compose {

namespace {

constexpr size_t kDataStart = 0x100; // the header of version 1.71, every chip's field in it

} // namespace

VgmStream& VgmStream::Command(std::initializer_list<uint8_t> bytes) {
    m_commands.insert(m_commands.end(), bytes);
    return *this;
}

VgmStream& VgmStream::Wait(long samples) {
    m_samples += samples;
    for (; samples > 0; samples -= 0xFFFF) {
        const long now = std::min(samples, 0xFFFFL);
        Command({0x61, static_cast<uint8_t>(now), static_cast<uint8_t>(now >> 8)});
    }
    return *this;
}

VgmStream& VgmStream::MarkLoop() {
    m_loopCommand = static_cast<long>(m_commands.size());
    m_loopSample = m_samples;
    return *this;
}

VgmStream& VgmStream::Rom(uint8_t type, uint32_t romSize, uint32_t start, const Bytes& piece) {
    Command({0x67, 0x66, type});
    const size_t at = m_commands.size();
    m_commands.resize(at + 12);
    PutLe32(m_commands, at, static_cast<uint32_t>(piece.size() + 8));
    PutLe32(m_commands, at + 4, romSize);
    PutLe32(m_commands, at + 8, start);
    m_commands.insert(m_commands.end(), piece.begin(), piece.end());
    return *this;
}

Bytes VgmStream::Finish(const std::string& track, const std::string& game,
                        const std::string& system) const {
    Bytes file(kDataStart, 0);
    std::memcpy(file.data(), "Vgm ", 4);
    PutLe32(file, 0x08, 0x171);
    PutLe32(file, 0x18, static_cast<uint32_t>(m_samples));
    PutLe32(file, 0x34, kDataStart - 0x34);
    for (auto [offset, value] : m_header)
        PutLe32(file, offset, value);
    if (m_loopCommand >= 0) {
        PutLe32(file, 0x1C, static_cast<uint32_t>(kDataStart + m_loopCommand - 0x1C));
        PutLe32(file, 0x20, static_cast<uint32_t>(m_samples - m_loopSample));
    }
    file.insert(file.end(), m_commands.begin(), m_commands.end());
    file.push_back(0x66);
    if (!track.empty() || !game.empty() || !system.empty()) AppendGd3(file, track, game, system);
    PutLe32(file, 0x04, static_cast<uint32_t>(file.size() - 4));
    return file;
}

} // namespace compose
