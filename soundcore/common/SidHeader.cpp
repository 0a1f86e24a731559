// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SidHeader.h"

#include <cstring>

namespace tarvocore {

namespace {

int Be16(const Bytes& data, size_t at) {
    return data[at] << 8 | data[at + 1];
}

} // namespace

bool LooksLikeSid(const Bytes& data) {
    return data.size() >= 4 &&
           (std::memcmp(data.data(), "PSID", 4) == 0 || std::memcmp(data.data(), "RSID", 4) == 0);
}

std::string SidHeaderProblem(const Bytes& data) {
    if (data.size() < 0x76) return "its SID header is cut short";
    const bool rsid = data[0] == 'R';
    const int version = Be16(data, 0x04);
    if (version < (rsid ? 2 : 1) || version > 4) return "its SID header has an unknown version";
    const size_t offset = static_cast<size_t>(Be16(data, 0x06));
    if (offset != (version == 1 ? 0x76u : 0x7Cu) || offset > data.size())
        return "its SID header gives a wrong data offset";
    const int songs = Be16(data, 0x0E);
    if (songs < 1 || songs > 256) return "its SID header gives no tunes or too many";
    size_t load = static_cast<size_t>(Be16(data, 0x08));
    size_t start = offset;
    if (load == 0) { // the address is the data's first two bytes, low byte first
        if (data.size() < offset + 2) return "its SID data is cut short";
        load = static_cast<size_t>(data[offset] | data[offset + 1] << 8);
        start += 2;
    }
    if (start >= data.size()) return "its SID data is cut short";
    if (load + (data.size() - start) > 0x10000)
        return "its SID data does not fit the Commodore 64's memory";
    return {};
}

} // namespace tarvocore
