#pragma once

#include "MusicData.h"

#include <string>
#include <unordered_map>

namespace tarvoadd {

// HVSC's Songlengths.md5: a line a tune, "<md5>=m:ss m:ss.mmm ...", one
// length a subtune. Read once, then asked once a tune.
class CSongLengths {
public:
    explicit CSongLengths(const tarvocore::Bytes& database);
    // The tune's line, ready for a Songlengths.md5 of its own; empty when
    // the database does not know it.
    std::string LineFor(const std::string& md5) const;

private:
    std::unordered_map<std::string, std::string> m_lines;
};

} // namespace tarvoadd
