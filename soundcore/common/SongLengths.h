// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace tarvocore {

// HVSC's Songlengths.md5: a line a tune, "<md5>=m:ss m:ss.mmm ...", one
// length a subtune. Read once, then asked by a tune's MD5.
class CSongLengths {
public:
    explicit CSongLengths(const Bytes& database);
    // The tune's line, ready for a Songlengths.md5 of its own; empty when
    // the database does not know it.
    std::string LineFor(const std::string& md5) const;
    // Each subtune's length in milliseconds (-1 where unreadable); empty when
    // the database does not know the tune.
    std::vector<int> LengthsFor(const std::string& md5) const;

private:
    std::unordered_map<std::string, std::string> m_lines;
};

} // namespace tarvocore
