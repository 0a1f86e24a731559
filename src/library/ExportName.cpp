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

} // namespace

std::string SafeFileNamePart(std::string_view text) {
    std::string safe;
    for (char c : text)
        safe += IsForbidden(static_cast<unsigned char>(c)) ? '_' : c;
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
