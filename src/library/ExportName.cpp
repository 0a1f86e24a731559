// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ExportName.h"

#include <cstdio>
#include <string>

namespace tarvo {

namespace {

constexpr size_t kLongestPart = 200;

bool IsForbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F ||
           std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The UTF-8 length of an invisible format character at `at` (a direction
// override or mark, a zero-width space or joiner, a byte-order mark, a soft
// hyphen), else 0: in a file name they hide or reorder what a person reads.
size_t InvisibleFormatLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    const unsigned lead = byte(0), second = byte(1), third = byte(2);
    if ((lead == 0xC2 && second == 0xAD) || (lead == 0xD8 && second == 0x9C)) return 2;
    if (lead == 0xEF && second == 0xBB && third == 0xBF) return 3; // U+FEFF
    if (lead != 0xE2) return 0;
    const bool marks = second == 0x80 && ((third >= 0x8B && third <= 0x8F) ||    // U+200B..200F
                                          (third >= 0xAA && third <= 0xAE));     // U+202A..202E
    const bool isolates = second == 0x81 && ((third >= 0xA0 && third <= 0xA4) || // U+2060..2064
                                             (third >= 0xA6 && third <= 0xA9));  // U+2066..2069
    return marks || isolates ? 3 : 0;
}

} // namespace

std::string SafeFileNamePart(std::string_view text) {
    std::string safe;
    for (size_t at = 0; at < text.size(); ++at) {
        if (const size_t invisible = InvisibleFormatLength(text, at)) {
            at += invisible - 1;
            continue;
        }
        const char c = text[at];
        safe += IsForbidden(static_cast<unsigned char>(c)) ? '_' : c;
    }
    if (safe.size() > kLongestPart) {
        size_t cut = kLongestPart;
        while (cut > 0 && IsContinuationByte(safe[cut]))
            --cut;
        safe.resize(cut);
    }
    const size_t first = safe.find_first_not_of(" .");
    if (first == std::string::npos) return {};
    return safe.substr(first, safe.find_last_not_of(" .") - first + 1);
}

std::string ExportFileName(int clip, std::string_view title, std::string_view extension) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", clip);
    const std::string safe = SafeFileNamePart(title);
    return std::string(number) + (safe.empty() ? "" : " " + safe) + std::string(extension);
}

} // namespace tarvo
