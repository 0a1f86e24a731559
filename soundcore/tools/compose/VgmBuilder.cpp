// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/VgmBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <zlib.h>

namespace compose {

void PutLe32(Bytes& data, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

namespace {

void AppendUtf16(Bytes& out, const std::string& ascii) {
    for (char c : ascii) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(0);
}

} // namespace

int VgmBuilder::PeriodOf(double frequency) {
    return std::clamp(static_cast<int>(std::lround(kClock / (32.0 * frequency))), 1, 1023);
}

void VgmBuilder::Write(uint8_t value) {
    m_commands.push_back(0x50);
    m_commands.push_back(value);
}

void VgmBuilder::Add(const Frame& frame) {
    for (int ch = 0; ch < 3; ++ch) {
        if (frame.period[ch] == m_period[ch] || frame.attenuation[ch] == 15) continue;
        m_period[ch] = frame.period[ch];
        Write(static_cast<uint8_t>(0x80 | ch << 5 | (frame.period[ch] & 0x0F)));
        Write(static_cast<uint8_t>((frame.period[ch] >> 4) & 0x3F));
    }
    if (frame.noiseMode >= 0) Write(static_cast<uint8_t>(0xE0 | (frame.noiseMode & 0x07)));
    for (int ch = 0; ch < 4; ++ch) {
        if (frame.attenuation[ch] == m_attenuation[ch]) continue;
        m_attenuation[ch] = frame.attenuation[ch];
        Write(static_cast<uint8_t>(0x90 | ch << 5 | (frame.attenuation[ch] & 0x0F)));
    }
    m_commands.push_back(0x62); // wait one 60 Hz frame
    m_samples += kSamplesPerFrame;
}

void VgmBuilder::MarkLoop() {
    m_loopCommand = static_cast<long>(m_commands.size());
    m_loopSample = m_samples;
    // Registers are written again after the loop point, so each pass starts alike.
    std::fill(std::begin(m_period), std::end(m_period), -1);
    std::fill(std::begin(m_attenuation), std::end(m_attenuation), -1);
}

Bytes VgmBuilder::Finish(const std::string& track, const std::string& game) const {
    Bytes file(0x40, 0);
    std::memcpy(file.data(), "Vgm ", 4);
    PutLe32(file, 0x08, 0x150);
    PutLe32(file, 0x0C, kClock);
    PutLe32(file, 0x18, static_cast<uint32_t>(m_samples));
    PutLe32(file, 0x24, 60);
    file[0x28] = 0x09; // Sega noise feedback and 16-bit shift register
    file[0x2A] = 16;
    PutLe32(file, 0x34, 0x40 - 0x34);
    if (m_loopCommand >= 0) {
        PutLe32(file, 0x1C, static_cast<uint32_t>(0x40 + m_loopCommand - 0x1C));
        PutLe32(file, 0x20, static_cast<uint32_t>(m_samples - m_loopSample));
    }
    file.insert(file.end(), m_commands.begin(), m_commands.end());
    file.push_back(0x66);

    AppendGd3(file, track, game, "Sega Master System");
    PutLe32(file, 0x04, static_cast<uint32_t>(file.size() - 4));
    return file;
}

void AppendGd3(Bytes& file, const std::string& track, const std::string& game,
               const std::string& system) {
    Bytes tag;
    for (const std::string& text :
         {track, std::string(), game, std::string(), system, std::string(),
          std::string("Tarvo demo composer"), std::string(), std::string("2026"),
          std::string("tarvo-compose"), std::string()})
        AppendUtf16(tag, text);
    PutLe32(file, 0x14, static_cast<uint32_t>(file.size() - 0x14));
    const size_t tagAt = file.size();
    file.resize(tagAt + 12);
    std::memcpy(&file[tagAt], "Gd3 ", 4);
    PutLe32(file, tagAt + 4, 0x100);
    PutLe32(file, tagAt + 8, static_cast<uint32_t>(tag.size()));
    file.insert(file.end(), tag.begin(), tag.end());
}

Bytes Gzip(const Bytes& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32);
    stream.next_in = const_cast<uint8_t*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace compose
